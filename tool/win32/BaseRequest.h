#pragma once
// Small synchronous WinHTTP requests outside the download engine: redirect resolution, a HEAD
// size, a body fetched into memory or a file. Each request object serves one request on the
// thread that created it.

#include <cstdint>
#include <string>

#include <windows.h>
#include <winhttp.h>

class CBaseRequest {
 public:
  CBaseRequest() = default;
  CBaseRequest(const CBaseRequest&) = delete;
  CBaseRequest& operator=(const CBaseRequest&) = delete;

  virtual ~CBaseRequest() = default;
  virtual const wchar_t* GetName() const = 0;
  virtual bool GetUrlFileSize(uint32_t& size) = 0;
  // Bytes read into `buffer`, 0 at the end of the body, -1 on failure.
  virtual int HttpRead(void* buffer, uint32_t size) = 0;
  virtual void Close() = 0;
  virtual bool OpenSession() = 0;
  virtual bool ConnectSession(bool useTls) = 0;
  virtual bool OpenRequest(bool useTls) = 0;
  virtual bool SendRequest() = 0;

  void SetVerb(const std::wstring& verb) { verb_ = verb; }
  static bool SplitUrl(const std::wstring& url, std::wstring& host, std::wstring& path);
  // Session, connection, request and sending, stopping at the first step that fails.
  bool Connect(const std::wstring& host, const std::wstring& path, bool useTls);
  // TLS on port 443 first, then plain HTTP on port 80; a port written in the URL is never used.
  bool OpenUrl(const std::wstring& url);
  // True when the system reports its Internet connection as going through a proxy.
  static bool IsUseProxyConnect();

 protected:
  std::wstring verb_ = L"GET";
  std::wstring path_;
  std::wstring host_;
  HINTERNET session_ = nullptr;
  HINTERNET connection_ = nullptr;
  HINTERNET request_ = nullptr;
};

class CWinHttpRequest : public CBaseRequest {
 public:
  ~CWinHttpRequest() override;
  const wchar_t* GetName() const override { return L"WinHttp"; }
  // The Content-Length of the answer; false (and a log line) when it is missing or unreadable.
  bool GetUrlFileSize(uint32_t& size) override;
  int HttpRead(void* buffer, uint32_t size) override;
  void Close() override;
  bool OpenSession() override;
  bool ConnectSession(bool useTls) override;
  bool OpenRequest(bool useTls) override;
  // Success means an answer arrived, whatever its status.
  bool SendRequest() override;

  // After OpenUrl: the body into the file `path`; true when the whole body was written. A body
  // of more than `limit` bytes is a failure (logged) once the limit is passed, and so is one
  // that ends before its announced length. A file written in part stays on disk.
  bool SaveToFile(const std::wstring& path, uint64_t limit);
  // After OpenUrl: the body as bytes; what was read before a failed read. A body of more than
  // `limit` bytes gives nothing (logged), and is not read further.
  std::string ReadAll(size_t limit);

 private:
  void LogBodyOverLimit(const wchar_t* context, uint64_t limit) const;
};
