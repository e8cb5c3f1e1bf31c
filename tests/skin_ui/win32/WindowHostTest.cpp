// The window host under real input: keys and clicks come from xdotool on the test display and
// reach the windows through the system's queue, the toolkit's message translation and the
// modal loop. The tests only read windows; every modal run has a watchdog.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "skin_ui/WindowManagerUI.h"
#include "tests/skin_ui/win32/RealInput.h"
#include "tests/skin_ui/win32/SkinTestWindow.h"

namespace {

using namespace SkinUI;
using realinput::PumpUntil;
using skintest::SkinTestWindow;
using Names = std::vector<std::wstring>;

constexpr wchar_t kRowSkin[] =
    L"<Window size=\"300,120\"><HorizontalLayout>"
    L"<Probe name=\"one\"/><Probe name=\"two\"/><Probe name=\"three\"/>"
    L"</HorizontalLayout></Window>";

RECT WindowRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

// Runs `step` from the running message loop every 50 ms until it returns true. Steps may start
// nested loops with steps of their own.
class LoopStep {
 public:
  explicit LoopStep(std::function<bool()> step) {
    timer_ = SetTimer(nullptr, 0, 50, Run);
    Steps()[timer_] = std::move(step);
  }
  ~LoopStep() {
    KillTimer(nullptr, timer_);
    Steps().erase(timer_);
  }

 private:
  static void CALLBACK Run(HWND, UINT, UINT_PTR timer, DWORD) {
    auto it = Steps().find(timer);
    if (it == Steps().end() || !it->second) return;
    std::function<bool()> step = it->second;  // the step may run a nested loop: keep it alive
    if (step()) {
      auto done = Steps().find(timer);
      if (done != Steps().end()) done->second = nullptr;
    }
  }
  static std::map<UINT_PTR, std::function<bool()>>& Steps() {
    static std::map<UINT_PTR, std::function<bool()>> steps;
    return steps;
  }
  UINT_PTR timer_;
};

class WindowHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner_, nullptr);
  }
  void TearDown() override {
    DestroyWindow(owner_);
    CWindowManagerUI::ResetSharedResources();
  }
  // Creates the window without an owner at (300, 300), shows it and waits until it is in front.
  static void ShowInFront(SkinTestWindow& window) {
    ASSERT_NE(window.CreateAt(nullptr, 300, 300), nullptr);
    window.Show();
    ASSERT_TRUE(realinput::WaitForeground(window.Hwnd(), 5000));
  }
  // A modal run answered with `answer` once the window is in front.
  intptr_t RunModal(const std::function<void(SkinTestWindow&)>& answer) {
    SkinTestWindow window(kRowSkin);
    EXPECT_NE(window.CreateAt(owner_, 300, 300), nullptr);
    LoopStep step([&window, &answer] {
      if (GetForegroundWindow() != window.Hwnd()) return false;
      answer(window);
      return true;
    });
    realinput::Watchdog watchdog("a modal run", 20);
    return window.ShowModal();
  }
  HWND owner_ = nullptr;
};

TEST_F(WindowHostTest, TabAndShiftTabMoveTheFocusAroundTheWindow) {
  SkinTestWindow window(kRowSkin);
  ASSERT_NO_FATAL_FAILURE(ShowInFront(window));
  // The first paint lays the window out and gives the focus to its first control.
  ASSERT_TRUE(PumpUntil([&] { return window.Seen(L"setfocus").size() == 1; }, 5000));
  ASSERT_TRUE(realinput::XdotoolLater(realinput::PointerOver(window.Hwnd()) +
                                      L"key --delay 100 Tab Tab Tab shift+Tab shift+Tab"));
  PumpUntil([&] { return window.Seen(L"setfocus").size() == 6; }, 10000);
  EXPECT_EQ(window.Seen(L"setfocus"), (Names{L"setfocus:one", L"setfocus:two", L"setfocus:three", L"setfocus:one",
                                             L"setfocus:three", L"setfocus:two"}));
  DestroyWindow(window.Hwnd());
}

TEST_F(WindowHostTest, ModalResultsOfEscapeAltF4AndClose) {
  auto press = [](const wchar_t* key) {
    return [key](SkinTestWindow& window) { realinput::XdotoolLater(realinput::PointerOver(window.Hwnd()) + key); };
  };
  EXPECT_EQ(RunModal(press(L"key Escape")), 1);
  EXPECT_TRUE(IsWindowEnabled(owner_));
  EXPECT_EQ(RunModal(press(L"key alt+F4")), 0);
  EXPECT_TRUE(IsWindowEnabled(owner_));
  bool ownerDisabledWhileRunning = false;
  EXPECT_EQ(RunModal([&](SkinTestWindow& window) {
              ownerDisabledWhileRunning = !IsWindowEnabled(owner_);
              window.Close(2);
            }),
            2);
  EXPECT_TRUE(ownerDisabledWhileRunning);
  EXPECT_TRUE(IsWindowEnabled(owner_));
}

