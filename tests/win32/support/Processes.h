#pragma once
// Starting and watching programs of the build from Windows tests.

#include <windows.h>

#include <string>

namespace testsupport {

// A started process; ends it on destruction if it still runs.
class ChildProcess {
 public:
  // Starts `executable` (a full path) with `arguments`; false when it could not be created.
  bool Start(const std::wstring& executable, const std::wstring& arguments = L"");
  ~ChildProcess();

  // Waits until the process has finished starting up and waits for input (its message loop is
  // idle): a window found by title may still be inside its creation before that.
  bool WaitUntilIdle(DWORD timeoutMs);
  // Waits up to `timeoutMs`; true with the exit code once the process has ended.
  bool Wait(DWORD timeoutMs, DWORD& exitCode);
  DWORD id() const { return info_.dwProcessId; }
  HANDLE handle() const { return info_.hProcess; }

 private:
  PROCESS_INFORMATION info_ = {};
};

// The first top-level window with this exact title, waiting up to `timeoutMs` for it.
HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs);
// How many top-level windows have this exact title.
int CountWindows(const std::wstring& title);

}  // namespace testsupport
