#include <windows.h>

#include <atomic>
#include <cwchar>

#include "installer/PathProbe.h"
#include "log/Logger.h"

PathKind ProbePath(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::kFolder : PathKind::kOther;
  }
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return PathKind::kMissing;
  LOG_INFOW(L"GetFileAttributes of %s failed: error %u", path.c_str(), static_cast<unsigned>(error));
  return PathKind::kOther;
}

bool IsPathUsable(const std::wstring& path) {
  std::wstring probe = path;
  if (!probe.empty() && probe.back() == L'\\') probe.pop_back();
  probe += L"\\.";
  SetLastError(ERROR_SUCCESS);
  if (GetFileAttributesW(probe.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  // A last folder that does not exist yet is fine (the installer creates it); a missing parent
  // path is not.
  return GetLastError() != ERROR_PATH_NOT_FOUND;
}

bool FolderAcceptsNewFile(const std::wstring& folder) {
  static std::atomic<unsigned> counter{0};
  // A name taken by someone else's file is skipped, never opened.
  for (int attempt = 0; attempt < 8; ++attempt) {
    wchar_t name[64];
    swprintf(name, 64, L"nexvale-probe-%u-%u.tmp", static_cast<unsigned>(GetCurrentProcessId()), counter++);
    const std::wstring probe = folder + name;
    // Deleted by the system when closed, even when the process ends before that.
    HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      return true;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS) continue;
    LOG_INFOW(L"probe file %s could not be created: error %u", probe.c_str(), static_cast<unsigned>(error));
    return false;
  }
  LOG_INFOW(L"no free name for a probe file in %s", folder.c_str());
  return false;
}
