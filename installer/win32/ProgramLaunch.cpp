#include "installer/win32/ProgramLaunch.h"

#include <shellapi.h>

#include "log/Logger.h"

namespace {

// Flags the task service takes to start a program for the interactive user.
constexpr DWORD kInteractiveUserTaskFlags = 57;

using RunTaskAsInteractiveUser = HRESULT(WINAPI*)(LPCWSTR commandLine, LPCWSTR folder, DWORD flags);

bool OpenElevated(const std::wstring& file) {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.lpParameters = L"";
  info.nShow = SW_SHOWNORMAL;
  if (ShellExecuteExW(&info)) return true;
  LOG_INFOW(L"LaunchProgram cannot open %s, error %lu", file.c_str(), GetLastError());
  return false;
}

bool RunAsInteractiveUser(const std::wstring& file) {
  // Only the copy in the system folder is wanted, never one planted beside the setup.
  HMODULE library = LoadLibraryExW(L"wdc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!library) {
    LOG_INFO("LaunchProgram wdc.dll is not available, error %lu", GetLastError());
    return false;
  }
  const auto run = reinterpret_cast<RunTaskAsInteractiveUser>(
      reinterpret_cast<void*>(GetProcAddress(library, "WdcRunTaskAsInteractiveUser")));
  bool started = false;
  if (!run) {
    LOG_INFO("LaunchProgram WdcRunTaskAsInteractiveUser is not available");
  } else {
    const HRESULT result = run(file.c_str(), nullptr, kInteractiveUserTaskFlags);
    started = SUCCEEDED(result);
    if (!started) LOG_INFO("LaunchProgram WdcRunTaskAsInteractiveUser failed, 0x%08lx", static_cast<unsigned long>(result));
  }
  FreeLibrary(library);
  return started;
}

}  // namespace

bool LaunchProgram(const std::wstring& file, bool runAsAdministrator) {
  LOG_INFOW(L"LaunchProgram %s, as administrator %d", file.c_str(), runAsAdministrator ? 1 : 0);
  return runAsAdministrator ? OpenElevated(file) : RunAsInteractiveUser(file);
}

bool OpenWithShell(HWND owner, const std::wstring& target) {
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(owner, L"Open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  // The shell reports success with values above 32.
  return result > 32;
}
