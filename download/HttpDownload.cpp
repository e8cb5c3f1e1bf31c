#include "download/HttpDownload.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

#include "common/Encoding.h"
#include "common/FileOps.h"
#include "download/http/state_file.h"
#include "download/http/url.h"
#include "log/Logger.h"

using httpdl::DownloadService;
using httpdl::TaskHandle;
using httpdl::TaskStatus;

namespace {

constexpr char kSourceFile[] = "HttpDownload";
constexpr auto kPollInterval = std::chrono::milliseconds(800);
constexpr auto kCancelGrace = std::chrono::milliseconds(500);
constexpr auto kBusyTaskRetry = std::chrono::milliseconds(50);
constexpr char kDownloadFunction[] = "CNexvaleDownload::Download";

#define DOWNLOAD_LOG(function, ...) ::LogPrint((function), kSourceFile, __LINE__, kLog_Info, __VA_ARGS__)
#define DOWNLOAD_LOGW(function, ...) \
  ::logdetail::LogPrintWChecked((function), kSourceFile, __LINE__, kLog_Info, __VA_ARGS__)

// The one wrapper record of the process. Shared, so a cancel that races with a new
// StartDownload still works on a live record.
std::mutex g_wrapperMutex;
std::shared_ptr<CNexvaleDownload> g_wrapper;

std::int64_t SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
}

// The address as the download service keys its tasks.
std::string TaskUrl(const std::wstring& url) { return encoding::WideToAnsi(url); }

}  // namespace

CNexvaleDownload::CNexvaleDownload(DownloadParams params, DownloadCallback callback)
    : params_(std::move(params)), callback_(callback) {}

int ProgressPercent(const TaskStatus& status) {
  if (status.total_bytes <= 0) return 0;
  const double percent = static_cast<double>(status.progress) * 100.0;
  if (!(percent > 0.0)) return 0;
  return percent >= 100.0 ? 100 : static_cast<int>(percent);
}

int CNexvaleDownload::Download() {
  DOWNLOAD_LOG(kDownloadFunction, "Download....");
  const auto started = std::chrono::steady_clock::now();
  Report(kDownload_Started, 0, 0);

  const TaskHandle handle =
      DownloadService::AddTask(TaskUrl(params_.url), params_.path, params_.connections, params_.timeout_seconds);
  cancelled_ = nullptr;
  active_ = handle;

  int result = kDownloadResult_Failed;
  if (StartOrFollow(handle)) {
    result = PollUntilEnd();
  } else if (active_.load() != nullptr) {
    DOWNLOAD_LOG(kDownloadFunction, "HttpDownload the last run of this address did not end within %d s: not started",
                 kBusyTaskWaitSeconds);
  }
  if (active_.load() == nullptr) {
    DOWNLOAD_LOG(kDownloadFunction, "HttpDownload httpdl user maybe cancel.");
    result = kDownloadResult_Cancelled;
    std::this_thread::sleep_for(kCancelGrace);
    TaskStatus status;
    const TaskHandle cancelled = cancelled_.load();
    if (cancelled && DownloadService::QueryTask(cancelled, status) && status.state == httpdl::kTask_Finished) {
      DOWNLOAD_LOG(kDownloadFunction, "HttpDownload httpdl cancel but almost complete.");
      result = kDownloadResult_Complete;
    }
  }
  const int elapsed = static_cast<int>(SecondsSince(started));
  // The unit after the seconds is the two bytes of the sign for "seconds" in code page 936.
  DOWNLOAD_LOG(kDownloadFunction, "HttpDownload,ret = %d (time = %d \xC3\xEB)", result, elapsed);
  Report(kDownload_Ended, result, elapsed);
  return result;
}

bool CNexvaleDownload::StartOrFollow(TaskHandle handle) {
  // A stopped run's thread still saves its state and closes its files for a moment after its
  // state reads "stopped"; polling it then would report that stop as this run's end.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kBusyTaskWaitSeconds);
  bool waitLogged = false;
  for (;;) {
    if (DownloadService::StartTask(handle)) return true;
    TaskStatus status;
    if (DownloadService::QueryTask(handle, status) && status.running && !status.stop_requested &&
        (status.state == httpdl::kTask_Pending || status.state == httpdl::kTask_Downloading)) {
      DOWNLOAD_LOG(kDownloadFunction, "HttpDownload a run of this address is still transferring: following it");
      return true;
    }
    if (active_.load() == nullptr || std::chrono::steady_clock::now() >= deadline) return false;
    if (!waitLogged) {
      DOWNLOAD_LOG(kDownloadFunction, "HttpDownload the last run of this address is still ending: waiting for it");
      waitLogged = true;
    }
    std::this_thread::sleep_for(kBusyTaskRetry);
  }
}

