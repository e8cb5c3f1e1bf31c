#include "download/HttpDownload.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "common/Encoding.h"
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

CNexvaleDownload::CNexvaleDownload(const DownloadParams* params, DownloadCallback callback)
    : params_(params), callback_(callback) {}

int ProgressPercent(const TaskStatus& status) {
  if (status.total_bytes <= 0) return 0;
  const double percent = static_cast<double>(status.progress) * 100.0;
  if (!(percent > 0.0)) return 0;
  return percent >= 100.0 ? 100 : static_cast<int>(percent);
}

int CNexvaleDownload::Download() {
  static constexpr char kFunction[] = "CNexvaleDownload::Download";
  DOWNLOAD_LOG(kFunction, "Download....");
  const auto started = std::chrono::steady_clock::now();
  const auto report = [this](int kind, int value, int extra) {
    if (callback_) callback_(kind, value, extra, params_->user);
  };
  report(kDownload_Started, 0, 0);

  const TaskHandle handle =
      DownloadService::AddTask(TaskUrl(params_->url), params_->path, params_->connections, params_->timeout_seconds);
  active_ = handle;
  DownloadService::StartTask(handle);
  cancelled_ = nullptr;

  int result = kDownloadResult_Failed;
  for (TaskHandle polled; (polled = active_.load()) != nullptr;) {
    TaskStatus status;
    DownloadService::QueryTask(polled, status);
    std::this_thread::sleep_for(kPollInterval);
    if (status.state == httpdl::kTask_Finished) {
      result = kDownloadResult_Complete;
      break;
    }
    if (status.state == httpdl::kTask_Downloading) {
      report(kDownload_Progress, ProgressPercent(status), 0);
    } else if (status.state == httpdl::kTask_Failed) {
      result = kDownloadResult_Failed;
      break;
    } else if (status.state == httpdl::kTask_Stopped) {
      result = kDownloadResult_Stopped;
      break;
    }
  }
  if (active_.load() == nullptr) {
    DOWNLOAD_LOG(kFunction, "HttpDownload httpdl user maybe cancel.");
    result = kDownloadResult_Cancelled;
    std::this_thread::sleep_for(kCancelGrace);
    TaskStatus status;
    const TaskHandle cancelled = cancelled_.load();
    if (cancelled && DownloadService::QueryTask(cancelled, status) && status.state == httpdl::kTask_Finished) {
      DOWNLOAD_LOG(kFunction, "HttpDownload httpdl cancel but almost complete.");
      result = kDownloadResult_Complete;
    }
  }
  const int elapsed = static_cast<int>(SecondsSince(started));
  // The unit after the seconds is the two bytes of the sign for "seconds" in code page 936.
  DOWNLOAD_LOG(kFunction, "HttpDownload,ret = %d (time = %d \xC3\xEB)", result, elapsed);
  report(kDownload_Ended, result, elapsed);
  return result;
}

void CNexvaleDownload::Cancel() {
  const TaskHandle handle = active_.load();
  if (!handle) return;
  DownloadService::StopTask(handle);
  cancelled_ = handle;
  active_ = nullptr;
}

bool QueryDownloadOf(const std::wstring& url, TaskStatus& status) {
  const TaskHandle handle = DownloadService::FindTask(TaskUrl(url));
  return handle && DownloadService::QueryTask(handle, status);
}

int StartDownload(const DownloadParams& params, DownloadCallback callback) {
  auto wrapper = std::make_shared<CNexvaleDownload>(&params, callback);
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
  const std::filesystem::path path = encoding::ToPath(stateFile);
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec || size > static_cast<std::uintmax_t>(httpdl::kMaxStateFileBytes)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  if (size == 0) return true;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return false;

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
  std::error_code ec;
  const std::filesystem::path temporary = encoding::ToPath(path + L".tmp");
  if (std::filesystem::exists(temporary, ec) && !std::filesystem::remove(temporary, ec)) return false;
  const std::filesystem::path state = encoding::ToPath(path + L".cfg");
  if (!std::filesystem::exists(state, ec)) return true;
  return std::filesystem::remove(state, ec);
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
