// The setup as a user meets it: the local build's real window, driven with real input only
// (xdotool clicks at the rectangles the skin preview prints, keys over the window), against the
// test world's maker site (nginx serves the signed stand-in installer, the collector stand-in
// records the analytics events, the browser stand-in records what the shell opened). The tests
// read the window's size, its message boxes and the setup's log; they never send it anything.
// Pictures of the states are saved under build/<preset>/flow/.

#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/Encoding.h"
#include "installer/SystemInfo.h"
#include "tests/skin_ui/ImageFixtures.h"
#include "tests/skin_ui/win32/RealInput.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestWorld.h"
#include "tests/win32/support/Processes.h"
#include "tests/window/win32/MappedDrive.h"
#include "tests/window/win32/PreviewRects.h"

namespace {

using mappeddrive::MappedDrive;
using previewrects::PreviewRects;
using testsupport::ChildProcess;

const std::wstring kTitle = L"Vandrel Data Recovery Setup";
constexpr DWORD kStartMs = 30000;
constexpr int kFlowMs = 60000;

std::wstring WorkFolder() { return GetProgramFilesFolder() + L"nexvale_down\\VandrelSetup-local\\"; }
std::wstring ProductFolder() { return GetProgramFilesFolder() + L"Vandrel\\Vandrel\\"; }
std::wstring SiteInstaller() {
  return encoding::AnsiToWide(testsupport::WorldPath("NEXVALE_TEST_WWW")) + L"\\data-recovery\\vandrel-for-win.exe";
}

// Text of a message box's message, and its buttons by id.
std::wstring MessageText(HWND box) {
  wchar_t text[512] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 512);
  return text;
}

// The maker site's installer is away for the test's time (the download answers 404), or
// replaced by another file of the site's installer folder ("refused\\unsigned.exe").
class InstallerAway {
 public:
  explicit InstallerAway(const std::wstring& replacement = L"")
      : moved_(MoveFileW(SiteInstaller().c_str(), (SiteInstaller() + L".away").c_str()) != FALSE) {
    if (moved_ && !replacement.empty()) {
      const std::wstring folder = SiteInstaller().substr(0, SiteInstaller().find_last_of(L'\\') + 1);
      replaced_ = CopyFileW((folder + replacement).c_str(), SiteInstaller().c_str(), FALSE);
    }
  }
  ~InstallerAway() {
    if (replaced_) DeleteFileW(SiteInstaller().c_str());
    if (moved_) MoveFileW((SiteInstaller() + L".away").c_str(), SiteInstaller().c_str());
  }
  bool moved() const { return moved_; }
  bool replaced() const { return replaced_; }
  // Serves a file of `bytes` that takes no room (only its announced size matters).
  bool ReplaceWithSparse(LONGLONG bytes) {
    HANDLE file = CreateFileW(SiteInstaller().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    size.QuadPart = bytes;
    replaced_ = SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return replaced_;
  }

 private:
  const bool moved_;
  bool replaced_ = false;
};

std::wstring Www() { return encoding::AnsiToWide(testsupport::WorldPath("NEXVALE_TEST_WWW")); }

// While it lives, the alternative address answers with a redirect (tests/harness/nginx.conf.in):
// "producturl-redirect" to the maker site's slow copy of the installer (about 4 MiB, sent at
// 64 KiB/s per connection), "producturl-redirect-unpinned" to a copy signed with another key.
class Redirect {
 public:
  explicit Redirect(const std::string& which) : which_(which) { testsupport::ServeFile(which, "on"); }
  ~Redirect() { DeleteFileW((Www() + L"\\" + encoding::Utf8ToWide(which_)).c_str()); }

