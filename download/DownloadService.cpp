#include "download/DownloadService.h"

#include <atomic>
#include <cstdio>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <boost/asio/io_context.hpp>
#include <boost/crc.hpp>
#include <boost/system/system_error.hpp>

#include "common/Encoding.h"
#include "common/FileOps.h"
#include "download/http/multi_download.h"
#include "log/Logger.h"

namespace httpdl {

std::string UrlKey(std::string_view url) {
  boost::crc_32_type crc;
  crc.process_bytes(url.data(), url.size());
  char key[9];
  std::snprintf(key, sizeof key, "%x", static_cast<unsigned>(crc.checksum()));
  return key;
}

namespace {

constexpr char kSourceFile[] = "DownloadService";

// Moves the finished body into place, replacing an older file; across volumes it is copied.
// On failure the result is the rename's error, the move that was asked for.
fileops::Failure MoveIntoPlace(const std::wstring& from, const std::wstring& to) {
  fileops::Failure why = fileops::RenameReplacing(from, to);
  if (!why || fileops::CopyReplacing(from, to)) return why;
  if (const fileops::Failure kept = fileops::RemoveFile(from)) {
    LogPrint("DownloadObj::Run", kSourceFile, __LINE__, kLog_Info, "%s was copied into place but stays: %s",
             encoding::WideToAnsi(from).c_str(), kept.text.c_str());
  }
  return {};
}

// The system's own code, which the engine's failures carry with its category.
boost::system::error_code ToEngineError(const fileops::Failure& failure) {
  return {failure.code, boost::system::system_category()};
}

TaskFailure ToTaskFailure(const httpdl::download_failure& failure) {
  TaskFailure out;
  if (failure.error) {
    out.category = failure.error.category().name();
    out.value = failure.error.value();
    out.message = failure.error.message();
  }
  out.http_status = failure.http_status;
  out.cause = httpdl::describe(failure);
  return out;
}

}  // namespace

// One task: a download of one URL into one target, run on a thread of its own each time it is
// started. The thread keeps the task alive for the whole run.
class DownloadObj : public std::enable_shared_from_this<DownloadObj> {
 public:
  DownloadObj(std::string url, std::wstring path, download_settings settings)
      : download_(std::make_shared<multi_download>(io_)),
        url_(std::move(url)),
        path_(std::move(path)),
        settings_(std::move(settings)) {}

  bool Start() {
    if (running_.exchange(true)) return false;
    {
      std::lock_guard lock(state_mutex_);
      state_ = kTask_Pending;
    }
    try {
      std::thread([self = shared_from_this()] { self->Run(); }).detach();
    } catch (const std::system_error&) {
      running_ = false;  // no thread: the task stays startable
      return false;
    }
    return true;
  }

  void Query(TaskStatus& status) {
    const int state = State();
    status.state = state;
    status.total_bytes = download_->file_size();
    status.downloaded_bytes = download_->downloaded_bytes();
    status.speed = download_->speed();
    status.progress = static_cast<float>(static_cast<double>(status.downloaded_bytes) /
                                         static_cast<double>(status.total_bytes));
    status.name = state == kTask_Finished ? path_ : download_->file_name();
    status.running = running_;
    std::lock_guard lock(state_mutex_);
    status.failure = failure_;
    status.stop_requested = stop_requested_;
  }

  void Stop() {
    {
      std::lock_guard lock(state_mutex_);
      if (state_ != kTask_Downloading) return;
      state_ = kTask_Stopping;
      stop_requested_ = true;
    }
    download_->stop();
    std::lock_guard lock(state_mutex_);
    if (state_ == kTask_Stopping) state_ = kTask_Stopped;
  }

 private:
  int State() {
    std::lock_guard lock(state_mutex_);
    return state_;
  }

  void SetState(int state) {
    std::lock_guard lock(state_mutex_);
    state_ = state;
  }

