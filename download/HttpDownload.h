#pragma once
// The blocking download the install flow runs on a worker thread: one task of the download
// service, polled every 800 ms, with progress and the end reported through a callback.
#include <atomic>
#include <cstdint>
#include <string>

#include "download/DownloadService.h"

struct DownloadParams {
  int connections = 16;
  void* user = nullptr;  // handed back as the last argument of every callback
  std::wstring url;
  std::wstring path;  // target file; the body is written to path + ".tmp" beside path + ".cfg"
  // A connection silent for longer than this is opened again.
  int timeout_seconds = 20;
};

// Callback kinds: at the start, after each poll that finds the transfer running (value =
// percent), and at the end (value = result code, extra = whole seconds elapsed).
enum DownloadCallbackKind : int {
  kDownload_Started = 0,
  kDownload_Progress = 3,
  kDownload_Ended = 4,
};
using DownloadCallback = void (*)(int kind, int value, int extra, void* user);

// Results of CNexvaleDownload::Download.
enum DownloadResult : int {
  kDownloadResult_Complete = 0,
  kDownloadResult_Stopped = -2,
  kDownloadResult_Failed = -4,
  kDownloadResult_Cancelled = -5,
};

class CNexvaleDownload {
 public:
  // The record keeps its own copy of the parameters: a run never reads what a later run's
  // caller is filling in.
  CNexvaleDownload(DownloadParams params, DownloadCallback callback);
  CNexvaleDownload(const CNexvaleDownload&) = delete;
  CNexvaleDownload& operator=(const CNexvaleDownload&) = delete;

  // Blocks until the task ends or is cancelled; returns a DownloadResult. When a run of the
  // same address is still going, a transfer nobody stopped is followed to its end; one that is
  // ending is waited for (kBusyTaskWait at most) and then started again; -4 when it never
  // becomes startable.
  int Download();
  // Any thread: stops the task and makes Download return.
  void Cancel();

 private:
  // True when a run of the task now transfers for this download, started here or followed.
  bool StartOrFollow(httpdl::TaskHandle handle);
  // The result the task's run ends with; kDownloadResult_Cancelled once Cancel was called.
  int PollUntilEnd();
  void Report(int kind, int value, int extra) const;

  const DownloadParams params_;
  DownloadCallback callback_;
  std::atomic<httpdl::TaskHandle> active_{nullptr};
  std::atomic<httpdl::TaskHandle> cancelled_{nullptr};
};

// How long Download waits for an earlier run of its task to end before giving up with -4.
inline constexpr int kBusyTaskWaitSeconds = 10;

// Replaces the process's wrapper record by one for these arguments and runs Download on the
// calling thread: 1 when the file is complete at the target path, else 0.
int StartDownload(const DownloadParams& params, DownloadCallback callback);
// Any thread; does nothing when no download was ever started.
void CancelDownload();

// The percentage reported for a poll: 0 while the size is unknown or 0.
int ProgressPercent(const httpdl::TaskStatus& status);
// The status of the task Download runs for `url`, with the cause of its failure; false when no
// download of that address was started.
bool QueryDownloadOf(const std::wstring& url, httpdl::TaskStatus& status);

// Removes the partial download at `path` (its ".tmp" and ".cfg") when its state file belongs to
// another address or size; true when they were removed.
bool JudgeDeleteHistoryFile(const std::wstring& url, int totalBytes, const std::wstring& path);
// The size and address recorded in a state file: the address the download was asked for when
// the file records it, otherwise the address it ended up at after redirects. A file of 0 bytes
// leaves both outputs alone; one longer than any record is not read.
bool ReadHistoryInfo(std::int64_t& fileSize, std::wstring& url, const std::wstring& stateFile);
// Deletes path + ".tmp" and path + ".cfg"; false when one exists and cannot be deleted.
bool RemoveTemporaryFileWrap(const std::wstring& path);