 private:
  const std::string which_;
};

// A download that lasts.
class SlowDownload : Redirect {
 public:
  SlowDownload() : Redirect("producturl-redirect") {}
  static constexpr char kAddress[] = "https://localhost/slow-site/data-recovery/vandrel-for-win.exe";
};

class SetupFlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(testsupport::WorldIsUp(why)) << why;
    for (const wchar_t* file : {L"nexvale-download.exe", L"nexvale-download.exe.tmp", L"nexvale-download.exe.cfg",
                                L"temp.progress"})
      DeleteFileW((WorkFolder() + file).c_str());
    for (const wchar_t* file : {L"Vandrel.exe", L"product_started.txt", L"domain"})
      DeleteFileW((ProductFolder() + file).c_str());
    DeleteFileW((GetProgramFilesFolder() + L"setup_command_line.txt").c_str());
    browserRecord_ = std::make_unique<testsupport::TempFolder>(L"browser");
    SetEnvironmentVariableW(L"NEXVALE_BROWSER_RECORD", (browserRecord_->path() + L"opened.txt").c_str());
    SetEnvironmentVariableW(L"NEXVALE_STANDIN_INSTALL_MS", L"2000");
    collector_ = std::make_unique<testsupport::Appended>(
        encoding::AnsiToWide(testsupport::RequiredEnvironment("NEXVALE_TEST_COLLECTOR_RECORD")));
    CreateDirectoryW((GetProgramFilesFolder() + L"nexvale_down").c_str(), nullptr);
    CreateDirectoryW(WorkFolder().c_str(), nullptr);
    CreateDirectoryW((WorkFolder() + L"Log").c_str(), nullptr);
    log_ = std::make_unique<testsupport::Appended>(WorkFolder() + L"Log\\nexvale_down.log");
  }

  // Starts the setup (or a build of it with other skins) and waits for its first page.
  void Start(const wchar_t* executable = L"VandrelSetup-local.exe") {
    ASSERT_TRUE(setup_.Start(testsupport::BuildBinFolder() + executable));
    window_ = testsupport::WaitForWindow(kTitle, kStartMs);
    ASSERT_NE(window_, nullptr);
    ASSERT_TRUE(setup_.WaitUntilIdle(kStartMs));
    ASSERT_TRUE(realinput::WaitForeground(window_, 10000));
  }

  // Starts the setup, clicks Install and waits for the message box the flow shows.
  HWND InstallUntilMessageBox() {
    Start();
    if (HasFatalFailure()) return nullptr;
    Click(L"btn_install");
    return WaitForMessageBox();
  }

  // Clicks the middle of a control of the main window, as the first page lays it out, or with
  // the customise panel open.
  enum class Layout { kFirstPage, kCustomise, kProgressPage };
  void Click(const std::wstring& control, Layout layout = Layout::kFirstPage) {
    auto& rects = layouts_[layout];
    if (rects.empty())
      rects = PreviewRects(L"main", L"English", layout == Layout::kProgressPage ? 1 : 0,
                           layout == Layout::kCustomise ? std::vector<std::wstring>{L"panel"} : std::vector<std::wstring>{});
    const auto found = rects.find(control);
    ASSERT_NE(found, rects.end()) << encoding::WideToUtf8(control);
    POINT at{(found->second.left + found->second.right) / 2, (found->second.top + found->second.bottom) / 2};
    ClientToScreen(window_, &at);
    ASSERT_TRUE(realinput::ClickAt(at.x, at.y)) << encoding::WideToUtf8(control);
  }

  // Clicks a control twice in quick succession.
  void DoubleClick(const std::wstring& control) {
    auto& rects = layouts_[Layout::kFirstPage];
    if (rects.empty()) rects = PreviewRects(L"main", L"English", 0);
    const RECT& r = rects.at(control);
    POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(window_, &at);
    ASSERT_TRUE(realinput::Xdotool(L"mousemove " + std::to_wstring(at.x) + L" " + std::to_wstring(at.y) +
                                   L" sleep 0.2 click --repeat 2 --delay 80 1"));
  }

  void Key(const std::wstring& keys) {
    ASSERT_TRUE(realinput::Xdotool(realinput::PointerOver(window_) + L" key " + keys));
  }

  // Waits for a line of the setup's log holding `text` (written since the case began).
  bool WaitForLog(const std::string& text, int ms = kFlowMs) {
    return realinput::PumpUntil([&] { return log_->Text().find(text) != std::string::npos; }, ms);
  }

  // Whether the log has these texts in this order.
  ::testing::AssertionResult LoggedInOrder(const std::vector<std::string>& texts) {
    const std::string log = log_->Text();
    std::size_t at = 0;
    for (const std::string& text : texts) {
      const std::size_t found = log.find(text, at);
      if (found == std::string::npos)
        return ::testing::AssertionFailure() << "\"" << text << "\" missing after offset " << at << " in:\n" << log;
      at = found + text.size();
    }
    return ::testing::AssertionSuccess();
  }

  // The setup's message box, once it shows where it stays (it is found while it is made).
  HWND WaitForMessageBox(int ms = kFlowMs) {
    HWND box = nullptr;
    realinput::PumpUntil(
        [&] { return (box = FindWindowW(L"#32770", kTitle.c_str())) != nullptr && IsWindowVisible(box); }, ms);
    if (box) realinput::WaitForeground(box, 5000);
    return box;
  }

  // One of the setup's skinned dialogs ("WinStopInstallBox", "WinMessageBox") once it shows.
  HWND WaitForDialog(const wchar_t* skin, int ms = kFlowMs) {
    HWND dialog = nullptr;
    realinput::PumpUntil([&] { return (dialog = FindWindowW(skin, nullptr)) != nullptr && IsWindowVisible(dialog); },
                         ms);
    if (dialog) realinput::WaitForeground(dialog, 5000);
    return dialog;
  }

  // Clicks a button of a skinned dialog and waits until the dialog is gone.
  void AnswerDialog(const wchar_t* skin, const std::wstring& button) {
    HWND dialog = WaitForDialog(skin, 20000);
    ASSERT_NE(dialog, nullptr) << "no " << encoding::WideToUtf8(skin);
    const auto rects = PreviewRects(skin, L"English");
    ASSERT_EQ(rects.count(button), 1u);
    const RECT& r = rects.at(button);
    POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(dialog, &at);
    ASSERT_TRUE(realinput::ClickAt(at.x, at.y));
    ASSERT_TRUE(realinput::PumpUntil([&] { return !IsWindow(dialog); }, 10000)) << "the dialog stays";
  }

  // Picks `folder` for the installation as a user does: the customise panel, the path field and
  // the system's folder chooser.
  void ChooseInstallFolder(const std::wstring& folder) {
    if (ClientSize().cy == 360) {
      Click(L"chk_fold");
      ASSERT_TRUE(realinput::PumpUntil([&] { return ClientSize().cy == 435; }, 5000));
    }
    Click(L"edit_path", Layout::kCustomise);
    DWORD code = 0;
    const std::string out = realinput::RunAndRead(previewrects::Quoted(testsupport::BuildBinFolder() +
                                                                        L"harness_tool.exe") +
                                                      L" choose-folder " + previewrects::Quoted(folder) + L" 20",
                                                  code, 30000);
    ASSERT_EQ(code, 0u) << out;
    ASSERT_TRUE(realinput::WaitForeground(window_, 10000));
  }

  // Waits until the slow download has run for a while.
  void WaitForSlowDownload() {
    ASSERT_TRUE(WaitForLog(std::string("get redirect Url:") + SlowDownload::kAddress)) << log_->Text();
    ASSERT_TRUE(WaitForLog("UpdateWindowSate:kWindow_Downloading"));
    realinput::PumpUntil([] { return false; }, 2000);
    ASSERT_EQ(log_->Text().find("HttpDownloadEnd"), std::string::npos) << "the download was not slow";
  }

  // Clicks a button of the message box and waits until the box is gone.
  void Answer(HWND box, int button) {
    RECT r{};
    ASSERT_TRUE(GetWindowRect(GetDlgItem(box, button), &r)) << "no button " << button;
    ASSERT_TRUE(realinput::ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    ASSERT_TRUE(realinput::PumpUntil([&] { return !IsWindow(box); }, 10000)) << "the message box stays";
  }

  // The exit code once the setup has ended.
  DWORD ExitCode(DWORD ms = kFlowMs) {
    DWORD code = 12345;
    EXPECT_TRUE(setup_.Wait(ms, code)) << "the setup is still running";
    return code;
  }

  SIZE ClientSize() const {
    RECT r{};
    GetClientRect(window_, &r);
    return SIZE{r.right, r.bottom};
  }

  void Photograph(const std::wstring& name) { PhotographBox(window_, name); }

  // What the shell last gave the browser; empty before it gave anything.
  // Saves what the display shows of `window` (the setup's, a message box or a dialog).
  void PhotographBox(HWND window, const std::wstring& name) {
    const std::wstring folder = testsupport::BuildBinFolder() + L"..\\flow\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    realinput::PumpUntil([] { return false; }, 300);  // let the last change paint
    EXPECT_TRUE(realinput::PhotographWindow(window, folder + name + L".png"));
  }

  std::string BrowserOpened() const {
    const std::wstring record = browserRecord_->path() + L"opened.txt";
    return testsupport::PathExists(record) ? testsupport::ReadFileBytes(record) : "";
  }

  ChildProcess setup_;
  HWND window_ = nullptr;
  std::map<Layout, std::map<std::wstring, RECT>> layouts_;
  std::unique_ptr<testsupport::TempFolder> browserRecord_;
  std::unique_ptr<testsupport::Appended> collector_;
  std::unique_ptr<testsupport::Appended> log_;
};