  void Run() {
    std::lock_guard runLock(run_mutex_);
    // Handlers an earlier run left behind (a stop posted after it ended) run now, before the
    // new start, so they cannot touch the new transfer.
    for (int i = 0; i < settings_.connections; ++i) {
      try {
        if (io_.poll_one() == 0) break;
      } catch (...) {
      }
    }
    io_.restart();
    {
      std::lock_guard lock(state_mutex_);
      state_ = kTask_Pending;
      stop_requested_ = false;
      failure_ = TaskFailure();
    }
    try {
      download_->start(url_, settings_);
      LogDiscardedStateFile();
      SetState(kTask_Downloading);
      io_.run();
      download_->close();
      Finish();
    } catch (const std::exception& e) {
      LogDiscardedStateFile();
      io_.stop();
      io_.restart();
      download_->stop();
      download_->close();
      httpdl::download_failure failure = download_->failure();
      if (!failure) failure = {httpdl::failure_stage::internal, ErrorOf(e), 0, url_, e.what()};
      Fail(failure);
    }
    running_ = false;
  }

  // A complete body is moved into place; an incomplete one is "stopped" only when StopTask
  // asked for it. Any other end without all bytes (failed writes, connections that gave up)
  // is a failure, so the user is offered another attempt instead of a silent end.
  void Finish() {
    const std::int64_t size = download_->file_size();
    httpdl::download_failure failure = download_->failure();
    if (size >= 0 && size == download_->downloaded_bytes() && !failure) {
      if (const fileops::Failure why = MoveIntoPlace(settings_.temp_file, path_)) {
        Fail({httpdl::failure_stage::move, ToEngineError(why), 0, url_, encoding::WideToAnsi(path_)});
        return;
      }
      RemoveStateFile();
      SetState(kTask_Finished);
      return;
    }
    {
      std::lock_guard lock(state_mutex_);
      if (stop_requested_) {
        state_ = kTask_Stopped;
        return;
      }
    }
    if (!failure) failure = {httpdl::failure_stage::incomplete, {}, 0, url_, {}};
    Fail(failure);
  }

  // Only a system error carries a code; any other exception is told by its text alone.
  static boost::system::error_code ErrorOf(const std::exception& e) {
    const auto* system = dynamic_cast<const boost::system::system_error*>(&e);
    return system ? system->code() : boost::system::error_code();
  }

  // The run ends failed, and the log says why in words support staff can act on.
  void Fail(const httpdl::download_failure& failure) {
    const TaskFailure described = ToTaskFailure(failure);
    {
      std::lock_guard lock(state_mutex_);
      failure_ = described;
      state_ = kTask_Failed;
    }
    if (described.category.empty()) {
      LogPrint("DownloadObj::Run", kSourceFile, __LINE__, kLog_Info, "download of %s failed: %s", url_.c_str(),
               described.cause.c_str());
    } else {
      LogPrint("DownloadObj::Run", kSourceFile, __LINE__, kLog_Info, "download of %s failed: %s [%s %d: %s]",
               url_.c_str(), described.cause.c_str(), described.category.c_str(), described.value,
               described.message.c_str());
    }
  }

  // A record left beside a finished file would only be thrown away by the next download of it.
  void RemoveStateFile() {
    if (const fileops::Failure failure = fileops::RemoveFile(settings_.state_file)) {
      LogPrint("DownloadObj::Run", kSourceFile, __LINE__, kLog_Info, "state file %s could not be removed: %s",
               encoding::WideToAnsi(settings_.state_file).c_str(), failure.text.c_str());
    }
  }

  void LogDiscardedStateFile() {
    const std::string why = download_->discarded_state_file();
    if (why.empty()) return;
    LogPrint("DownloadObj::Run", kSourceFile, __LINE__, kLog_Info, "state file %s thrown away: %s",
             encoding::WideToAnsi(settings_.state_file).c_str(), why.c_str());
  }

