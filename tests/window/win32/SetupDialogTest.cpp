// The disk-space and stop dialogs as a user meets them: dialog_host opens one over its owner
// window on its UI thread, and each case drives it with xdotool at the rectangles the skin
// preview prints for that language's skin, with drives of the prefix mapped for it (a small
// tmpfs, a read-only mount). The host reports the texts, tooltips, result and path buffer.
// Only the system's folder chooser is driven by harness_tool instead of real input.

#include <windows.h>

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/Encoding.h"
#include "tests/skin_ui/win32/RealInput.h"
#include "tests/window/win32/MappedDrive.h"
#include "tests/window/win32/PreviewRects.h"
#include "tests/support/TestFiles.h"

namespace {

using previewrects::PreviewRects;
using previewrects::Quoted;
using previewrects::SplitTabs;
using mappeddrive::MappedDrive;
using realinput::Xdotool;

// One run of dialog_host, whose lines are read as they come.
class HostRun {
 public:
  explicit HostRun(const std::wstring& arguments) {
    started_ = realinput::StartReading(Quoted(testsupport::BuildBinFolder() + L"dialog_host.exe") + L" " + arguments,
                                       process_, read_);
    reader_ = std::thread([this] { Read(); });
  }
  ~HostRun() {
    if (started_ && WaitForSingleObject(process_.hProcess, 15000) != WAIT_OBJECT_0)
      TerminateProcess(process_.hProcess, 9);
    reader_.join();
    if (started_) {
      CloseHandle(read_);
      CloseHandle(process_.hThread);
      CloseHandle(process_.hProcess);
    }
  }
  bool started() const { return started_; }

  // Lines read so far: later waits may look only at what comes after them.
  std::size_t Mark() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_.size();
  }
  // The first line from `from` on that `wanted` accepts, waiting for it at most `ms`.
  std::optional<std::wstring> WaitFor(const std::function<bool(const std::vector<std::wstring>&)>& wanted, int ms,
                                      std::size_t from = 0) {
    std::unique_lock<std::mutex> lock(mutex_);
    std::optional<std::wstring> found;
    changed_.wait_for(lock, std::chrono::milliseconds(ms), [&] {
      for (std::size_t i = from; i < lines_.size(); ++i)
        if (wanted(SplitTabs(lines_[i]))) return found = lines_[i], true;
      return ended_;
    });
    return found;
  }
  std::optional<std::wstring> WaitForKind(const std::wstring& kind, int ms) {
    return WaitFor([&](const std::vector<std::wstring>& f) { return f[0] == kind; }, ms);
  }
  // Waits until the latest text reported for the control (and its tooltip, when given) is this.
  bool WaitForText(const std::wstring& control, const std::wstring& text, const std::optional<std::wstring>& tooltip,
                   int ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(ms), [&] {
      for (auto line = lines_.rbegin(); line != lines_.rend(); ++line) {
        const auto f = SplitTabs(*line);
        if (f.size() == 4 && f[0] == L"text" && f[1] == control) return f[2] == text && (!tooltip || f[3] == *tooltip);
      }
      return false;
    });
  }
  std::wstring Transcript() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::wstring all;
    for (const std::wstring& line : lines_) all += line + L"\n";
    return all;
  }

 private:
  void Read() {
    std::string pending;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(read_, chunk, sizeof(chunk), &got, nullptr) && got > 0) {
      pending.append(chunk, got);
      for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(encoding::Utf8ToWide(pending.substr(0, end)));
        pending.erase(0, end + 1);
        changed_.notify_all();
      }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    ended_ = true;
    changed_.notify_all();
  }

  HANDLE read_ = nullptr;
  PROCESS_INFORMATION process_{};
  bool started_ = false;
  std::thread reader_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::wstring> lines_;
  bool ended_ = false;
};

// What a user does to the dialog, in order.
enum class Act {
  kClick,     // a left click in the middle of the control
  kType,      // click into the field, replace its text by typing `text`
  kKey,       // a key (xdotool's name) with the pointer over the dialog
  kHover,     // rest the pointer on the control until its tooltip `text` shows
  kChoose,    // after Browse: pick the folder `text` in the system's chooser, "-" cancels
  kExpect,    // wait until the control shows `text` (and the tooltip `tooltip`, when set)
  kPhotograph // the dialog from the display into build/<preset>/dialogs/`text`.png
};