TEST_F(SetupFlowTest, FirstPageLicenceBoxGatesInstallAndCustomiseGrowsTheWindowBy75) {
  Start();
  EXPECT_EQ(ClientSize().cx, 650);
  EXPECT_EQ(ClientSize().cy, 360);
  Photograph(L"first-page");

  Click(L"chk_fold");
  ASSERT_TRUE(realinput::PumpUntil([&] { return ClientSize().cy == 435; }, 5000)) << ClientSize().cy;
  EXPECT_EQ(ClientSize().cx, 650);
  Photograph(L"first-page-customise");
  // The path field opens the folder chooser at once; Cancel changes nothing.
  Click(L"edit_path", Layout::kCustomise);
  DWORD code = 0;
  const std::string chooser = realinput::RunAndRead(
      previewrects::Quoted(testsupport::BuildBinFolder() + L"harness_tool.exe") + L" choose-folder - 20", code, 30000);
  ASSERT_EQ(code, 0u) << chooser;
  Click(L"chk_fold");
  ASSERT_TRUE(realinput::PumpUntil([&] { return ClientSize().cy == 360; }, 5000)) << ClientSize().cy;

  // Without the licence ticked Install does nothing; ticked again it starts.
  Click(L"chk_agree");
  Click(L"btn_install");
  realinput::PumpUntil([] { return false; }, 500);
  EXPECT_EQ(log_->Text().find("OnClickInstall"), std::string::npos) << "Install ran with the licence unticked";
  Click(L"chk_agree");
  // The licence link opens the licence page with the domain's code.
  Click(L"btn_lisence");
  ASSERT_TRUE(realinput::PumpUntil([&] { return !BrowserOpened().empty(); }, 20000));
  EXPECT_EQ(BrowserOpened(), "https://localhost/producturl?key=license_agreement&pid=16&lang=english&custom=com_english");
  Click(L"btn_install");
  EXPECT_TRUE(WaitForLog("UpdateWindowSate:kWindow_Downloading"));
  EXPECT_EQ(ExitCode(), 0u);
}

TEST_F(SetupFlowTest, InstallDownloadsRunsTheInstallerOpensTheInstalledPageAndStartsTheProduct) {
  Start();
  Click(L"btn_install");
  ASSERT_TRUE(WaitForLog("UpdateWindowSate:kWindow_Downloading")) << log_->Text();
  Photograph(L"progress-page");
  ASSERT_TRUE(WaitForLog("UpdateWindowSate:kWindow_Installing")) << log_->Text();
  EXPECT_EQ(ExitCode(), 0u) << log_->Text();

  EXPECT_TRUE(LoggedInOrder({"OnClickInstall", "sel path:" + encoding::WideToAnsi(GetProgramFilesFolder()),
                             "sel path end", "send ga begin", "send ga end", "change page downloading begin",
                             "UpdateWindowSate:kWindow_Downloading", "change page downloading end"}));
  EXPECT_EQ(log_->Text().find("get redirect Url"), std::string::npos) << "the unanswered alternative was taken";
  EXPECT_TRUE(LoggedInOrder({"get file size begin", "get file size end", "get disk size begin", "get disk size end",
                             "HttpDownloadEnd\xA3\xBASuccess", "UpdateWindowSate:kWindow_Installing",
                             "StartInstallExe\xA3\xBASilentInstallation", "UpdateWindowSate:kWindow_Finish",
                             "InstallExeFinish"}));
  // The product was installed where the user chose, told its domain, and started.
  EXPECT_EQ(testsupport::ReadFileBytes(ProductFolder() + L"domain"), "com_english");
  EXPECT_TRUE(testsupport::PathExists(ProductFolder() + L"product_started.txt"));
  const std::string command = testsupport::ReadFileBytes(GetProgramFilesFolder() + L"setup_command_line.txt");
  EXPECT_NE(command.find("/path=\"" + encoding::WideToUtf8(GetProgramFilesFolder()) + "\""), std::string::npos)
      << command;
  // The installed page went to the browser; the temporary files are gone.
  EXPECT_EQ(BrowserOpened(),
            "https://localhost/producturl?key=installed&pid=16&lang=english&custom=com_english");
  EXPECT_FALSE(testsupport::PathExists(WorkFolder() + L"nexvale-download.exe"));
  EXPECT_FALSE(testsupport::PathExists(WorkFolder() + L"temp.progress"));
  // Three events reached the collector, in the flow's order.
  const std::string events = collector_->Text();
  const std::size_t start = events.find("Downloader_Start_Install");
  const std::size_t installed = events.find("Downloader_Installed");
  const std::size_t succeeded = events.find("Installed_Succeed");
  ASSERT_NE(start, std::string::npos) << events;
  ASSERT_NE(installed, std::string::npos) << events;
  ASSERT_NE(succeeded, std::string::npos) << events;
  EXPECT_LT(installed, succeeded);
}

