#pragma once
// The system's folder chooser, as the setup window and the disk dialog open it.

#include <windows.h>

#include <optional>
#include <string>

// Shows the chooser over `owner` with `title` in the new dialog style (the calling thread's
// apartment must be initialised), plus `flags`. The chosen folder's path, without a final
// separator except at a drive's root; nothing when the user cancelled or picked an item that has
// no file-system path (logged).
std::optional<std::wstring> ChooseFolder(HWND owner, const std::wstring& title, UINT flags = 0);
