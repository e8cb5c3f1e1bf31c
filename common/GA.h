#pragma once
// Usage analytics: three moments of an installation reported to the collection service. Reports
// never influence the installation; their results are only logged.

#include <cstdint>
#include <string>

class CGA {
 public:
  // The one instance, created on the first call (which reads or creates the machine's client
  // identifier). The first call must come from the UI thread before any reporting thread starts.
  static CGA& GetInstance();

  explicit CGA(std::string clientId) : clientId_(std::move(clientId)) {}
  CGA(const CGA&) = delete;
  CGA& operator=(const CGA&) = delete;

  // Set once during window start-up, before any report: the report URL and the product's
  // analytics title, to which " (Windows version)" is appended as the event category.
  void InitReportTarget(const std::wstring& reportUrl, const std::wstring& analyticsTitle);

  // Sends one event on the calling thread; true when an HTTP client could be created, whatever
  // the service answered.
  bool SendGACommon(const std::string& eventName);
  bool SendDownloaderStartInstall();
  bool SendDownloaderInstalled();
  bool SendInstalledSucceed();

  const std::string& clientId() const { return clientId_; }

 private:
  std::wstring reportUrl_;
  std::wstring eventCategory_;
  std::string clientId_;  // UTF-8
};

enum GAEventKind : int32_t {
  kGAEvent_StartInstall = 0,
  kGAEvent_Installed = 1,
  kGAEvent_InstalledSucceed = 2,
};

// What a reporting thread receives; the starter allocates it with new, the thread deletes it.
struct GAThreadParam {
  uint8_t result = 0;
  CGA* ga = nullptr;
  int32_t kind = kGAEvent_StartInstall;
};

// Thread entry: sends the event of `param`'s kind (1 "Downloader_Installed", 2 "Installed_Succeed",
// any other "Downloader_Start_Install"), then frees `param`. Returns 0.
unsigned AnalyticsThreadProc(void* param);

// Starts a detached reporting thread for `kind` and returns at once; false when no thread started.
bool StartAnalyticsThread(CGA& ga, int32_t kind);