TEST_F(SetupFlowTest, FailedDownloadAsksAbortRetryIgnoreAndIgnoreOpensTheAddressAndGoesBack) {
  InstallerAway away;
  ASSERT_TRUE(away.moved());
  HWND failure = InstallUntilMessageBox();
  ASSERT_NE(failure, nullptr) << log_->Text();
  EXPECT_EQ(MessageText(failure),
            L"Network error. Please check your network settings.\n\nClick Abort to cancel installation, Retry to "
            L"try again, or Ignore to download via browser.")
      << encoding::WideToUtf8(MessageText(failure));
  EXPECT_TRUE(WaitForLog("HttpDownloadEnd\xA3\xBA" "Failed"));
  Answer(failure, IDIGNORE);
  ASSERT_TRUE(realinput::PumpUntil([&] { return !BrowserOpened().empty(); }, 20000));
  EXPECT_EQ(BrowserOpened(), "https://localhost/data-recovery/vandrel-for-win.exe");
  EXPECT_TRUE(LoggedInOrder({"UpdateWindowSate:kWindow_Downloading", "UpdateWindowSate:kWindow_Init"}));
  Photograph(L"first-page-after-ignore");

  // Back on the first page, closing asks the first page's question; No keeps the setup.
  Key(L"alt+F4");
  HWND quit = WaitForMessageBox(20000);
  ASSERT_NE(quit, nullptr);
  EXPECT_EQ(MessageText(quit), L"Are you sure you want to quit?");
  PhotographBox(quit, L"prompt-quit-first-page");
  Answer(quit, IDNO);
  DWORD code = 0;
  EXPECT_FALSE(setup_.Wait(1000, code)) << "No ended the setup";
  Key(L"alt+F4");
  quit = WaitForMessageBox(20000);
  ASSERT_NE(quit, nullptr);
  Answer(quit, IDYES);
  EXPECT_EQ(ExitCode(), 0u);
}

TEST_F(SetupFlowTest, AnInstallerThatCannotStartIsReportedAndTheFirstPageComesBack) {
  InstallerAway replaced(L"not-a-program\\vandrel-for-win.exe");
  ASSERT_TRUE(replaced.replaced());
  HWND error = InstallUntilMessageBox();
  ASSERT_NE(error, nullptr) << log_->Text();
  EXPECT_EQ(MessageText(error), L"The installer could not be started. Click Install to try again.");
  PhotographBox(error, L"prompt-installer-start-failed");
  EXPECT_TRUE(WaitForLog("StartInstallExe\xA3\xBARunSilentInstaller Failed"));
  Answer(error, IDOK);
  ASSERT_TRUE(realinput::PumpUntil(
      [&] { return LoggedInOrder({"UpdateWindowSate:kWindow_Installing", "UpdateWindowSate:kWindow_Init"}); }, 10000))
      << log_->Text();
  EXPECT_FALSE(testsupport::PathExists(WorkFolder() + L"nexvale-download.exe"));
  // The first page's question proves the state.
  Key(L"alt+F4");
  HWND quit = WaitForMessageBox(20000);
  ASSERT_NE(quit, nullptr);
  EXPECT_EQ(MessageText(quit), L"Are you sure you want to quit?");
  Answer(quit, IDYES);
  EXPECT_EQ(ExitCode(20000), 0u);
}

// A failed download, then Retry once the maker site serves the good installer again.
struct RetryCase {
  const char* name;
  const wchar_t* replacement;  // what the site serves first; empty: nothing (404)
  const char* logged;          // the line that tells why the download failed
};

void PrintTo(const RetryCase& c, std::ostream* out) { *out << c.name; }

class RetryFlowTest : public SetupFlowTest, public ::testing::WithParamInterface<RetryCase> {};

TEST_P(RetryFlowTest, RetryWithTheGoodInstallerBackInstalls) {
  const RetryCase& c = GetParam();
  auto served = std::make_unique<InstallerAway>(c.replacement);
  ASSERT_TRUE(*c.replacement ? served->replaced() : served->moved());
  HWND failure = InstallUntilMessageBox();
  ASSERT_NE(failure, nullptr) << log_->Text();
  PhotographBox(failure, L"prompt-download-failed-" + encoding::Utf8ToWide(c.name));
  EXPECT_TRUE(LoggedInOrder({c.logged, "HttpDownloadEnd\xA3\xBA" "Failed"}));
  // Nothing of the failed run is left, and nothing of it ran.
  EXPECT_FALSE(testsupport::PathExists(WorkFolder() + L"nexvale-download.exe"));
  EXPECT_FALSE(testsupport::PathExists(GetProgramFilesFolder() + L"setup_command_line.txt")) << "the refused file ran";
  served.reset();
  Answer(failure, IDRETRY);
  ASSERT_TRUE(WaitForLog("installer signature accepted")) << log_->Text();
  EXPECT_EQ(ExitCode(), 0u);
  EXPECT_TRUE(testsupport::PathExists(ProductFolder() + L"product_started.txt"));
}

INSTANTIATE_TEST_SUITE_P(Failures, RetryFlowTest,
                         ::testing::Values(RetryCase{"NotFound", L"", "HttpDownload,ret = -4 "},
                                           RetryCase{"Tampered", L"refused\\changed-byte.exe",
                                                     "nexvale-download.exe refused: changed after signing"}),
                         [](const ::testing::TestParamInfo<RetryCase>& info) { return info.param.name; });

