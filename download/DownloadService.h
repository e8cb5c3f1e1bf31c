#pragma once
// The process-wide download service: tasks kept by handle, each running one `multi_download` on
// a thread of its own, then moving the finished temporary file to its target.
//
// Every operation may be called from any thread. Tasks live until the process ends.
#include <cstdint>
#include <string>
#include <string_view>

namespace httpdl {

// Identifies a task for the life of the process; never null for a real task.
struct task_tag;
using TaskHandle = const task_tag*;

enum TaskState : int {
  kTask_Failed = 1,       // could not start, failed while running, or ended without all bytes
  kTask_Stopped = 2,      // stopped by StopTask before all bytes had arrived
  kTask_Downloading = 3,  // transfer scheduled and running
  kTask_Finished = 4,     // all bytes received and moved to the target path
  kTask_Pending = 5,      // created, or started and still connecting
  kTask_Stopping = 6,     // StopTask is stopping the transfer
};

// Why a task's last run failed: its first fatal error (the error category's name, the value and
// its message), the HTTP status behind it when there is one, and the whole in words a support
// person reading the log understands.
struct TaskFailure {
  std::string category;  // empty when the run did not fail
  int value = 0;
  std::string message;
  int http_status = 0;  // 0 when no HTTP status caused the failure
  std::string cause;    // "host not found: ...", "HTTP 404 for every range", ...
};

struct TaskStatus {
  int state = 0;
  // The target path once finished; before that the file the body is written to.
  std::wstring name;
  std::int64_t total_bytes = 0;  // -1 while unknown
  std::int64_t downloaded_bytes = 0;
  float progress = 0.0f;
  int speed = 0;  // bytes per second, smoothed
  TaskFailure failure;  // filled while the state is kTask_Failed
  // A run thread holds the task: it may still be ending after its state reads stopped, and
  // StartTask refuses it until it has.
  bool running = false;
  // StopTask stopped the current or last run; a new run clears it.
  bool stop_requested = false;
};

// The key under which a URL's task is kept: the CRC-32 of its bytes in lower-case hexadecimal.
std::string UrlKey(std::string_view url);

class DownloadService {
 public:
  // Adding a URL that already has a task returns that task's handle and changes nothing.
  static TaskHandle AddTask(const std::string& url, const std::wstring& path, int connections,
                            int timeoutSeconds);
  // The task added for `url`; null when there is none.
  static TaskHandle FindTask(const std::string& url);
  // False when the task does not exist or a run of it is still going (TaskStatus::running).
  static bool StartTask(TaskHandle handle);
  static bool QueryTask(TaskHandle handle, TaskStatus& status);
  // Stops a task that is transferring; tasks in other states are left alone. False only when
  // no task was ever added.
  static bool StopTask(TaskHandle handle);

  // A PEM file of further trusted roots for the certificate checks of tasks added from now
  // on; the system's roots are always trusted.
  static void SetTrustedRootsFile(const std::string& path);
};

}  // namespace httpdl
