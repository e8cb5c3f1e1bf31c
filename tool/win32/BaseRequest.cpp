#include "tool/win32/BaseRequest.h"

#include "log/Logger.h"
#include "tool/UrlSplit.h"
#include "tool/win32/ApiError.h"
#include "tool/win32/ConnectionState.h"
#include "tool/win32/WinHttpQuery.h"

bool CBaseRequest::SplitUrl(const std::wstring& url, std::wstring& host, std::wstring& path) {
  return ::SplitUrl(url, host, path);
}

bool CBaseRequest::Connect(const std::wstring& host, const std::wstring& path, bool useTls) {
  host_ = host;
  path_ = path;
  return OpenSession() && ConnectSession(useTls) && OpenRequest(useTls) && SendRequest();
}

bool CBaseRequest::OpenUrl(const std::wstring& url) {
  std::wstring host;
  std::wstring path;
  if (!SplitUrl(url, host, path)) return false;
  if (Connect(host, path, true)) return true;
  // The TLS attempt's handles go before the plain attempt opens its own.
  Close();
  return Connect(host, path, false);
}

bool CBaseRequest::IsUseProxyConnect() { return ConnectionUsesProxy(); }

CWinHttpRequest::~CWinHttpRequest() { Close(); }

void CWinHttpRequest::Close() {
  for (HINTERNET* handle : {&request_, &connection_, &session_}) {
    if (*handle) WinHttpCloseHandle(*handle);
    *handle = nullptr;
  }
}

bool CWinHttpRequest::OpenSession() {
  const DWORD access = IsUseProxyConnect() ? WINHTTP_ACCESS_TYPE_DEFAULT_PROXY : WINHTTP_ACCESS_TYPE_NO_PROXY;
  session_ = WinHttpOpen(nullptr, access, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
  if (!session_) {
    ShowLastWinHttpError("WinHttpOpen", "CWinHttpRequest::OpenSession");
    return false;
  }
  return true;
}

bool CWinHttpRequest::ConnectSession(bool useTls) {
  const INTERNET_PORT port = useTls ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
  connection_ = WinHttpConnect(session_, host_.c_str(), port, 0);
  if (!connection_) {
    ShowLastWinHttpError("WinHttpConnect", "CWinHttpRequest::ConnectSession");
    return false;
  }
  return true;
}

bool CWinHttpRequest::OpenRequest(bool useTls) {
  const wchar_t* acceptTypes[] = {L"*/*", nullptr};
  const std::wstring object = RequestObject(path_);
  const DWORD flags = WINHTTP_FLAG_REFRESH | (useTls ? WINHTTP_FLAG_SECURE : 0);
  request_ = WinHttpOpenRequest(connection_, verb_.c_str(), object.c_str(), L"HTTP/1.1", WINHTTP_NO_REFERER,
                                acceptTypes, flags);
  if (!request_) {
    ShowLastWinHttpError("WinHttpOpenRequest", "CWinHttpRequest::OpenRequest");
    return false;
  }
  return true;
}

bool CWinHttpRequest::SendRequest() {
  if (!WinHttpSendRequest(request_, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
    ShowLastWinHttpError("WinHttpSendRequest", "CWinHttpRequest::SendRequest");
    return false;
  }
  if (!WinHttpReceiveResponse(request_, nullptr)) {
    ShowLastWinHttpError("WinHttpReceiveResponse", "CWinHttpRequest::SendRequest");
    return false;
  }
  return true;
}

bool CWinHttpRequest::GetUrlFileSize(uint32_t& size) {
  if (!request_) return false;
  DWORD length = 0;
  DWORD bytes = sizeof(length);
  if (!WinHttpQueryHeaders(request_, WINHTTP_QUERY_CONTENT_LENGTH | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &length, &bytes, WINHTTP_NO_HEADER_INDEX)) {
    ShowLastWinHttpError("WinHttpQueryHeaders", "CWinHttpRequest::GetUrlFileSize");
    return false;
  }
  size = length;
  return true;
}

int CWinHttpRequest::HttpRead(void* buffer, uint32_t size) {
  DWORD read = 0;
  if (!WinHttpReadData(request_, buffer, size, &read)) {
    ShowLastWinHttpError("WinHttpReadData", "CWinHttpRequest::HttpRead");
    return -1;
  }
  return static_cast<int>(read);
}

void CWinHttpRequest::LogBodyOverLimit(const wchar_t* context, uint64_t limit) const {
  LOG_INFOW(L"[%s] body of %s/%s is over %u bytes, refused.", context, host_.c_str(), path_.c_str(),
            static_cast<unsigned>(limit));
}

std::string CWinHttpRequest::ReadAll(size_t limit) {
  std::string body;
  char buffer[2048];
  for (;;) {
    ZeroMemory(buffer, sizeof(buffer));
    const int read = HttpRead(buffer, sizeof(buffer) - 1);
    if (read <= 0) break;
    if (static_cast<size_t>(read) > limit - body.size()) {
      LogBodyOverLimit(L"CWinHttpRequest::ReadAll", limit);
      return std::string();
    }
    body.append(buffer, static_cast<size_t>(read));
  }
  return body;
}

bool CWinHttpRequest::SaveToFile(const std::wstring& path, uint64_t limit) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char buffer[4096];
  bool saved = false;
  uint64_t total = 0;
  for (;;) {
    const int read = HttpRead(buffer, sizeof(buffer));
    if (read < 0) break;
    if (read == 0) {
      saved = true;
      break;
    }
    total += static_cast<uint64_t>(read);
    if (total > limit) {
      LogBodyOverLimit(L"CWinHttpRequest::SaveToFile", limit);
      break;
    }
    DWORD written = 0;
    if (!WriteFile(file, buffer, static_cast<DWORD>(read), &written, nullptr) ||
        written != static_cast<DWORD>(read)) {
      break;
    }
  }
  CloseHandle(file);
  // A connection closed early can look like the end of the body; its announced length tells.
  const std::optional<uint64_t> announced = QueryContentLength(request_);
  if (saved && announced && *announced != total) {
    LOG_INFOW(L"[CWinHttpRequest::SaveToFile] body of %s/%s ended after %u of its %u bytes.", host_.c_str(),
              path_.c_str(), static_cast<unsigned>(total), static_cast<unsigned>(*announced));
    saved = false;
  }
  return saved;
}