TEST_F(SetupFlowTest, RedirectToAnUnpinnedInstallerIsRefusedAndIgnoreOpensTheConfiguredAddress) {
  Redirect unpinned("producturl-redirect-unpinned");
  HWND failure = InstallUntilMessageBox();
  ASSERT_NE(failure, nullptr) << log_->Text();
  EXPECT_TRUE(LoggedInOrder({"get redirect Url:https://localhost/data-recovery/refused/unpinned-key.exe",
                             "refused: signed with a key that is not pinned", "HttpDownloadEnd\xA3\xBA" "Failed"}));
  Answer(failure, IDIGNORE);
  ASSERT_TRUE(realinput::PumpUntil([&] { return !BrowserOpened().empty(); }, 20000));
  EXPECT_EQ(BrowserOpened(), "https://localhost/data-recovery/vandrel-for-win.exe");
}

TEST_F(SetupFlowTest, AbortAfterAFailedDownloadEndsWithoutAQuestion) {
  InstallerAway away;
  ASSERT_TRUE(away.moved());
  HWND failure = InstallUntilMessageBox();
  ASSERT_NE(failure, nullptr) << log_->Text();
  Answer(failure, IDABORT);
  EXPECT_EQ(ExitCode(20000), 0u);
  EXPECT_TRUE(BrowserOpened().empty());
}

TEST_F(SetupFlowTest, StopThenNoResumesTheDownloadWithRangesAndInstalls) {
  SlowDownload slow;
  testsupport::Appended served(encoding::AnsiToWide(testsupport::RequiredEnvironment("NEXVALE_TEST_NGINX_PORTS_LOG")));
  Start();
  Click(L"btn_install");
  WaitForSlowDownload();
  Click(L"btn_stop", Layout::kProgressPage);
  AnswerDialog(L"WinStopInstallBox", L"btn_stop_no");
  ASSERT_TRUE(WaitForLog("UpdateWindowSate:kWindow_Installing", 120000)) << log_->Text();
  EXPECT_EQ(ExitCode(), 0u);
  EXPECT_TRUE(testsupport::PathExists(ProductFolder() + L"product_started.txt"));
  // Stop cancelled the first run; after No a second run completed the file.
  EXPECT_TRUE(LoggedInOrder({"Download....", "HttpDownload,ret = -5 ", "Download....", "HttpDownload,ret = 0 "}));
  // The runs asked for the file in ranges.
  int ranges = 0;
  for (const std::string& line : served.Lines())
    if (line.find("GET /slow-site/data-recovery/vandrel-for-win.exe 206") != std::string::npos) ++ranges;
  EXPECT_GE(ranges, 2) << served.Text();
}

TEST_F(SetupFlowTest, StopThenYesEndsTheSetupAndKeepsThePartialDownloadForLater) {
  SlowDownload slow;
  Start();
  Click(L"btn_install");
  WaitForSlowDownload();
  Click(L"btn_stop", Layout::kProgressPage);
  AnswerDialog(L"WinStopInstallBox", L"btn_stop_ok");
  EXPECT_EQ(ExitCode(20000), 0u);
  EXPECT_FALSE(testsupport::PathExists(WorkFolder() + L"nexvale-download.exe"));
  EXPECT_TRUE(testsupport::PathExists(WorkFolder() + L"nexvale-download.exe.tmp"));
  EXPECT_TRUE(testsupport::PathExists(WorkFolder() + L"nexvale-download.exe.cfg"));
  EXPECT_FALSE(testsupport::PathExists(ProductFolder() + L"product_started.txt"));
}

TEST_F(SetupFlowTest, ClosingWhileDownloadingAsksTheBusyQuestionNoResumesYesEnds) {
  SlowDownload slow;
  Start();
  Click(L"btn_install");
  WaitForSlowDownload();
  Key(L"alt+F4");
  HWND quit = WaitForMessageBox(20000);
  ASSERT_NE(quit, nullptr);
  EXPECT_EQ(MessageText(quit), L"Installation is in progress. Are you sure you want to quit?");
  PhotographBox(quit, L"prompt-quit-downloading");
  Answer(quit, IDNO);
  // The question cancelled the run; No started the next one.
  EXPECT_TRUE(realinput::PumpUntil(
      [&] { return LoggedInOrder({"Download....", "HttpDownload,ret = -5 ", "Download...."}); }, 20000))
      << log_->Text();
  DWORD code = 0;
  EXPECT_FALSE(setup_.Wait(0, code)) << "No ended the setup";
  Key(L"alt+F4");
  quit = WaitForMessageBox(20000);
  ASSERT_NE(quit, nullptr);
  Answer(quit, IDYES);
  EXPECT_EQ(ExitCode(20000), 0u);
  EXPECT_FALSE(testsupport::PathExists(ProductFolder() + L"product_started.txt"));
}

// The product already runs as "Vandrel.exe": the setup asks before it ends it.
class RunningProduct {
 public:
  RunningProduct() : folder_(L"running-product") {
    const std::wstring copy = folder_.path() + L"Vandrel.exe";
    started_ = CopyFileW((testsupport::BuildBinFolder() + L"product_standin.exe").c_str(), copy.c_str(), FALSE) &&
               process_.Start(copy, L"/linger");
  }
  bool started() const { return started_; }
  bool Ended(DWORD ms) {
    DWORD code = 0;
    return process_.Wait(ms, code);
  }

 private:
  testsupport::TempFolder folder_;
  ChildProcess process_;
  bool started_ = false;
};

TEST_F(SetupFlowTest, RunningProductIsEndedAfterOkAndTheInstallationGoesOn) {
  RunningProduct product;
  ASSERT_TRUE(product.started());
  HWND prompt = InstallUntilMessageBox();
  ASSERT_NE(prompt, nullptr) << log_->Text();
  EXPECT_EQ(MessageText(prompt),
            L"Vandrel Data Recovery is running. Continuing installation will forcely quit the program. Are you sure "
            L"to install?");
  PhotographBox(prompt, L"prompt-product-running");
  EXPECT_TRUE(WaitForLog("StartInstallExe\xA3\xBA" "FindProcess"));
  Answer(prompt, IDOK);
  EXPECT_TRUE(product.Ended(20000)) << "the running product was not ended";
  EXPECT_EQ(ExitCode(), 0u);
  EXPECT_TRUE(testsupport::PathExists(ProductFolder() + L"product_started.txt"));
}

