// Start-up of the real setup executable (local build) under Windows: work folder, log, window,
// and the single-instance rule.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "Window/InstanceName.h"
#include "common/Encoding.h"
#include "installer/SystemInfo.h"
#include "tests/skin_ui/win32/RealInput.h"
#include "tests/support/TestFiles.h"
#include "tests/win32/support/Processes.h"

namespace {

using testsupport::BuildBinFolder;
using testsupport::ChildProcess;

const std::wstring kTitle = L"Vandrel Data Recovery Setup";
constexpr DWORD kStartTimeoutMs = 30000;

std::wstring SetupExecutable() { return BuildBinFolder() + L"VandrelSetup-local.exe"; }

TEST(InstanceName, DescriptionFirstThenTheNameBeforeTheLastDot) {
  const std::wstring bin = BuildBinFolder();
  EXPECT_EQ(GetInstanceName(bin + L"version_fixture.exe"), L"Version Fixture Description");
  EXPECT_EQ(GetInstanceName(bin + L"inst.x.exe"), L"inst.x");
  // A version resource without a description falls back to the file name too.
  EXPECT_EQ(GetInstanceName(bin + L"version_no_translation.exe"), L"version_no_translation");
  EXPECT_EQ(GetInstanceName(SetupExecutable()), L"Vandrel Data Recovery Online Setup");
}

// Each case's setups end with their ChildProcess objects.
class StartupTest : public ::testing::Test {};

TEST_F(StartupTest, PreparesTheWorkFolderLogAndWindow) {
  ChildProcess setup;
  ASSERT_TRUE(setup.Start(SetupExecutable()));
  HWND window = testsupport::WaitForWindow(kTitle, kStartTimeoutMs);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(setup.WaitUntilIdle(kStartTimeoutMs));

  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  EXPECT_STREQ(className, L"SetupMainFrame");
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 650);
  EXPECT_EQ(client.bottom, 360);

  const std::wstring work = GetProgramFilesFolder() + L"nexvale_down\\VandrelSetup-local\\";
  for (const wchar_t* file : {L"language.ini", L"productInfo.ini", L"English\\text.ini", L"Arabic\\UrlInfo.ini",
                              L"Thai\\install_tips.png"}) {
    EXPECT_TRUE(testsupport::PathExists(work + L"language\\" + file)) << testing::PrintToString(std::wstring(file));
  }
  const std::wstring log = work + L"Log\\nexvale_down.log";
  ASSERT_TRUE(testsupport::PathExists(log));
  const std::string text = testsupport::ReadFileBytes(log);
  EXPECT_NE(text.find(" LoadResZipFile\r\n"), std::string::npos);
  EXPECT_NE(text.find(" Language Code:" + std::to_string(GetUserDefaultUILanguage()) + "\r\n"), std::string::npos);
  EXPECT_NE(text.find(" LoadDomainFile\r\n"), std::string::npos);
  EXPECT_NE(text.find(" Domain:com_english\r\n\r\n"), std::string::npos);
  EXPECT_NE(text.find("Windows Version:"), std::string::npos);
  const char* bits = std::getenv("NEXVALE_WINE_BITS");
  ASSERT_NE(bits, nullptr) << "run through scripts/test.sh";
  EXPECT_NE(text.find(std::string("Windows Bit:") + (std::string(bits) == "64" ? "x64" : "x86")), std::string::npos);
  EXPECT_NE(text.find("downloader version:1.0.0.0"), std::string::npos);

  // Alt+F4 on the first page asks whether to quit; Yes ends the setup with 0.
  ASSERT_TRUE(realinput::Xdotool(realinput::PointerOver(window) + L" sleep 0.2 key alt+F4"));
  HWND question = nullptr;
  ASSERT_TRUE(realinput::PumpUntil([&] { return (question = FindWindowW(L"#32770", kTitle.c_str())) != nullptr; },
                                   10000))
      << "no quit question";
  wchar_t asked[128] = {};
  GetDlgItemTextW(question, 0xFFFF, asked, 128);  // the message box's text
  EXPECT_STREQ(asked, L"Are you sure you want to quit?");
  RECT yes{};
  ASSERT_TRUE(GetWindowRect(GetDlgItem(question, IDYES), &yes));
  ASSERT_TRUE(realinput::ClickAt((yes.left + yes.right) / 2, (yes.top + yes.bottom) / 2));
  DWORD exitCode = 1;
  ASSERT_TRUE(setup.Wait(kStartTimeoutMs, exitCode));
  EXPECT_EQ(exitCode, 0u);
}

TEST_F(StartupTest, SecondInstanceRestoresTheFirstAndLeavesWithMinusOne) {
  ChildProcess first;
  ASSERT_TRUE(first.Start(SetupExecutable()));
  HWND window = testsupport::WaitForWindow(kTitle, kStartTimeoutMs);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(first.WaitUntilIdle(kStartTimeoutMs));
  ShowWindow(window, SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(window));

  ChildProcess second;
  ASSERT_TRUE(second.Start(SetupExecutable()));
  DWORD exitCode = 0;
  ASSERT_TRUE(second.Wait(kStartTimeoutMs, exitCode));
  EXPECT_EQ(exitCode, static_cast<DWORD>(-1));

  EXPECT_FALSE(IsIconic(window));
  EXPECT_EQ(GetForegroundWindow(), window);
  EXPECT_EQ(testsupport::CountWindows(kTitle), 1);
  DWORD firstExit = 0;
  EXPECT_FALSE(first.Wait(0, firstExit)) << "the first instance must keep running";
}

TEST_F(StartupTest, RenamedCopyIsStillTheSameInstance) {
  ChildProcess first;
  ASSERT_TRUE(first.Start(SetupExecutable()));
  ASSERT_NE(testsupport::WaitForWindow(kTitle, kStartTimeoutMs), nullptr);
  ASSERT_TRUE(first.WaitUntilIdle(kStartTimeoutMs));

  testsupport::TempFolder folder(L"renamed");
  const std::wstring renamed = folder.path() + L"renamed-setup.exe";
  ASSERT_TRUE(CopyFileW(SetupExecutable().c_str(), renamed.c_str(), FALSE));
  ChildProcess second;
  ASSERT_TRUE(second.Start(renamed));
  DWORD exitCode = 0;
  ASSERT_TRUE(second.Wait(kStartTimeoutMs, exitCode));
  EXPECT_EQ(exitCode, static_cast<DWORD>(-1));
  EXPECT_EQ(testsupport::CountWindows(kTitle), 1);
}

}  // namespace
