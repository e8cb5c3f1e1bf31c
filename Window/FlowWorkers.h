#pragma once
// The install flow's worker threads: the download preparation, each download run and the
// installer. They never touch the window: they hold copies of what they need and the window's
// handle, and post their events into the flow's inbox, which wakes the UI thread with a window
// message per event, so the window handles them in the order they were posted.

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "Window/flow/InstallFlow.h"

// Window messages that carry a posted event. A successful download end has its own number,
// as the setup has always had for it; it is posted like every other event, never sent.
inline constexpr UINT kMsgDownloadSuccess = WM_USER + 101;  // 0x465
inline constexpr UINT kMsgFlowEvent = WM_USER + 102;

// Events from workers to the UI thread, in posting order. Shared by the window and every worker
// (a worker may outlive the window object by the moments the process needs to end).
class FlowInbox {
 public:
  explicit FlowInbox(HWND window) : window_(window) {}
  // Any thread. An event posted after the window is gone is dropped.
  void Post(const setupflow::Event& event);
  // UI thread, once per wake-up message: the oldest event.
  std::optional<setupflow::Event> Take();

 private:
  const HWND window_;
  std::mutex mutex_;
  std::deque<setupflow::Event> events_;
};

// What the preparation works on and hands back. The window fills the request; the worker writes
// the result before it posts "ready", and the window reads it when that event arrives.
struct PreparationJob {
  // In.
  std::wstring configuredAddress;   // the installer address of the configuration
  std::wstring alternativeAddress;  // resolved through one redirect first when not empty
  std::wstring installPath;
  std::wstring installerFile;       // work folder + "nexvale-download.exe"
  // Out, valid once "ready" was posted.
  std::wstring downloadAddress;
  int32_t sizeMB = 0;
  // The disk dialog's answer: the path with room, handed over by the UI thread.
  std::mutex mutex;
  std::condition_variable answered;
  std::optional<std::wstring> pathWithRoom;
};

// PrepareDownload: address, size, room, the partial download of another address or size thrown
// away; posts PreparationNeedsRoom (and waits for the dialog's answer), PreparationFailed or
// PreparationReady.
void StartPreparation(int run, std::shared_ptr<PreparationJob> job, std::shared_ptr<FlowInbox> inbox);
// Hands the waiting preparation the folder the disk dialog accepted.
void ResumePreparation(PreparationJob& job, const std::wstring& path);

// One download run of `address` into `file`: progress and the end (after the installer's
// signature check against `pins`) are posted with the run's number.
void StartDownloadRun(int run, const std::wstring& address, const std::wstring& file,
                      std::span<const std::string_view> pins, std::shared_ptr<FlowInbox> inbox);

struct InstallerJob {
  std::wstring installerFile;
  std::wstring installPath;
  std::wstring progressFile;
};
// The installer thread; it posts nothing once `quitting` is set.
void StartInstallerRun(int run, InstallerJob job, std::shared_ptr<const std::atomic<bool>> quitting,
                       std::shared_ptr<FlowInbox> inbox);