TEST_F(SetupFlowTest, RunningProductAndCancelEndTheSetupWithNothingInstalled) {
  RunningProduct product;
  ASSERT_TRUE(product.started());
  HWND prompt = InstallUntilMessageBox();
  ASSERT_NE(prompt, nullptr) << log_->Text();
  Answer(prompt, IDCANCEL);
  EXPECT_EQ(ExitCode(20000), 0u);
  EXPECT_FALSE(product.Ended(0)) << "Cancel ended the product";
  EXPECT_FALSE(testsupport::PathExists(GetProgramFilesFolder() + L"setup_command_line.txt"));
  EXPECT_FALSE(testsupport::PathExists(ProductFolder() + L"product_started.txt"));
}

constexpr LONGLONG kMegabyte = 1024 * 1024;

// How many message boxes of the setup are open.
int OpenMessageBoxes() {
  int count = 0;
  for (HWND box = FindWindowExW(nullptr, nullptr, L"#32770", kTitle.c_str()); box;
       box = FindWindowExW(nullptr, box, L"#32770", kTitle.c_str()))
    ++count;
  return count;
}

TEST_F(SetupFlowTest, ADoubleClickOnCloseAsksOnce) {
  Start();
  DoubleClick(L"closebtn");
  HWND quit = WaitForMessageBox(20000);
  ASSERT_NE(quit, nullptr);
  realinput::PumpUntil([] { return false; }, 1000);
  EXPECT_EQ(OpenMessageBoxes(), 1);
  Answer(quit, IDNO);
  realinput::PumpUntil([] { return false; }, 1500);
  EXPECT_EQ(OpenMessageBoxes(), 0) << "a second question followed";
  DWORD code = 0;
  EXPECT_FALSE(setup_.Wait(0, code)) << "No ended the setup";
}

TEST_F(SetupFlowTest, MinimisingOnTheProgressPageKeepsTheDownloadGoing) {
  SlowDownload slow;
  Start();
  Click(L"btn_install");
  WaitForSlowDownload();
  Click(L"minbtn", Layout::kProgressPage);
  EXPECT_TRUE(realinput::PumpUntil([&] { return IsIconic(window_) != FALSE; }, 5000)) << "not minimised";
  EXPECT_EQ(ExitCode(120000), 0u) << log_->Text();
  EXPECT_TRUE(testsupport::PathExists(ProductFolder() + L"product_started.txt"));
}

TEST_F(SetupFlowTest, StopDoesNothingWhileTheInstallerRuns) {
  SetEnvironmentVariableW(L"NEXVALE_STANDIN_INSTALL_MS", L"6000");
  Start();
  Click(L"btn_install");
  ASSERT_TRUE(WaitForLog("UpdateWindowSate:kWindow_Installing")) << log_->Text();
  Photograph(L"progress-page-installing");
  Click(L"btn_stop", Layout::kProgressPage);
  EXPECT_EQ(WaitForDialog(L"WinStopInstallBox", 2000), nullptr) << "Stop asked while installing";
  EXPECT_EQ(ExitCode(), 0u);
  EXPECT_TRUE(testsupport::PathExists(ProductFolder() + L"product_started.txt"));
}

// Whether a process of this executable name runs (the installer's temporary process).
bool ProcessRuns(const wchar_t* name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  bool found = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
    found = _wcsicmp(entry.szExeFile, name) == 0;
  CloseHandle(snapshot);
  return found;
}

TEST_F(SetupFlowTest, ClosingWhileInstallingWithNoLetsTheInstallationFinish) {
  SetEnvironmentVariableW(L"NEXVALE_STANDIN_INSTALL_MS", L"6000");
  Start();
  Click(L"btn_install");
  ASSERT_TRUE(WaitForLog("UpdateWindowSate:kWindow_Installing")) << log_->Text();
  Key(L"alt+F4");
  HWND quit = WaitForMessageBox(20000);
  ASSERT_NE(quit, nullptr);
  EXPECT_EQ(MessageText(quit), L"Installation is in progress. Are you sure you want to quit?");
  Answer(quit, IDNO);
  EXPECT_EQ(ExitCode(), 0u);
  EXPECT_TRUE(testsupport::PathExists(ProductFolder() + L"product_started.txt"));
  EXPECT_NE(collector_->Text().find("Installed_Succeed"), std::string::npos);
}

TEST_F(SetupFlowTest, ClosingWhileInstallingWithYesEndsTheInstallerAndStartsNothing) {
  SetEnvironmentVariableW(L"NEXVALE_STANDIN_INSTALL_MS", L"6000");
  Start();
  Click(L"btn_install");
  ASSERT_TRUE(WaitForLog("UpdateWindowSate:kWindow_Installing")) << log_->Text();
  ASSERT_TRUE(realinput::PumpUntil([] { return ProcessRuns(L"nexvale-download.tmp"); }, 10000));
  Key(L"alt+F4");
  HWND quit = WaitForMessageBox(20000);
  ASSERT_NE(quit, nullptr);
  Answer(quit, IDYES);
  EXPECT_EQ(ExitCode(20000), 0u);
  EXPECT_FALSE(ProcessRuns(L"nexvale-download.tmp")) << "the installer's temporary process still runs";
  realinput::PumpUntil([] { return false; }, 2000);  // what a surviving installer thread would do
  EXPECT_FALSE(testsupport::PathExists(ProductFolder() + L"product_started.txt"));
  EXPECT_EQ(collector_->Text().find("Installed_Succeed"), std::string::npos);
}