struct Step {
  Act act;
  std::wstring control;
  std::wstring text;
  std::optional<std::wstring> tooltip;
};

Step Click(const wchar_t* control) { return {Act::kClick, control, L"", std::nullopt}; }
Step Type(const wchar_t* control, std::wstring text) { return {Act::kType, control, std::move(text), std::nullopt}; }
Step Key(const wchar_t* key) { return {Act::kKey, L"", key, std::nullopt}; }
Step Hover(const wchar_t* control, std::wstring tooltip) {
  return {Act::kHover, control, std::move(tooltip), std::nullopt};
}
Step Choose(std::wstring folder) { return {Act::kChoose, L"", std::move(folder), std::nullopt}; }
Step Expect(const wchar_t* control, std::wstring text, std::optional<std::wstring> tooltip = std::nullopt) {
  return {Act::kExpect, control, std::move(text), std::move(tooltip)};
}
Step Photograph(const wchar_t* name) { return {Act::kPhotograph, L"", name, std::nullopt}; }

struct DriveSetUp {
  wchar_t letter;
  const wchar_t* how;  // "tmpfs KIB" or "readonly"
};

struct DialogCase {
  const char* name;
  const wchar_t* dialog;    // "disk" or "stop"
  const wchar_t* language;  // "English" or "Arabic"
  std::wstring path;        // the disk dialog's path buffer on entry
  std::vector<DriveSetUp> drives;
  std::vector<Step> steps;
  int result;
  std::wstring buffer;      // the disk dialog's buffer afterwards
  std::vector<std::string> logged = {};  // texts one line of the dialog's log holds together
};

const std::wstring kEnglishTitle = L"Insufficient disk space, please replace the disk download";
const std::wstring kArabicTitle = L"مساحة القرص غير كافية، يرجى اختيار محرك أقراص آخر للتنزيل";
const std::wstring kEnglishInvalid = L"The installation path is invalid.";
const std::wstring kArabicInvalid = L"مسار التثبيت غير صالح.";
const std::wstring kInstallPath = L"C:\\Program Files\\Vandrel\\";

// The message line as the label shows it: 24 characters and "...".
std::wstring Cut(const std::wstring& line) { return line.size() > 24 ? line.substr(0, 24) + L"..." : line; }

// A refused path: the line says so, whole and as its tooltip, and the typed text stays.
std::vector<Step> Refused(const wchar_t* language, const std::wstring& typed, const wchar_t* photograph = nullptr) {
  const std::wstring& invalid = std::wstring(language) == L"Arabic" ? kArabicInvalid : kEnglishInvalid;
  std::vector<Step> steps{Type(L"edit_path_msb", typed), Click(L"btn_install_msb"),
                          Expect(L"label_title", invalid, invalid), Expect(L"edit_path_msb", typed)};
  if (photograph) steps.push_back(Photograph(photograph));
  steps.push_back(Click(L"btn_close_msb"));
  return steps;
}

