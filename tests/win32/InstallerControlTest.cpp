// Installer control under Windows: the silent run of the stand-in installer, finding and ending
// processes by name, starting the product and handing web addresses to the shell.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "common/Encoding.h"
#include "installer/InstallerCommandLine.h"
#include "installer/InstallerProgress.h"
#include "installer/win32/ProcessControl.h"
#include "installer/win32/ProgramLaunch.h"
#include "log/Logger.h"
#include "tests/support/TestFiles.h"
#include "tests/win32/support/Processes.h"

namespace {

using testsupport::BuildBinFolder;
using testsupport::ChildProcess;
using testsupport::PathExists;
using testsupport::TempFolder;

constexpr DWORD kTimeoutMs = 30000;
const std::wstring kProduct = L"Vandrel\\Vandrel\\Vandrel.exe";

// The file's bytes, or nothing while it does not exist.
std::string ReadFileBytes(const std::wstring& path) {
  return PathExists(path) ? testsupport::ReadFileBytes(path) : std::string();
}

// The log of this test process, set up in a folder of its own before any test writes to it.
const TempFolder& LogFolder() {
  static TempFolder folder(L"installer-control-log");
  return folder;
}
[[maybe_unused]] const bool kLogSetUp = (InitLogger(L"installer_control.log", LogFolder().path().c_str()), true);

std::string LogText() { return ReadFileBytes(LogFolder().path() + L"installer_control.log"); }

// Polls `condition` every 50 ms until it holds or `timeoutMs` has passed.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = kTimeoutMs) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(50);
  }
  return true;
}

void SetInstallDuration(DWORD milliseconds) {
  SetEnvironmentVariableW(L"NEXVALE_STANDIN_INSTALL_MS", std::to_wstring(milliseconds).c_str());
}

bool IsRunning(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }

// A copy of the stand-in product named `name` in `folder`.
std::wstring CopyProductStandin(const std::wstring& folder, const std::wstring& name) {
  const std::wstring copy = folder + name;
  EXPECT_TRUE(CopyFileW((BuildBinFolder() + L"product_standin.exe").c_str(), copy.c_str(), FALSE));
  return copy;
}

TEST(SilentInstaller, RunsTheInstallerWithItsArgumentsAndWaitsForItsEnd) {
  TempFolder folder(L"silent-install");
  // The path argument ends in a backslash right before its closing quote.
  const std::wstring installPath = folder.path() + L"Program Files (x86)\\";
  const std::wstring progressFile = folder.path() + L"temp.progress";
  SetInstallDuration(3000);

  bool succeeded = false;
  int percentAtReturn = -1;
  bool helperRunningAtReturn = true;
  std::thread installer([&] {
    succeeded = RunSilentInstaller(BuildBinFolder() + L"product_setup_standin.exe", installPath, progressFile);
    // Only the end of the installer, not its progress file, may end the wait.
    ReadInstallerProgressFile(progressFile, percentAtReturn);
    DWORD helper = 0;
    helperRunningAtReturn = FindProcess(kSilentInstallProcessName, helper);
  });
  // The progress as the setup's timer would see it while the installer writes the file.
  std::vector<int> readings;
  WaitUntil([&] {
    int percent = 0;
    if (ReadInstallerProgressFile(progressFile, percent)) readings.push_back(percent);
    return !readings.empty() && readings.back() == 100;
  });
  installer.join();

  EXPECT_TRUE(succeeded);
  EXPECT_EQ(percentAtReturn, 100);
  EXPECT_FALSE(helperRunningAtReturn);
  EXPECT_TRUE(std::is_sorted(readings.begin(), readings.end()));
  EXPECT_TRUE(std::any_of(readings.begin(), readings.end(), [](int p) { return p > 0 && p < 100; }));
  EXPECT_TRUE(PathExists(installPath + kProduct));
  // The installer received the arguments byte for byte.
  EXPECT_EQ(ReadFileBytes(installPath + L"setup_command_line.txt"),
            encoding::WideToUtf8(ComposeSilentInstallerArguments(installPath, progressFile)));
  EXPECT_NE(LogText().find("RunSilentInstaller installer ended"), std::string::npos);
}

TEST(SilentInstaller, AnInstallerThatCannotStartIsAFailure) {
  TempFolder folder(L"no-installer");
  const std::wstring missing = folder.path() + L"nexvale-download.exe";
  EXPECT_FALSE(RunSilentInstaller(missing, folder.path() + L"Target\\", folder.path() + L"temp.progress"));
  EXPECT_FALSE(PathExists(folder.path() + L"Target"));
  EXPECT_NE(LogText().find("RunSilentInstaller cannot start " + encoding::WideToOem(missing) + ", error "),
            std::string::npos)
      << LogText();
}

TEST(SilentInstaller, EndingTheTemporaryProcessEndsTheInstallation) {
  TempFolder folder(L"kill-helper");
  DWORD helperId = 0;
  ASSERT_FALSE(FindProcess(kSilentInstallProcessName, helperId)) << "a helper of another run is still running";
  EXPECT_FALSE(KillSilentInstallProcess());
  SetInstallDuration(60000);

  std::thread installer([&] {
    RunSilentInstaller(BuildBinFolder() + L"product_setup_standin.exe", folder.path() + L"Target\\",
                       folder.path() + L"temp.progress");
  });
  const bool helperFound = WaitUntil([&] { return FindProcess(kSilentInstallProcessName, helperId); });
  HANDLE helper = helperFound ? OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, helperId) : nullptr;
  EXPECT_TRUE(helper);
  EXPECT_TRUE(KillSilentInstallProcess());
  installer.join();  // the installer waits for its helper, so it ends now too

  ASSERT_TRUE(helper);
  EXPECT_EQ(WaitForSingleObject(helper, kTimeoutMs), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  EXPECT_TRUE(GetExitCodeProcess(helper, &exitCode));
  EXPECT_EQ(exitCode, 0u);
  CloseHandle(helper);
  EXPECT_NE(LogText().find("KillSilentInstallProcess"), std::string::npos);
}