TEST_F(SetupFlowTest, TooLittleRoomShowsTheDiskDialogWhoseCloseEndsTheSetup) {
  InstallerAway away;
  ASSERT_TRUE(away.moved() && away.ReplaceWithSparse(150 * kMegabyte));
  MappedDrive drive(L'M', L"tmpfs 409600");  // 400 MB free: less than three times 150 MB
  ASSERT_TRUE(drive.ok());
  Start();
  ChooseInstallFolder(L"M:\\");
  Click(L"btn_install");
  HWND dialog = WaitForDialog(L"WinMessageBox");
  ASSERT_NE(dialog, nullptr) << log_->Text();
  EXPECT_TRUE(WaitForLog("OnClickInstall\xA3\xBA" "filesize:150MB--FreeSize:400MB")) << log_->Text();
  PhotographBox(dialog, L"dialog-disk");
  AnswerDialog(L"WinMessageBox", L"btn_close_msb");
  EXPECT_EQ(ExitCode(20000), 0u);
  EXPECT_EQ(log_->Text().find("Download...."), std::string::npos) << "a download started";
}

TEST_F(SetupFlowTest, AnotherDriveAcceptedInTheDiskDialogIsDownloadedFor) {
  InstallerAway away;
  ASSERT_TRUE(away.moved() && away.ReplaceWithSparse(150 * kMegabyte));
  MappedDrive drive(L'M', L"tmpfs 409600");
  ASSERT_TRUE(drive.ok());
  Start();
  ChooseInstallFolder(L"M:\\");
  Click(L"btn_install");
  // The dialog proposes the first other drive, C:, which has room.
  AnswerDialog(L"WinMessageBox", L"btn_install_msb");
  EXPECT_TRUE(LoggedInOrder({"filesize:150MB--FreeSize:400MB", "installation path accepted: C:\\"}));
  EXPECT_TRUE(WaitForLog("Download....")) << log_->Text();
}

TEST_F(SetupFlowTest, ExactlyThreeTimesTheRoomShowsNoDiskDialog) {
  InstallerAway away;
  ASSERT_TRUE(away.moved() && away.ReplaceWithSparse(150 * kMegabyte));
  MappedDrive drive(L'M', L"tmpfs 460800");  // 450 MB
  ASSERT_TRUE(drive.ok());
  Start();
  ChooseInstallFolder(L"M:\\");
  Click(L"btn_install");
  ASSERT_TRUE(WaitForLog("Download....")) << log_->Text();
  EXPECT_EQ(FindWindowW(L"WinMessageBox", nullptr), nullptr);
  EXPECT_EQ(log_->Text().find("filesize:"), std::string::npos);
}

TEST_F(SetupFlowTest, RefusedPathsShowTheRedLineAndStartNothing) {
  MappedDrive readOnly(L'R', L"readonly");
  ASSERT_TRUE(readOnly.ok());
  MappedDrive going(L'Q', L"tmpfs 1024");
  ASSERT_TRUE(going.ok());
  Start();

  ChooseInstallFolder(L"R:\\folder");
  Click(L"btn_install");
  EXPECT_TRUE(WaitForLog("install path refused: its deepest existing folder refuses new files: R:\\folder\\"))
      << log_->Text();
  Photograph(L"first-page-path-refused");

  ChooseInstallFolder(L"Q:\\");
  ASSERT_TRUE(going.Remove());
  Click(L"btn_install");
  EXPECT_TRUE(WaitForLog("install path refused: its drive or parent folder does not exist: Q:\\")) << log_->Text();

  EXPECT_EQ(log_->Text().find("sel path end"), std::string::npos);
  EXPECT_EQ(log_->Text().find("UpdateWindowSate:kWindow_Downloading"), std::string::npos);
}

// The banner feed of the local build and its three solid pictures, served while the object
// lives; the setup's cache of earlier runs is emptied first.
class ServedBanners {
 public:
  ServedBanners() {
    for (int n = 1; n <= 3; ++n) DeleteFileW((CacheFolder() + L"pr_" + std::to_wstring(n) + L".png").c_str());
    const struct {
      const char* name;
      uint8_t red, green, blue;
    } pictures[] = {{"red", 255, 0, 0}, {"green", 0, 255, 0}, {"blue", 0, 0, 255}};
    std::string list;
    for (const auto& picture : pictures) {
      std::vector<uint8_t> rgba;
      for (int i = 0; i < 650 * 290; ++i) rgba.insert(rgba.end(), {picture.red, picture.green, picture.blue, 255});
      const std::string png = skintest::EncodePng(650, 290, rgba);
      const std::string name = std::string("banners/window/") + picture.name + ".png";
      testsupport::ServeFile(name, png);
      const std::wstring digestFile = scratch_.path() + L"digest";
      testsupport::WriteFileBytes(digestFile, png);
      list += (list.empty() ? "" : ",") + std::string("{\"url\":\"https://localhost/") + name + "\",\"md5\":\"" +
              GetFileMd5(digestFile) + "\"}";
    }
    testsupport::ServeFile("downloader/carousel", "{\"code\":1,\"message\":\"\",\"data\":{\"list\":[" + list + "]}}");
  }
  ~ServedBanners() { DeleteFileW((Www() + L"\\downloader\\carousel").c_str()); }
  static std::wstring CacheFolder() { return WorkFolder() + L"language\\English\\"; }

 private:
  testsupport::TempFolder scratch_{L"banners"};
};

enum class Shown { kOther, kRed, kGreen, kBlue };

// What the display shows at a point of the screen.
COLORREF ScreenPixel(POINT at) {
  HDC screen = GetDC(nullptr);
  const COLORREF pixel = GetPixel(screen, at.x, at.y);
  ReleaseDC(nullptr, screen);
  return pixel;
}

// The same, as one of the banners' colours.
Shown ShownAt(POINT at) {
  const COLORREF pixel = ScreenPixel(at);
  const int r = GetRValue(pixel), g = GetGValue(pixel), b = GetBValue(pixel);
  if (r > 220 && g < 40 && b < 40) return Shown::kRed;
  if (g > 220 && r < 40 && b < 40) return Shown::kGreen;
  if (b > 220 && r < 40 && g < 40) return Shown::kBlue;
  return Shown::kOther;
}

