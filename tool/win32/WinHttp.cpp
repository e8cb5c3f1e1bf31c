#include "tool/win32/WinHttp.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "common/Encoding.h"
#include "tool/AnnouncedBody.h"
#include "tool/UrlSplit.h"
#include "tool/win32/WinHttpQuery.h"

namespace {

// Accepts certificates from unknown authorities, of the wrong usage, for another host name and
// out of their validity dates.
constexpr DWORD kRelaxedSecurityFlags = 0x3301;
constexpr size_t kReadPiece = 4096;

struct FreeDeleter {
  void operator()(char* buffer) const { std::free(buffer); }
};

}  // namespace

bool CreateHttpClient(IHttpBase** client, int kind) {
  if (!client) return false;
  *client = kind == kHttpClient_WinHttp ? new CWinHttp() : nullptr;
  return *client != nullptr;
}

CWinHttp::CWinHttp() { OpenSession(); }

CWinHttp::~CWinHttp() { CloseHandles(); }

void CWinHttp::Destroy() { delete this; }

void CWinHttp::CloseHandles() {
  for (HINTERNET* handle : {&request_, &connection_, &session_}) {
    if (*handle) WinHttpCloseHandle(*handle);
    *handle = nullptr;
  }
}

bool CWinHttp::OpenSession() {
  session_ = WinHttpOpen(L"Microsoft Internet Explorer", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                         WINHTTP_NO_PROXY_BYPASS, 0);
  if (!session_) return Fail(kHttpError_Open);
  WinHttpSetTimeouts(session_, 0, connectTimeout_, sendTimeout_, receiveTimeout_);
  // The wait for the answer's head has a time-out of its own (90 s by default); a server that
  // accepts the request and stays silent must not hold the caller longer than a silent read would.
  DWORD responseTimeout = static_cast<DWORD>(receiveTimeout_);
  WinHttpSetOption(session_, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseTimeout, sizeof(responseTimeout));
  return true;
}

bool CWinHttp::Fail(HttpInterfaceError error) {
  error_ = error;
  return false;
}

void CWinHttp::SetProgressSink(IHttpProgressSink* sink, uint32_t userValue) {
  progressSink_ = sink;
  userValue_ = userValue;
}

void CWinHttp::AddHeader(const char* name, const char* value) {
  if (!name || !value) return;
  headers_.Add(name, value);
}

void CWinHttp::SetTimeouts(int connectMs, int sendMs, int receiveMs) {
  connectTimeout_ = connectMs;
  sendTimeout_ = sendMs;
  receiveTimeout_ = receiveMs;
}

bool CWinHttp::OpenAndSend(const std::wstring& url, bool isPost, const std::string& body,
                           const std::wstring& headers) {
  CloseHandles();
  if (!OpenSession()) return false;

  const std::optional<HttpClientTarget> target = SplitClientUrl(url);
  if (!target) return Fail(kHttpError_Connect);
  useTls_ = target->port == INTERNET_DEFAULT_HTTPS_PORT;

  connection_ = WinHttpConnect(session_, target->host.c_str(), target->port, 0);
  if (!connection_) return Fail(kHttpError_Connect);
  request_ = WinHttpOpenRequest(connection_, isPost ? L"POST" : L"GET", target->path.c_str(), nullptr,
                                WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                useTls_ ? WINHTTP_FLAG_SECURE : 0);
  if (!request_) return Fail(kHttpError_Open);
  if (useTls_) {
    // Not every WinHTTP takes every one of these flags; the request then keeps the full checks.
    DWORD flags = kRelaxedSecurityFlags;
    WinHttpSetOption(request_, WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof(flags));
  }

  headers_.AddDefaults();
  // Replacing lets the User-Agent header stand instead of the session's agent string.
  const std::wstring headerText = encoding::AnsiToWide(headers_.Text());
  WinHttpAddRequestHeaders(request_, headerText.c_str(), static_cast<DWORD>(-1L),
                           WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE);

  const DWORD bodyLength = static_cast<DWORD>(body.size());
  void* bodyData = body.empty() ? WINHTTP_NO_REQUEST_DATA : const_cast<char*>(body.data());
  if (!WinHttpSendRequest(request_, headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                          headers.empty() ? 0 : static_cast<DWORD>(-1L), bodyData, bodyLength, bodyLength, 0)) {
    return Fail(kHttpError_Send);
  }
  if (!WinHttpReceiveResponse(request_, nullptr)) return Fail(kHttpError_Open);
  return true;
}