TEST_F(WindowHostTest, AQuitMessageInANestedModalLoopEndsBothAndStaysQueued) {
  SkinTestWindow outer(kRowSkin);
  SkinTestWindow inner(kRowSkin);
  ASSERT_NE(outer.CreateAt(owner_, 300, 300), nullptr);
  // The pointer rests where the inner window is going to cover the outer one, so the outer
  // window loses the mouse while the inner loop runs: its leave must not keep the queue busy.
  const int x = 420, y = 400;
  bool pointed = false, innerStarted = false;
  intptr_t innerResult = -1;
  LoopStep step([&] {
    if (innerStarted || !IsWindowVisible(outer.Hwnd())) return false;
    if (!outer.GetManager().GetHover()) {
      if (!pointed)
        pointed = realinput::XdotoolLater(L"mousemove " + std::to_wstring(x) + L" " + std::to_wstring(y) +
                                          L" mousemove " + std::to_wstring(x + 2) + L" " + std::to_wstring(y + 2));
      return false;
    }
    innerStarted = true;
    inner.CreateAt(outer.Hwnd(), 350, 350);
    LoopStep quit([&] {
      if (!IsWindowVisible(inner.Hwnd()) || outer.GetManager().GetHover()) return false;
      PostQuitMessage(5);
      return true;
    });
    innerResult = inner.ShowModal();
    return true;
  });
  realinput::Watchdog watchdog("nested modal runs", 20);
  EXPECT_EQ(outer.ShowModal(), 0);
  EXPECT_TRUE(innerStarted);
  EXPECT_EQ(innerResult, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 5u);
  DestroyWindow(inner.Hwnd());
  DestroyWindow(outer.Hwnd());
}

BOOL CALLBACK FindVisibleTooltip(HWND window, LPARAM data) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (_wcsicmp(name, L"tooltips_class32") != 0 || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(data) = window;
  return FALSE;
}

// The visible tooltip window of this thread, or null.
HWND VisibleTooltip() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindVisibleTooltip, reinterpret_cast<LPARAM>(&found));
  return found;
}

TEST_F(WindowHostTest, ATooltipWithALineBreakShowsTwoLines) {
  SkinTestWindow window(
      L"<Window size=\"300,120\"><HorizontalLayout>"
      L"<Control name=\"single\" tooltip=\"Install the product\"/>"
      L"<Control name=\"double\" tooltip=\"Install the product&lt;n&gt;into this folder\"/>"
      L"</HorizontalLayout></Window>");
  ASSERT_NO_FATAL_FAILURE(ShowInFront(window));
  const RECT r = WindowRect(window.Hwnd());
  // The tooltip shown once the pointer rests at (x, y): its height and where its text area
  // begins (its border lies outside that).
  struct Shown {
    int height = 0;
    POINT textOrigin{};
  };
  auto tooltipAt = [&](int x, int y) {
    // One xdotool run: the two moves come together, so the hover can only follow the second.
    realinput::Xdotool(L"mousemove " + std::to_wstring(x - 2) + L" " + std::to_wstring(y - 1) + L" mousemove " +
                       std::to_wstring(x) + L" " + std::to_wstring(y));
    HWND tip = nullptr;
    PumpUntil([&] { return (tip = VisibleTooltip()) != nullptr; }, 5000);
    Shown shown;
    if (!tip) return shown;
    const RECT t = WindowRect(tip);
    shown.height = t.bottom - t.top;
    ClientToScreen(tip, &shown.textOrigin);
    return shown;
  };
  const int y = r.top + 61;
  const Shown single = tooltipAt(r.left + 77, y);
  ASSERT_GT(single.height, 0);
  // Below the pointer, clear of its shape.
  EXPECT_EQ(single.textOrigin.x, r.left + 77);
  EXPECT_EQ(single.textOrigin.y, y + 20);
  realinput::Xdotool(L"mousemove 5 5");  // off the window: the tooltip goes
  PumpUntil([] { return VisibleTooltip() == nullptr; }, 5000);
  const Shown twoLines = tooltipAt(r.left + 227, y);
  EXPECT_GT(twoLines.height, single.height * 3 / 2) << "one line " << single.height << ", two lines "
                                                    << twoLines.height;
  EXPECT_EQ(twoLines.textOrigin.x, r.left + 227);
  EXPECT_EQ(twoLines.textOrigin.y, y + 20);
  DestroyWindow(window.Hwnd());
}

