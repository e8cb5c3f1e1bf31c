#include "tool/win32/HttpRequests.h"

#include <windows.h>
#include <winhttp.h>

#include "log/Logger.h"
#include "tool/UrlSplit.h"
#include "tool/win32/BaseRequest.h"
#include "tool/win32/WinHttpQuery.h"

namespace {

// Closes the handles of GetRedirectUrl's request in reverse order of opening.
class RedirectHandles {
 public:
  ~RedirectHandles() {
    for (HINTERNET handle : {request, connection, session}) {
      if (handle) WinHttpCloseHandle(handle);
    }
  }
  HINTERNET session = nullptr;
  HINTERNET connection = nullptr;
  HINTERNET request = nullptr;
};

}  // namespace

std::string HttpGetString(const std::wstring& url, size_t limit) {
  CWinHttpRequest request;
  request.SetVerb(L"GET");
  if (!request.OpenUrl(url)) return {};
  return request.ReadAll(limit);
}

uint32_t GetHttpFileSize(const std::wstring& url) {
  CWinHttpRequest request;
  request.SetVerb(L"HEAD");
  uint32_t size = 0;
  if (!request.OpenUrl(url) || !request.GetUrlFileSize(size)) return 0;
  return size;
}

bool GetRedirectUrl(const std::wstring& host, const std::wstring& path, std::wstring& url) {
  RedirectHandles handles;
  handles.session = WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                WINHTTP_NO_PROXY_BYPASS, 0);
  if (!handles.session) return false;
  DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
  if (!WinHttpSetOption(handles.session, WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof(policy))) return false;
  handles.connection = WinHttpConnect(handles.session, host.c_str(), INTERNET_DEFAULT_HTTP_PORT, 0);
  if (!handles.connection) return false;
  const std::wstring object = RequestObject(path);
  handles.request = WinHttpOpenRequest(handles.connection, L"GET", object.c_str(), nullptr, WINHTTP_NO_REFERER,
                                       WINHTTP_DEFAULT_ACCEPT_TYPES, 0);
  if (!handles.request) return false;
  if (!WinHttpSendRequest(handles.request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
    return false;
  }
  if (!WinHttpReceiveResponse(handles.request, nullptr)) {
    LOG_INFO("Error %d has occurred.\n", static_cast<int>(GetLastError()));
    return true;
  }

  if (QueryStatusCode(handles.request) != 302) return false;
  std::wstring location;
  // A 302 without a Location leaves nothing to go to; the address asked about stays.
  if (QueryHeaderText(handles.request, WINHTTP_QUERY_LOCATION, location)) url = location;
  return true;
}
