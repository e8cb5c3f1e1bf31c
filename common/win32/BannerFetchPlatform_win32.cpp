#include "common/BannerFetchPlatform.h"

#include <windows.h>

#include "installer/SystemInfo.h"
#include "log/Logger.h"
#include "tool/win32/BaseRequest.h"
#include "tool/win32/HttpRequests.h"

namespace bannerplatform {

std::string GetText(const std::wstring& url, size_t limit) { return HttpGetString(url, limit); }

bool DownloadFile(const std::wstring& url, const std::wstring& path, uint64_t limit) {
  CWinHttpRequest request;
  request.SetVerb(L"GET");
  return request.OpenUrl(url) && request.SaveToFile(path, limit);
}

std::string FileMd5(const std::wstring& path) { return GetFileMd5(path); }

bool CanOpenForReading(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

bool RemoveFile(const std::wstring& path) {
  if (DeleteFileW(path.c_str())) return true;
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
  LOG_INFOW(L"could not delete %s: error %u.", path.c_str(), static_cast<unsigned>(error));
  return false;
}

bool RenameOver(const std::wstring& from, const std::wstring& to) {
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  LOG_INFOW(L"could not rename %s to %s: error %u.", from.c_str(), to.c_str(), static_cast<unsigned>(GetLastError()));
  return false;
}

}  // namespace bannerplatform