TEST_F(WindowHostTest, DraggingTheCaptionMovesTheWindowWhileAButtonInTheBandStillClicks) {
  SkinTestWindow window(
      L"<Window size=\"300,200\" caption=\"0,0,0,60\"><VerticalLayout>"
      L"<HorizontalLayout height=\"60\"><Control/><Clicker name=\"band\" width=\"60\"/></HorizontalLayout>"
      L"<Control/></VerticalLayout></Window>");
  ASSERT_NO_FATAL_FAILURE(ShowInFront(window));
  PumpUntil([&] { return !window.Seen(L"windowinit").empty(); }, 5000);
  const RECT before = WindowRect(window.Hwnd());
  const std::wstring from = std::to_wstring(before.left + 40) + L" " + std::to_wstring(before.top + 30);
  const std::wstring to = std::to_wstring(before.left + 90) + L" " + std::to_wstring(before.top + 70);
  ASSERT_TRUE(realinput::XdotoolLater(L"mousemove " + from + L" mousedown 1 sleep 0.3 mousemove " + to +
                                      L" sleep 0.3 mouseup 1"));
  PumpUntil([&] { return WindowRect(window.Hwnd()).left == before.left + 50; }, 5000);
  PumpUntil([] { return false; }, 300);
  const RECT after = WindowRect(window.Hwnd());
  EXPECT_EQ(after.left, before.left + 50);
  EXPECT_EQ(after.top, before.top + 40);

  ASSERT_TRUE(realinput::XdotoolLater(L"mousemove " + std::to_wstring(after.right - 30) + L" " +
                                      std::to_wstring(after.top + 30) + L" click 1"));
  PumpUntil([&] { return !window.Seen(L"click").empty(); }, 5000);
  EXPECT_EQ(window.Seen(L"click"), (Names{L"click:band"}));
  EXPECT_EQ(WindowRect(window.Hwnd()).left, after.left);
  DestroyWindow(window.Hwnd());
}

std::wstring BesideThisProgram(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1) + name;
}

TEST_F(WindowHostTest, AMissingSkinShowsTheMessageBoxAndEndsTheProcessWith1) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION child{};
  std::wstring line = L"\"" + BesideThisProgram(L"skin_missing_skin.exe") + L"\"";
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
  struct EndChild {  // a failed test leaves no box behind for the next one
    HANDLE process;
    ~EndChild() {
      if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) TerminateProcess(process, 99);
    }
  } endChild{child.hProcess};
  // Read the box and click its button as the user would; a click that lands while the box is
  // still coming up is tried again.
  for (int attempt = 0; attempt < 3 && WaitForSingleObject(child.hProcess, 0) == WAIT_TIMEOUT; ++attempt) {
    DWORD code = 0;
    const std::string box = realinput::RunAndRead(
        L"\"" + BesideThisProgram(L"harness_tool.exe") + L"\" message-box SkinUI 20", code, 30000);
    ASSERT_EQ(code, 0u) << box;
    EXPECT_NE(box.find("text: \xe5\x8a\xa0\xe8\xbd\xbd\xe8\xb5\x84\xe6\xba\x90\xe6\x96\x87\xe4\xbb\xb6\xe5\xa4\xb1\xe8\xb4\xa5"),
              std::string::npos)
        << box;
    int id = 0, left = 0, top = 0, right = 0, bottom = 0;
    const size_t at = box.find("button ");
    ASSERT_NE(at, std::string::npos) << box;
    ASSERT_EQ(sscanf(box.c_str() + at, "button %d %d %d %d %d", &id, &left, &top, &right, &bottom), 5);
    EXPECT_EQ(id, IDOK);
    ASSERT_TRUE(realinput::ClickAt((left + right) / 2, (top + bottom) / 2));
    WaitForSingleObject(child.hProcess, 5000);
  }
  ASSERT_EQ(WaitForSingleObject(child.hProcess, 0), WAIT_OBJECT_0) << "the box did not take the click";
  DWORD exitCode = 0;
  GetExitCodeProcess(child.hProcess, &exitCode);
  EXPECT_EQ(exitCode, 1u);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
}

}  // namespace