std::vector<DialogCase> Cases() {
  const std::wstring englishLine = L"C: Drive " + kEnglishTitle;
  const std::wstring arabicLine = L"C: Drive " + kArabicTitle;
  const std::wstring longPath = L"C:\\" + std::wstring(297, L'a');  // 300 characters
  return {
      {"EnglishTextsCutLineAndItsTooltip", L"disk", L"English", kInstallPath, {},
       {Expect(L"btn_install_msb", L"Install"), Expect(L"btn_browse_msb", L"Browse"),
        Expect(L"label_title", Cut(englishLine), englishLine), Expect(L"edit_path_msb", L"Z:\\"),
        Hover(L"label_title", englishLine), Photograph(L"WinMessageBox-English"), Click(L"btn_close_msb")},
       0, kInstallPath},
      {"ArabicTextsCutLineAndItsTooltip", L"disk", L"Arabic", kInstallPath, {},
       {Expect(L"btn_install_msb", L"تثبيت"), Expect(L"btn_browse_msb", L"استعراض"),
        Expect(L"label_title", Cut(arabicLine), arabicLine), Expect(L"edit_path_msb", L"Z:\\"),
        Hover(L"label_title", arabicLine), Photograph(L"WinMessageBox-Arabic"), Key(L"Escape")},
       0, kInstallPath},
      {"PathOnZProposesC", L"disk", L"English", L"Z:\\tmp\\", {},
       {Expect(L"label_title", Cut(L"Z: Drive " + kEnglishTitle)), Expect(L"edit_path_msb", L"C:\\"), Key(L"alt+F4")},
       0, L"Z:\\tmp\\"},
      {"SmallDriveIsProposedThenRefusedForRoom", L"disk", L"English", kInstallPath, {{L'M', L"tmpfs 1024"}},
       {Expect(L"edit_path_msb", L"M:\\"), Click(L"btn_install_msb"),
        Expect(L"label_title", Cut(L"M: Drive " + kEnglishTitle), L"M: Drive " + kEnglishTitle),
        Expect(L"edit_path_msb", L"C:\\"), Photograph(L"WinMessageBox-English-small-drive"), Key(L"Escape")},
       0, kInstallPath, {"get disk size begin"}},
      {"TypedPathWithRoomIsAcceptedWithItsSeparator", L"disk", L"English", kInstallPath, {},
       {Type(L"edit_path_msb", L"C:\\Vandrel Test"), Click(L"btn_install_msb")}, 1, L"C:\\Vandrel Test\\",
       {"installation path accepted: C:\\Vandrel Test\\"}},
      {"PathOf300CharactersIsRefused", L"disk", L"English", kInstallPath, {}, Refused(L"English", longPath), 0,
       kInstallPath, {"install path refused", "longer than 259 characters"}},
      {"UnmappedDriveIsRefused", L"disk", L"English", kInstallPath, {},
       Refused(L"English", L"Q:\\x", L"WinMessageBox-English-refused"), 0, kInstallPath,
       {"install path refused", "its drive or parent folder does not exist", "Q:\\x\\"}},
      {"UnmappedDriveIsRefusedInArabic", L"disk", L"Arabic", kInstallPath, {},
       Refused(L"Arabic", L"Q:\\x", L"WinMessageBox-Arabic-refused"), 0, kInstallPath},
      {"ReadOnlyDriveIsRefused", L"disk", L"English", kInstallPath, {{L'R', L"readonly"}},
       Refused(L"English", L"R:\\folder\\new"), 0, kInstallPath,
       {"install path refused", "refuses new files", "R:\\folder\\new\\"}},
      {"BrowseCancelledChangesNothing", L"disk", L"English", kInstallPath, {},
       {Click(L"btn_browse_msb"), Choose(L"-"), Expect(L"edit_path_msb", L"Z:\\"), Click(L"btn_close_msb")}, 0,
       kInstallPath},
      {"BrowsePickedFolderIsInstalledTo", L"disk", L"English", kInstallPath, {},
       {Click(L"btn_browse_msb"), Choose(L"C:\\windows"), Expect(L"edit_path_msb", L"C:\\windows\\"),
        Click(L"btn_install_msb")},
       1, L"C:\\windows\\"},
      {"StopYes", L"stop", L"English", L"", {},
       {Expect(L"stop_lab_context", L"Are you sure you want to stop the installation?"), Expect(L"btn_stop_ok", L"Yes"),
        Expect(L"btn_stop_no", L"No"), Photograph(L"WinStopInstallBox-English"), Click(L"btn_stop_ok")},
       1, L""},
      {"StopNo", L"stop", L"English", L"", {}, {Click(L"btn_stop_no")}, 0, L""},
      {"StopEscape", L"stop", L"English", L"", {}, {Key(L"Escape")}, 0, L""},
      {"StopSystemClose", L"stop", L"English", L"", {}, {Key(L"alt+F4")}, 0, L""},
      {"StopYesInArabic", L"stop", L"Arabic", L"", {},
       {Expect(L"stop_lab_context", L"هل تريد بالتأكيد إيقاف التثبيت؟"), Expect(L"btn_stop_ok", L"نعم"),
        Expect(L"btn_stop_no", L"لا"), Photograph(L"WinStopInstallBox-Arabic"), Click(L"btn_stop_ok")},
       1, L""},
  };
}