  boost::asio::io_context io_;
  std::shared_ptr<multi_download> download_;
  std::mutex run_mutex_;
  std::atomic<bool> running_{false};
  std::string url_;
  std::wstring path_;
  download_settings settings_;
  std::mutex state_mutex_;
  int state_ = kTask_Pending;
  bool stop_requested_ = false;
  TaskFailure failure_;
};

namespace {

class Service {
 public:
  static Service* Existing() { return instance_.load(); }

  static Service& Get() {
    static Service* const service = [] {
      auto* created = new Service();  // lives until the process ends, like its tasks
      instance_ = created;
      return created;
    }();
    return *service;
  }

  TaskHandle Add(const std::string& url, const std::wstring& path, int connections, int timeoutSeconds) {
    const std::string key = UrlKey(url);
    TaskHandle handle = nullptr;
    {
      std::lock_guard lock(keys_mutex_);
      if (const auto found = keys_.find(key); found != keys_.end()) return found->second;
      // Handles are distinct addresses that are never reused.
      handle = reinterpret_cast<TaskHandle>(new std::int32_t(0));
      keys_[key] = handle;
    }
    download_settings settings;
    settings.connections = connections;
    settings.timeout_seconds = timeoutSeconds;
    settings.pieces_per_request = 8;
    // The body becomes a program run with administrator rights: the server must prove who it is.
    settings.verify_certificate = true;
    settings.use_stored_url = false;
    settings.proxy = proxy_;
    settings.temp_file = path + L".tmp";
    settings.state_file = path + L".cfg";
    {
      std::lock_guard lock(roots_mutex_);
      settings.ca_file = trusted_roots_file_;
    }
    auto task = std::make_shared<DownloadObj>(url, path, std::move(settings));
    {
      std::lock_guard lock(tasks_mutex_);
      tasks_[handle] = std::move(task);
    }
    std::lock_guard lock(keys_mutex_);
    keys_[key] = handle;
    return handle;
  }

  TaskHandle FindByUrl(const std::string& url) {
    std::lock_guard lock(keys_mutex_);
    const auto found = keys_.find(UrlKey(url));
    return found == keys_.end() ? nullptr : found->second;
  }

  std::shared_ptr<DownloadObj> Find(TaskHandle handle) {
    std::lock_guard lock(tasks_mutex_);
    const auto found = tasks_.find(handle);
    return found == tasks_.end() ? nullptr : found->second;
  }

  void SetTrustedRootsFile(const std::string& path) {
    std::lock_guard lock(roots_mutex_);
    trusted_roots_file_ = path;
  }

 private:
  Service() = default;

  static inline std::atomic<Service*> instance_{nullptr};
  proxy_config proxy_;
  std::mutex tasks_mutex_;
  std::map<TaskHandle, std::shared_ptr<DownloadObj>> tasks_;
  std::mutex keys_mutex_;
  std::map<std::string, TaskHandle> keys_;
  std::mutex roots_mutex_;
  std::string trusted_roots_file_;
};

}  // namespace

TaskHandle DownloadService::AddTask(const std::string& url, const std::wstring& path, int connections,
                                    int timeoutSeconds) {
  return Service::Get().Add(url, path, connections, timeoutSeconds);
}

TaskHandle DownloadService::FindTask(const std::string& url) {
  Service* service = Service::Existing();
  return service ? service->FindByUrl(url) : nullptr;
}

bool DownloadService::StartTask(TaskHandle handle) {
  const auto task = Service::Get().Find(handle);
  return task && task->Start();
}

bool DownloadService::QueryTask(TaskHandle handle, TaskStatus& status) {
  Service* service = Service::Existing();
  if (!service) return false;
  const auto task = service->Find(handle);
  if (!task) return false;
  task->Query(status);
  return true;
}

bool DownloadService::StopTask(TaskHandle handle) {
  Service* service = Service::Existing();
  if (!service) return false;
  if (const auto task = service->Find(handle)) task->Stop();
  return true;
}

void DownloadService::SetTrustedRootsFile(const std::string& path) { Service::Get().SetTrustedRootsFile(path); }

}  // namespace httpdl
