#include "installer/win32/ProcessControl.h"

#include <tlhelp32.h>

#include <vector>

#include "installer/InstallerCommandLine.h"
#include "installer/ProcessName.h"
#include "log/Logger.h"

bool FindProcess(const std::wstring& name, DWORD& processId) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  bool found = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (IsProcessNamed(entry.szExeFile, ARRAYSIZE(entry.szExeFile), name)) {
      processId = entry.th32ProcessID;
      found = true;
      break;
    }
  }
  CloseHandle(snapshot);
  return found;
}

bool KillProcessById(DWORD processId) {
  const DWORD access = PROCESS_TERMINATE | PROCESS_CREATE_THREAD | PROCESS_VM_OPERATION | PROCESS_VM_WRITE |
                       PROCESS_QUERY_INFORMATION;
  HANDLE process = OpenProcess(access, FALSE, processId);
  if (!process) return false;
  const bool accepted = TerminateProcess(process, 0) != FALSE;
  CloseHandle(process);
  return accepted;
}

bool KillSilentInstallProcess() {
  DWORD processId = 0;
  if (!FindProcess(kSilentInstallProcessName, processId)) return false;
  LOG_INFO("KillSilentInstallProcess");
  return KillProcessById(processId);
}

bool RunSilentInstaller(const std::wstring& installerFile, const std::wstring& installPath,
                        const std::wstring& progressFile) {
  const std::wstring arguments = ComposeSilentInstallerArguments(installPath, progressFile);
  // The system may write into the command line, so it gets a buffer of its own.
  std::vector<wchar_t> commandLine(arguments.begin(), arguments.end());
  commandLine.push_back(L'\0');
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(installerFile.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                      nullptr, &startup, &process)) {
    const DWORD error = GetLastError();
    LOG_INFOW(L"RunSilentInstaller cannot start %s, error %lu", installerFile.c_str(), error);
    return false;
  }
  LOG_INFOW(L"RunSilentInstaller started %s", installerFile.c_str());
  ResumeThread(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  LOG_INFO("RunSilentInstaller installer ended");
  return true;
}