void PrintTo(const DialogCase& c, std::ostream* out) { *out << c.name; }

class SetupDialogTest : public ::testing::TestWithParam<DialogCase> {};

POINT Middle(const RECT& dialog, const RECT& control) {
  return POINT{dialog.left + (control.left + control.right) / 2, dialog.top + (control.top + control.bottom) / 2};
}

std::wstring MoveTo(POINT at) { return L"mousemove " + std::to_wstring(at.x) + L" " + std::to_wstring(at.y) + L" "; }

TEST_P(SetupDialogTest, AsAUserDrivesIt) {
  const DialogCase& c = GetParam();
  const bool disk = std::wstring(c.dialog) == L"disk";
  const std::wstring skin = disk ? L"WinMessageBox" : L"WinStopInstallBox";
  const std::map<std::wstring, RECT> rects = PreviewRects(skin, c.language);
  ASSERT_FALSE(rects.empty());
  std::vector<std::unique_ptr<MappedDrive>> drives;
  for (const DriveSetUp& drive : c.drives) {
    drives.push_back(std::make_unique<MappedDrive>(drive.letter, drive.how));
    ASSERT_TRUE(drives.back()->ok());
  }

  HostRun host(std::wstring(c.dialog) + L" " + c.language + (disk ? L" " + Quoted(c.path) + L" 1" : L""));
  ASSERT_TRUE(host.started());
  const auto shown = host.WaitForKind(L"shown", 30000);
  ASSERT_TRUE(shown) << encoding::WideToUtf8(host.Transcript());
  const auto f = SplitTabs(*shown);
  const RECT dialog{std::stoi(f[1]), std::stoi(f[2]), std::stoi(f[3]), std::stoi(f[4])};
  HWND window = FindWindowW(skin.c_str(), nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(host.WaitFor([](const auto& l) { return l[0] == L"owner" && l[1] == L"enabled=0"; }, 5000))
      << "the owner stays enabled while the dialog runs";
  // The dialog lays its controls out where the preview of its language's skin does.
  for (const auto& [name, r] : rects) {
    const auto live = host.WaitFor([&](const auto& l) { return l[0] == L"rect" && l[1] == name; }, 1000);
    ASSERT_TRUE(live) << encoding::WideToUtf8(name);
    EXPECT_EQ(*live, L"rect\t" + name + L"\t" + std::to_wstring(r.left) + L"\t" + std::to_wstring(r.top) + L"\t" +
                         std::to_wstring(r.right) + L"\t" + std::to_wstring(r.bottom));
  }

  if (std::wstring(c.language) == L"Arabic") {
    // Right to left, the dialog is its left-to-right layout mirrored.
    const std::map<std::wstring, RECT> english = PreviewRects(skin, L"English");
    const LONG width = english.at(L"root").right;
    for (const auto& [name, r] : english) {
      SCOPED_TRACE(encoding::WideToUtf8(name));
      ASSERT_EQ(rects.count(name), 1u);
      EXPECT_NEAR(rects.at(name).left, width - r.right, 2);
      EXPECT_NEAR(rects.at(name).right, width - r.left, 2);
      EXPECT_EQ(rects.at(name).top, r.top);
    }
  }

  const auto at = [&](const std::wstring& control) {
    const auto found = rects.find(control);
    EXPECT_NE(found, rects.end()) << encoding::WideToUtf8(control);
    return found == rects.end() ? POINT{dialog.left, dialog.top} : Middle(dialog, found->second);
  };
  for (const Step& step : c.steps) {
    SCOPED_TRACE(encoding::WideToUtf8(step.control + L" " + step.text));
    switch (step.act) {
      case Act::kClick:
        ASSERT_TRUE(Xdotool(MoveTo(at(step.control)) + L"click 1"));
        break;
      case Act::kType: {
        // The click opens the native field over the control; keys go to it once it has the focus.
        const std::size_t mark = host.Mark();
        ASSERT_TRUE(Xdotool(MoveTo(at(step.control)) + L"click 1"));
        ASSERT_TRUE(host.WaitFor([](const auto& l) { return l[0] == L"keyboard" && l[1] == L"EditWnd"; }, 5000, mark))
            << encoding::WideToUtf8(host.Transcript());
        ASSERT_TRUE(Xdotool(L"key End sleep 0.2 key shift+Home sleep 0.2 key BackSpace"));
        ASSERT_TRUE(host.WaitForText(step.control, L"", std::nullopt, 5000)) << encoding::WideToUtf8(host.Transcript());
        ASSERT_TRUE(Xdotool(L"type --delay 15 " + Quoted(step.text)));
        ASSERT_TRUE(host.WaitForText(step.control, step.text, std::nullopt, 20000))
            << encoding::WideToUtf8(host.Transcript());
        break;
      }
      case Act::kKey:
        ASSERT_TRUE(Xdotool(MoveTo(at(L"root")) + L"sleep 0.2 key " + step.text));
        break;
      case Act::kHover: {
        const POINT p = at(step.control);
        ASSERT_TRUE(Xdotool(MoveTo(POINT{p.x - 2, p.y - 1}) + MoveTo(p)));
        EXPECT_TRUE(host.WaitFor([&](const auto& l) { return l[0] == L"tooltip" && l[1] == step.text; }, 10000))
            << encoding::WideToUtf8(host.Transcript());
        break;
      }
      case Act::kChoose: {
        const std::size_t mark = host.Mark();
        DWORD code = 0;
        const std::string out = realinput::RunAndRead(
            Quoted(testsupport::BuildBinFolder() + L"harness_tool.exe") + L" choose-folder " + Quoted(step.text) +
                L" 20",
            code, 30000);
        ASSERT_EQ(code, 0u) << out;
        // The chooser is gone once the dialog has the keyboard again.
        ASSERT_TRUE(host.WaitFor([&](const auto& l) { return l[0] == L"keyboard" && l[1] == skin; }, 10000, mark))
            << encoding::WideToUtf8(host.Transcript());
        break;
      }
      case Act::kExpect:
        EXPECT_TRUE(host.WaitForText(step.control, step.text, step.tooltip, 10000))
            << encoding::WideToUtf8(host.Transcript());
        break;
      case Act::kPhotograph: {
        const std::wstring folder = testsupport::BuildBinFolder() + L"..\\dialogs\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        realinput::PumpUntil([] { return false; }, 300);  // let the last change paint
        EXPECT_TRUE(realinput::PhotographWindow(window, folder + step.text + L".png"));
        break;
      }
    }
  }

  const auto result = host.WaitForKind(L"result", 20000);
  ASSERT_TRUE(result) << encoding::WideToUtf8(host.Transcript());
  EXPECT_EQ(*result, L"result\t" + std::to_wstring(c.result));
  if (disk) {
    EXPECT_EQ(host.WaitForKind(L"buffer", 5000).value_or(L""), L"buffer\t" + c.buffer);
  }
  EXPECT_EQ(host.WaitFor([](const auto& l) { return l[0] == L"owner" && l.size() == 3; }, 5000).value_or(L""),
            L"owner\tenabled=1\tfocused=1");
  if (!c.logged.empty()) {
    const auto log = host.WaitForKind(L"log", 0);
    ASSERT_TRUE(log);
    std::ifstream in(std::filesystem::path(SplitTabs(*log)[1]));
    bool found = false;
    for (std::string line; !found && std::getline(in, line);) {
      found = true;
      for (const std::string& part : c.logged) found = found && line.find(part) != std::string::npos;
    }
    EXPECT_TRUE(found) << "the log has no line with " << testing::PrintToString(c.logged);
  }
}

INSTANTIATE_TEST_SUITE_P(Dialogs, SetupDialogTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<DialogCase>& info) { return info.param.name; });

}  // namespace