bool CWinHttp::ReadPiece(std::string& piece) {
  piece.clear();
  DWORD available = 0;
  if (!WinHttpQueryDataAvailable(request_, &available)) return false;
  if (available == 0) return true;
  piece.resize(available > kReadPiece ? available : kReadPiece);
  DWORD read = 0;
  if (!WinHttpReadData(request_, piece.data(), available, &read)) return false;
  piece.resize(read);
  // A read of nothing after data was announced would never end the loop.
  return read != 0;
}

std::string CWinHttp::PerformRequest(const std::wstring& url, bool isPost, const std::string& body,
                                     const std::wstring& headers) {
  if (!OpenAndSend(url, isPost, body, headers)) return {};
  statusCode_ = QueryStatusCode(request_);
  if (statusCode_ == 404) {
    Fail(kHttpError_NotFound);
    return {};
  }
  std::string answer;
  std::string piece;
  for (;;) {
    if (!ReadPiece(piece)) return {};
    if (piece.empty()) return answer;
    answer += piece;
  }
}

std::string CWinHttp::PerformRequest(const std::string& url, bool isPost, const std::string& body,
                                     const std::string& headers) {
  return PerformRequest(encoding::AnsiToWide(url), isPost, body, encoding::AnsiToWide(headers));
}

bool CWinHttp::DownloadToFile(const std::wstring& url, const std::wstring& path) {
  if (!OpenAndSend(url, false, {}, {})) return false;
  const std::optional<uint64_t> announced = QueryContentLength(request_);
  if (!announced) return Fail(kHttpError_ContentLength);
  statusCode_ = QueryStatusCode(request_);
  if (statusCode_ == 404) return Fail(kHttpError_NotFound);

  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Fail(kHttpError_CreateFile);
  LARGE_INTEGER length;
  length.QuadPart = static_cast<LONGLONG>(*announced);
  LARGE_INTEGER start = {};
  bool stored = SetFilePointerEx(file, length, nullptr, FILE_BEGIN) && SetEndOfFile(file) &&
                SetFilePointerEx(file, start, nullptr, FILE_BEGIN);
  if (!stored) error_ = kHttpError_CreateFile;

  AnnouncedBody body(*announced);
  std::string piece;
  while (stored) {
    if (!ReadPiece(piece)) {
      stored = Fail(kHttpError_ContentLength);
      break;
    }
    if (piece.empty()) {
      // A body that ended early would leave the zero-filled rest of the file looking complete.
      if (!body.complete()) stored = Fail(kHttpError_Read);
      break;
    }
    DWORD written = 0;
    if (!body.Accept(piece.size())) {
      stored = Fail(kHttpError_Read);
      break;
    }
    if (!WriteFile(file, piece.data(), static_cast<DWORD>(piece.size()), &written, nullptr) ||
        written != piece.size()) {
      stored = Fail(kHttpError_CreateFile);
      break;
    }
    if (progressSink_) {
      progressSink_->OnHttpProgress(userValue_, 0, static_cast<double>(body.announced()),
                                    static_cast<double>(body.received()));
    }
  }
  CloseHandle(file);
  if (!stored) DeleteFileW(path.c_str());
  return stored;
}

bool CWinHttp::DownloadToMemory(const std::wstring& url, char** buffer, size_t* size) {
  if (!buffer || !size) return false;
  *buffer = nullptr;
  *size = 0;
  if (!OpenAndSend(url, false, {}, {})) return Fail(kHttpError_Open);
  const std::optional<uint64_t> announced = QueryContentLength(request_);
  if (!announced) return Fail(kHttpError_ContentLength);
  statusCode_ = QueryStatusCode(request_);
  if (statusCode_ == 404) return Fail(kHttpError_NotFound);
  if (*announced > kMemoryDownloadLimit) return Fail(kHttpError_TooLarge);

  // One byte more than announced so that an empty body still gets a buffer of its own.
  std::unique_ptr<char, FreeDeleter> data(static_cast<char*>(std::malloc(static_cast<size_t>(*announced) + 1)));
  if (!data) return Fail(kHttpError_Read);
  AnnouncedBody body(*announced);
  std::string piece;
  for (;;) {
    if (!ReadPiece(piece)) return Fail(kHttpError_Read);
    if (piece.empty()) break;
    const uint64_t offset = body.received();
    if (!body.Accept(piece.size())) return Fail(kHttpError_Read);
    std::memcpy(data.get() + offset, piece.data(), piece.size());
  }
  *size = static_cast<size_t>(body.received());
  *buffer = data.release();
  return true;
}
