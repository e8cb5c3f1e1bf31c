#pragma once
// Finding processes by executable name, ending them, and running the silent installer.

#include <windows.h>

#include <string>

// Name of the temporary process the product's installer starts while it works.
inline constexpr wchar_t kSilentInstallProcessName[] = L"nexvale-download.tmp";

// True with the id of the first process in the system's list whose executable name is exactly
// `name` (letter case included); false when none runs or the list cannot be taken.
bool FindProcess(const std::wstring& name, DWORD& processId);

// Asks the system to end the process with exit code 0 and does not wait for it. False when the
// process cannot be opened or the request is refused.
bool KillProcessById(DWORD processId);

// Ends the installer's temporary process when one runs. True when one was found and ended.
bool KillSilentInstallProcess();

// Runs `installerFile` with the silent-install arguments and waits, without a time limit, until
// it has ended. False (with a log line) when the process cannot be created; the installer's exit
// code is not read.
bool RunSilentInstaller(const std::wstring& installerFile, const std::wstring& installPath,
                        const std::wstring& progressFile);
