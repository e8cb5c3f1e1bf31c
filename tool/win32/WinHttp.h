#pragma once
// The HTTP client on WinHTTP. Every request closes the previous one's handles and opens new ones,
// so one client serves any number of requests one after another, on one thread at a time.

#include <cstdint>
#include <string>

#include <windows.h>
#include <winhttp.h>

#include "tool/HttpBase.h"
#include "tool/HttpHeaderSet.h"

class CWinHttp : public IWinHttp {
 public:
  // Largest body DownloadToMemory takes.
  static constexpr uint64_t kMemoryDownloadLimit = 8388608;

  CWinHttp();
  CWinHttp(const CWinHttp&) = delete;
  CWinHttp& operator=(const CWinHttp&) = delete;

  void SetProgressSink(IHttpProgressSink* sink, uint32_t userValue) override;
  bool DownloadToFile(const std::wstring& url, const std::wstring& path) override;
  bool DownloadToMemory(const std::wstring& url, char** buffer, size_t* size) override;
  void Destroy() override;
  HttpInterfaceError GetErrorCode() const override { return error_; }
  void AddHeader(const char* name, const char* value) override;
  int GetStatusCode() const override { return statusCode_; }
  std::string PerformRequest(const std::wstring& url, bool isPost, const std::string& body,
                             const std::wstring& headers) override;
  std::string PerformRequest(const std::string& url, bool isPost, const std::string& body,
                             const std::string& headers) override;
  void SetTimeouts(int connectMs, int sendMs, int receiveMs) override;

 private:
  ~CWinHttp() override;

  void CloseHandles();
  bool OpenSession();
  // Opens, sends and waits for the answer; false with the error code set.
  bool OpenAndSend(const std::wstring& url, bool isPost, const std::string& body, const std::wstring& headers);
  // Reads what the answer has available into `piece`: false when the query or the read failed;
  // an empty piece at the end of the body.
  bool ReadPiece(std::string& piece);
  bool Fail(HttpInterfaceError error);

  int statusCode_ = 0;
  bool useTls_ = false;
  HINTERNET session_ = nullptr;
  HINTERNET connection_ = nullptr;
  HINTERNET request_ = nullptr;
  int connectTimeout_ = 5000;
  int sendTimeout_ = 5000;
  int receiveTimeout_ = 5000;
  CHttpHeader headers_;
  uint32_t userValue_ = 0;
  IHttpProgressSink* progressSink_ = nullptr;
  HttpInterfaceError error_ = kHttpError_None;
};
