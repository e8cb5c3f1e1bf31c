#include "tests/win32/support/Processes.h"

#include <vector>

namespace testsupport {

bool ChildProcess::Start(const std::wstring& executable, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + executable + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  return CreateProcessW(executable.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info_) != FALSE;
}

ChildProcess::~ChildProcess() {
  if (!info_.hProcess) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool ChildProcess::WaitUntilIdle(DWORD timeoutMs) {
  return info_.hProcess && WaitForInputIdle(info_.hProcess, timeoutMs) == 0;
}

bool ChildProcess::Wait(DWORD timeoutMs, DWORD& exitCode) {
  if (!info_.hProcess || WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  return GetExitCodeProcess(info_.hProcess, &exitCode) != FALSE;
}

HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND window = FindWindowW(nullptr, title.c_str())) return window;
    if (GetTickCount() - start > timeoutMs) return nullptr;
    Sleep(50);
  }
}

namespace {
struct TitleSearch {
  const std::wstring* title;
  int count;
};

BOOL CALLBACK CountIfTitleMatches(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<TitleSearch*>(context);
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  if (*search->title == text) ++search->count;
  return TRUE;
}
}  // namespace

int CountWindows(const std::wstring& title) {
  TitleSearch search{&title, 0};
  EnumWindows(&CountIfTitleMatches, reinterpret_cast<LPARAM>(&search));
  return search.count;
}

}  // namespace testsupport
