#pragma once
// Mirrors the setup's progress on the window's taskbar button. The taskbar interface is a COM
// object of the UI thread: calls from other threads are carried there by a message to a hidden
// window of this object. Where the interface is missing every call does nothing.

#include <windows.h>
#include <commctrl.h>
#include <shobjidl.h>

#include <atomic>
#include <cstdint>

class TaskbarProgress {
 public:
  enum State : int {
    kNoProgress = TBPF_NOPROGRESS,
    kIndeterminate = TBPF_INDETERMINATE,
    kNormal = TBPF_NORMAL,
    kError = TBPF_ERROR,
    kPaused = TBPF_PAUSED,
  };

  // On the UI thread: initialises COM for it and creates the interface when the system has one.
  TaskbarProgress();
  // On the UI thread, with a given interface (or none); takes a reference of its own.
  explicit TaskbarProgress(ITaskbarList3* taskbar);
  ~TaskbarProgress();
  TaskbarProgress(const TaskbarProgress&) = delete;
  TaskbarProgress& operator=(const TaskbarProgress&) = delete;

  // On the UI thread: reports for `window` from now on, starting indeterminate.
  void Bind(HWND window);
  // From any thread.
  void SetState(int state);
  void SetValue(uint64_t done, uint64_t total);

  bool HasTaskbar() const { return taskbar_ != nullptr; }

 private:
  static LRESULT CALLBACK RelayProc(HWND relay, UINT message, WPARAM wParam, LPARAM lParam);
  void CreateRelay();
  void CreateInterface();
  void Deliver();  // UI thread only
  void Request();

  HIMAGELIST imageList_ = nullptr;
  ITaskbarList3* taskbar_ = nullptr;
  HWND window_ = nullptr;
  HWND relay_ = nullptr;
  DWORD ownerThread_ = 0;
  bool comInitialised_ = false;
  bool createInterface_ = true;

  std::atomic<int> state_{kNoProgress};
  std::atomic<uint64_t> done_{0};
  std::atomic<uint64_t> total_{0};
  std::atomic<bool> valuePending_{false};
  std::atomic<bool> statePending_{false};
};
