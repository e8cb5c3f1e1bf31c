#pragma once
// The HTTP client interface and its factory. The program asks only for the WinHTTP kind, for the
// analytics reports; every operation is synchronous on the calling thread.

#include <cstddef>
#include <cstdint>
#include <string>

// The last failure of a client; a later success does not clear it.
enum HttpInterfaceError : int {
  kHttpError_None = 0,
  kHttpError_Open = 1,            // opening the session or the request failed, or no answer arrived
  kHttpError_Connect = 2,         // the connection to the host failed
  kHttpError_Send = 3,            // sending the request failed
  kHttpError_ContentLength = 4,   // Content-Length missing or unreadable, or querying the answer failed
  kHttpError_NotFound = 5,        // the server answered 404
  kHttpError_CreateFile = 7,      // creating the target file failed
  kHttpError_Read = 8,            // reading the answer failed, or the body broke its announced length
  kHttpError_TooLarge = 12,       // the announced size exceeds the in-memory limit
};

// Receives the progress of DownloadToFile after every piece stored.
class IHttpProgressSink {
 public:
  virtual void OnHttpProgress(uint32_t userValue, int state, double total, double stored) = 0;

 protected:
  ~IHttpProgressSink() = default;
};

class IHttpBase {
 public:
  virtual void SetProgressSink(IHttpProgressSink* sink, uint32_t userValue) = 0;
  // GET `url` into the file `path`; true when the whole announced body was stored.
  virtual bool DownloadToFile(const std::wstring& url, const std::wstring& path) = 0;
  // GET `url` into a buffer from malloc, which the caller releases with free.
  virtual bool DownloadToMemory(const std::wstring& url, char** buffer, size_t* size) = 0;
  virtual void Destroy() = 0;
  virtual HttpInterfaceError GetErrorCode() const = 0;
  // Ignored when either is null or empty; a header already present keeps its first value.
  virtual void AddHeader(const char* name, const char* value) = 0;
  // The status of the last answer read; 0 before any.
  virtual int GetStatusCode() const = 0;

 protected:
  virtual ~IHttpBase() = default;
};

class IWinHttp : public IHttpBase {
 public:
  // Returns the answer body; empty on failure, on a 404 answer or when the body broke off.
  // `headers` is extra header text ("Name: value", lines separated by "\r\n"), may be empty.
  virtual std::string PerformRequest(const std::wstring& url, bool isPost, const std::string& body,
                                     const std::wstring& headers) = 0;
  // The same with URL and headers in the ANSI code page.
  virtual std::string PerformRequest(const std::string& url, bool isPost, const std::string& body,
                                     const std::string& headers) = 0;
  // Time-outs in milliseconds for the following requests.
  virtual void SetTimeouts(int connectMs, int sendMs, int receiveMs) = 0;

 protected:
  ~IWinHttp() override = default;
};

// Kinds of client the factory knows. Only the WinHTTP kind is built; the others give no client.
enum HttpClientKind : int {
  kHttpClient_Socket = 0,
  kHttpClient_WinInet = 1,
  kHttpClient_WinHttp = 2,
};

// Creates a client of `kind` into `client`; false (and `client` null) when none was created. The
// caller ends the client with Destroy.
bool CreateHttpClient(IHttpBase** client, int kind);