TEST(ProcessControl, FindsWholeNamesInTheirOwnLetterCase) {
  TempFolder folder(L"find-process");
  const std::wstring unique = std::to_wstring(GetCurrentProcessId());
  // Longer than 63 characters as well: the name is compared whole.
  const std::wstring names[] = {L"CaseProbe" + unique + L".exe", std::wstring(90, L'L') + unique + L".exe"};
  for (const auto& name : names) {
    ChildProcess child;
    ASSERT_TRUE(child.Start(CopyProductStandin(folder.path(), name), L"/linger"));
    DWORD found = 0;
    EXPECT_TRUE(WaitUntil([&] { return FindProcess(name, found); })) << testing::PrintToString(name);
    EXPECT_EQ(found, child.id());

    std::wstring lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](wchar_t c) { return towlower(c); });
    EXPECT_FALSE(FindProcess(lower, found));
    EXPECT_FALSE(FindProcess(name.substr(0, name.size() - 4), found));
    if (name.size() > 63) {
      EXPECT_FALSE(FindProcess(name.substr(0, 63), found));
    }
  }
}

TEST(ProcessControl, OfTwoNamesakesTheFirstFoundIsEndedAndTheOtherRuns) {
  TempFolder folder(L"twins");
  const std::wstring name = L"Twin" + std::to_wstring(GetCurrentProcessId()) + L".exe";
  const std::wstring program = CopyProductStandin(folder.path(), name);
  ChildProcess first, second;
  ASSERT_TRUE(first.Start(program, L"/linger"));
  ASSERT_TRUE(second.Start(program, L"/linger"));

  DWORD found = 0;
  ASSERT_TRUE(FindProcess(name, found));
  ASSERT_TRUE(found == first.id() || found == second.id()) << found;
  ChildProcess& ended = found == first.id() ? first : second;
  ChildProcess& other = found == first.id() ? second : first;
  EXPECT_TRUE(KillProcessById(found));
  DWORD exitCode = 1;
  EXPECT_TRUE(ended.Wait(kTimeoutMs, exitCode));
  EXPECT_EQ(exitCode, 0u);
  EXPECT_TRUE(IsRunning(other.handle()));
  DWORD remaining = 0;
  EXPECT_TRUE(FindProcess(name, remaining));
  EXPECT_EQ(remaining, other.id());
}

TEST(LaunchProgram, AsAdministratorTheShellStartsTheProduct) {
  TempFolder folder(L"launch admin");
  const std::wstring product = CopyProductStandin(folder.path(), L"Vandrel.exe");
  const std::wstring record = folder.path() + L"product_started.txt";
  EXPECT_TRUE(LaunchProgram(product, true));
  ASSERT_TRUE(WaitUntil([&] { return !ReadFileBytes(record).empty(); }));
  EXPECT_NE(ReadFileBytes(record).find("Vandrel.exe"), std::string::npos);
}

TEST(LaunchProgram, AsTheInteractiveUserOnlyThroughTheTaskService) {
  TempFolder folder(L"launch user");
  const std::wstring product = CopyProductStandin(folder.path(), L"Vandrel.exe");
  const std::wstring record = folder.path() + L"product_started.txt";
  HMODULE service = LoadLibraryExW(L"wdc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  const bool available = service && GetProcAddress(service, "WdcRunTaskAsInteractiveUser");
  if (service) FreeLibrary(service);

  EXPECT_EQ(LaunchProgram(product, false), available);
  if (available) {
    EXPECT_TRUE(WaitUntil([&] { return !ReadFileBytes(record).empty(); }));
  } else {
    // Without the service there is no other way to start it: the log says why.
    EXPECT_NE(LogText().find("LaunchProgram wdc.dll is not available"), std::string::npos) << LogText();
    Sleep(2000);
    EXPECT_FALSE(PathExists(record));
  }
}

// The command the shell runs to open addresses of `scheme` ("http" or "https").
std::wstring OpenCommand(const std::wstring& scheme) {
  wchar_t command[1024] = {};
  LONG size = sizeof(command);
  if (RegQueryValueW(HKEY_CLASSES_ROOT, (scheme + L"\\shell\\open\\command").c_str(), command, &size) != ERROR_SUCCESS)
    return std::wstring();
  return command;
}

TEST(OpenWithShell, WebAddressesReachTheBrowser) {
  // The test world registers the browser stand-in; without it the address would leave the prefix.
  for (const wchar_t* scheme : {L"http", L"https"})
    ASSERT_NE(OpenCommand(scheme).find(L"browser_standin.exe"), std::wstring::npos) << OpenCommand(scheme);
  TempFolder folder(L"browser");
  const std::wstring record = folder.path() + L"opened.txt";
  SetEnvironmentVariableW(L"NEXVALE_BROWSER_RECORD", record.c_str());
  for (const wchar_t* address : {L"http://127.0.0.1/installed?pid=16&lang=English",
                                 L"https://127.0.0.1/licence.html"}) {
    DeleteFileW(record.c_str());
    EXPECT_TRUE(OpenWithShell(nullptr, address));
    EXPECT_TRUE(WaitUntil([&] { return !ReadFileBytes(record).empty(); })) << testing::PrintToString(address);
    EXPECT_EQ(ReadFileBytes(record), encoding::WideToUtf8(address));
  }
}

}  // namespace