int CNexvaleDownload::PollUntilEnd() {
  for (TaskHandle polled; (polled = active_.load()) != nullptr;) {
    TaskStatus status;
    DownloadService::QueryTask(polled, status);
    std::this_thread::sleep_for(kPollInterval);
    switch (status.state) {
      case httpdl::kTask_Finished:
        return kDownloadResult_Complete;
      case httpdl::kTask_Downloading:
        Report(kDownload_Progress, ProgressPercent(status), 0);
        break;
      case httpdl::kTask_Failed:
        return kDownloadResult_Failed;
      case httpdl::kTask_Stopped:
        return kDownloadResult_Stopped;
      default:
        break;
    }
  }
  return kDownloadResult_Cancelled;
}

void CNexvaleDownload::Report(int kind, int value, int extra) const {
  if (callback_) callback_(kind, value, extra, params_.user);
}

void CNexvaleDownload::Cancel() {
  // The poller sees the cancel before the task's state turns "stopped", so a cancelled run is
  // never reported as stopped.
  const TaskHandle handle = active_.exchange(nullptr);
  if (!handle) return;
  cancelled_ = handle;
  DownloadService::StopTask(handle);
}

bool QueryDownloadOf(const std::wstring& url, TaskStatus& status) {
  const TaskHandle handle = DownloadService::FindTask(TaskUrl(url));
  return handle && DownloadService::QueryTask(handle, status);
}

int StartDownload(const DownloadParams& params, DownloadCallback callback) {
  auto wrapper = std::make_shared<CNexvaleDownload>(params, callback);
  {
    std::lock_guard lock(g_wrapperMutex);
    g_wrapper = wrapper;
  }
  return wrapper->Download() == kDownloadResult_Complete ? 1 : 0;
}

void CancelDownload() {
  std::shared_ptr<CNexvaleDownload> wrapper;
  {
    std::lock_guard lock(g_wrapperMutex);
    wrapper = g_wrapper;
  }
  if (wrapper) wrapper->Cancel();
}

bool ReadHistoryInfo(std::int64_t& fileSize, std::wstring& url, const std::wstring& stateFile) {
  std::string bytes;
  if (fileops::ReadWholeFile(stateFile, bytes, httpdl::kMaxStateFileBytes)) return false;
  if (bytes.empty()) return true;

  httpdl::download_state state;
  if (httpdl::decode_download_state(bytes, state)) return false;
  std::string recorded = state.requested_url;
  if (recorded.empty()) {
    boost::system::error_code ec;
    const httpdl::parsed_url finalUrl(state.final_url, ec);
    if (ec) return false;
    recorded = finalUrl.to_string();
  }
  url = encoding::AnsiToWide(recorded);
  fileSize = state.file_size;
  return true;
}

bool RemoveTemporaryFileWrap(const std::wstring& path) {
  for (const wchar_t* suffix : {L".tmp", L".cfg"}) {
    if (const fileops::Failure failure = fileops::RemoveFile(path + suffix)) {
      DOWNLOAD_LOGW("CNexvaleDownload::RemoveTemporaryFileWrap", L"%s could not be removed: %S",
                    (path + suffix).c_str(), failure.text.c_str());
      return false;
    }
  }
  return true;
}

bool JudgeDeleteHistoryFile(const std::wstring& url, int totalBytes, const std::wstring& path) {
  static constexpr char kFunction[] = "CNexvaleDownload::JudgeDeleteHistoryFile";
  DOWNLOAD_LOGW(kFunction, L"JudgeDeleteHistoryFile strDownloadUrl=%s, totalBytes=%d, strFileName=%s", url.c_str(),
                totalBytes, path.c_str());
  std::int64_t recordedSize = 0;
  std::wstring recordedUrl;
  if (!ReadHistoryInfo(recordedSize, recordedUrl, path + L".cfg")) return false;
  if (recordedUrl == url && recordedSize == static_cast<std::int64_t>(totalBytes)) return false;
  const bool removed = RemoveTemporaryFileWrap(path);
  DOWNLOAD_LOG(kFunction, "RemoveTemporaryFileWrap result=%d", removed ? 1 : 0);
  return removed;
}