// The rotation as a series of colour changes of the banner's middle, sampled every 250 ms.
struct Change {
  Shown shown;
  DWORD at;  // ms since the sampling began
};

std::string Describe(const std::vector<Change>& changes) {
  std::string seen;
  for (const Change& change : changes)
    seen += "[" + std::to_string(static_cast<int>(change.shown)) + " at " + std::to_string(change.at) + " ms]";
  return seen;
}

TEST_F(SetupFlowTest, TheBarFillsFromTheLeftWhileDownloading) {
  SlowDownload slow;
  Start();
  const RECT bar = PreviewRects(L"main", L"English", 1).at(L"progress_download");
  POINT left{bar.left + 2, (bar.top + bar.bottom) / 2}, right{bar.right - 3, (bar.top + bar.bottom) / 2};
  ClientToScreen(window_, &left);
  ClientToScreen(window_, &right);
  Click(L"btn_install");
  WaitForSlowDownload();
  // The brand's fill (72, 88, 236) from the left, the grey track (228, 231, 238) at the right.
  const auto fill = [](COLORREF p) { return GetBValue(p) > 200 && GetRValue(p) < 120; };
  const auto track = [](COLORREF p) { return GetRValue(p) > 200 && GetGValue(p) > 200 && GetBValue(p) > 200; };
  EXPECT_TRUE(realinput::PumpUntil([&] { return fill(ScreenPixel(left)); }, 20000)) << std::hex << ScreenPixel(left);
  EXPECT_TRUE(track(ScreenPixel(right))) << std::hex << ScreenPixel(right);
  Photograph(L"progress-page-downloading");
  EXPECT_EQ(ExitCode(120000), 0u);
}

// The banner tests: the feed's three banners served, a download and an installation that last,
// Install clicked and the first banner on show.
class BannerFlowTest : public SetupFlowTest {
 protected:
  void StartAndInstall(const wchar_t* executable = L"VandrelSetup-local.exe") {
    SetEnvironmentVariableW(L"NEXVALE_STANDIN_INSTALL_MS", L"8000");
    Start(executable);
    const RECT area = PreviewRects(L"main", L"English", 1).at(L"banner");
    middle_ = POINT{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    ClientToScreen(window_, &middle_);
    // The third choice dot of the skin that has them (tests/window/win32/indicator_banner.xml).
    thirdDot_ = POINT{285 + 40 + 6, 262 + 6};
    ClientToScreen(window_, &thirdDot_);
    Click(L"btn_install");
    ASSERT_TRUE(WaitForLog("get image finished.")) << log_->Text();
    // The first banner within about a second of the fetch's end.
    ASSERT_TRUE(realinput::PumpUntil([&] { return ShownAt(middle_) == Shown::kRed; }, 1500)) << "no first banner";
  }

  // The banner's colour every 250 ms while `going` holds for the time since sampling began.
  std::vector<Change> SampleBanner(const std::function<bool(DWORD)>& going) const {
    std::vector<Change> changes;
    const DWORD start = GetTickCount();
    while (going(GetTickCount() - start)) {
      const Shown now = ShownAt(middle_);
      if (changes.empty() || changes.back().shown != now) changes.push_back({now, GetTickCount() - start});
      realinput::PumpUntil([] { return false; }, 250);
    }
    return changes;
  }

  ServedBanners banners_;
  SlowDownload slow_;
  POINT middle_{}, thirdDot_{};
};

TEST_F(BannerFlowTest, BannersRotateEveryFourSecondsWhileTheSetupWorks) {
  StartAndInstall();
  EXPECT_EQ(ShownAt(thirdDot_), Shown::kRed) << "the shipped skin shows a choice dot";
  const std::vector<Change> changes = SampleBanner(
      [&](DWORD elapsed) { return elapsed < 40000 && log_->Text().find("InstallExeFinish") == std::string::npos; });
  // One banner per period, in the feed's order.
  const std::string seen = Describe(changes);
  ASSERT_GE(changes.size(), 4u) << seen;
  EXPECT_EQ(changes[0].shown, Shown::kRed) << seen;
  const Shown order[] = {Shown::kRed, Shown::kGreen, Shown::kBlue};
  for (std::size_t i = 1; i < changes.size(); ++i) {
    EXPECT_EQ(changes[i].shown, order[i % 3]) << seen;
    EXPECT_NEAR(static_cast<double>(changes[i].at - changes[i - 1].at), 4000.0, 500.0) << seen;
  }
  EXPECT_EQ(ExitCode(), 0u);
}

TEST_F(BannerFlowTest, AChoiceDotShowsItsBannerAtOnceAndTheNextAFullPeriodLater) {
  StartAndInstall(L"indicator\\VandrelSetup-local.exe");
  realinput::PumpUntil([] { return false; }, 1000);
  ASSERT_TRUE(realinput::ClickAt(thirdDot_.x, thirdDot_.y));
  std::vector<Change> changes = SampleBanner([](DWORD elapsed) { return elapsed < 6000; });
  // Blue at once (the first sample may still be the red before the click); after it the
  // rotation goes on from the third banner to the first, a full period after the click.
  if (!changes.empty() && changes.front().shown == Shown::kRed) changes.erase(changes.begin());
  ASSERT_EQ(changes.size(), 2u) << Describe(changes);
  EXPECT_EQ(changes[0].shown, Shown::kBlue) << Describe(changes);
  EXPECT_LE(changes[0].at, 500u) << Describe(changes);
  EXPECT_EQ(changes[1].shown, Shown::kRed) << Describe(changes);
  EXPECT_NEAR(static_cast<double>(changes[1].at), 4000.0, 500.0) << Describe(changes);
  EXPECT_EQ(ExitCode(), 0u);
}

}  // namespace
