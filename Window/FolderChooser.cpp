#include "Window/FolderChooser.h"

#include <shlobj.h>

#include "log/Logger.h"

std::optional<std::wstring> ChooseFolder(HWND owner, const std::wstring& title, UINT flags) {
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_NEWDIALOGSTYLE | flags;
  PIDLIST_ABSOLUTE picked = SHBrowseForFolderW(&info);
  if (!picked) return std::nullopt;
  wchar_t folder[MAX_PATH] = {};
  const bool named = SHGetPathFromIDListW(picked, folder) != FALSE;
  CoTaskMemFree(picked);
  if (!named) {
    LOG_INFO("the picked item has no file system path: nothing changes");
    return std::nullopt;
  }
  return std::wstring(folder);
}
