#pragma once
// Starting the installed product and handing documents and web addresses to the shell.

#include <windows.h>

#include <string>

// Starts `file`. With `runAsAdministrator` the shell opens it with the setup's own (elevated)
// rights; otherwise the system task service starts it as the interactive user. False, with a
// log line, when neither way could hand the start over; the product's own run is not awaited.
bool LaunchProgram(const std::wstring& file, bool runAsAdministrator);

// The shell's "Open" on `target` (a web address or a file), shown normally. False when the shell
// refused it.
bool OpenWithShell(HWND owner, const std::wstring& target);
