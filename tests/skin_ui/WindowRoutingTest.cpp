// The window manager's message routing against stand-in windows: mouse enter, leave, hover and
// capture; keys, Tab and shortcuts; control timers; painting; reflected and other messages.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin_ui/ContainerUI.h"
#include "skin_ui/ControlUI.h"
#include "skin_ui/NativeWindowOps.h"
#include "skin_ui/UIMessages.h"
#include "skin_ui/WindowManagerUI.h"
#include "skin_ui/posix/StandInWindow.h"
#include "tests/skin_ui/SkinTestSupport.h"

namespace {

using namespace SkinUI;
using native::StandInWindow;
using native::System;
using skintest::RecordingNotifier;

std::wstring EventName(int type) {
  switch (type) {
    case kEventMouseEnter: return L"enter";
    case kEventMouseLeave: return L"leave";
    case kEventMouseMove: return L"move";
    case kEventMouseHover: return L"hover";
    case kEventButtonDown: return L"down";
    case kEventButtonUp: return L"up";
    case kEventDblClick: return L"dblclick";
    case kEventRButtonDown: return L"rdown";
    case kEventContextMenu: return L"menu";
    case kEventScrollWheel: return L"wheel";
    case kEventKeyDown: return L"keydown";
    case kEventKeyUp: return L"keyup";
    case kEventChar: return L"char";
    case kEventSysKey: return L"syskey";
    case kEventSetFocus: return L"setfocus";
    case kEventKillFocus: return L"killfocus";
    case kEventWindowSize: return L"size";
    case kEventSetCursor: return L"cursor";
    case kEventTimer: return L"timer";
    default: return std::to_wstring(type);
  }
}

// A control that logs the events it gets, clicks like a button (press and release inside it),
// and paints its colour over its rectangle.
class ProbeUI : public CControlUI {
 public:
  ProbeUI(std::vector<std::wstring>* log, const wchar_t* name, uint32_t traits = 0, UIColor color = 0)
      : log_(log), traits_(traits), color_(color) {
    SetName(name);
  }
  uint32_t GetControlTraits() const override { return traits_; }
  bool Activate() override {
    log_->push_back(std::wstring(GetName()) + L":activate");
    return CControlUI::Activate();
  }
  void HandleEvent(UIEvent& event) override {
    std::wstring entry = std::wstring(GetName()) + L":" + EventName(event.type);
    if (event.type == kEventMouseMove || event.type == kEventButtonDown || event.type == kEventButtonUp)
      entry += L"@" + std::to_wstring(event.mouse.x) + L"," + std::to_wstring(event.mouse.y);
    if (event.type == kEventTimer || event.type == kEventScrollWheel || event.type == kEventKeyDown ||
        event.type == kEventChar)
      entry += L"(" + std::to_wstring(event.wParam) + L")";
    if (event.type != kEventMouseMove || logMoves) log_->push_back(entry);
    if (event.type == kEventButtonUp && GetPos().Contains(event.mouse)) SendNotify(kNotifyClick);
    CControlUI::HandleEvent(event);
  }
  bool PaintControl(NativeDC dc, const UIRect&, CControlUI*) override {
    if (color_) native::FillSolid(dc, GetPos(), color_);
    return true;
  }
  bool logMoves = true;

 private:
  std::vector<std::wstring>* log_;
  uint32_t traits_;
  UIColor color_;
};

class LabelProbeUI : public ProbeUI {
 public:
  using ProbeUI::ProbeUI;
  const wchar_t* GetClass() const override { return L"Label"; }
};

// A container that paints its colour, so the clips can be seen.
class PaintedBoxUI : public CContainerUI {
 public:
  explicit PaintedBoxUI(UIColor color) : color_(color) {}
  bool PaintControl(NativeDC dc, const UIRect& dirty, CControlUI* stop) override {
    native::FillSolid(dc, GetPos(), color_);
    return CContainerUI::PaintControl(dc, dirty, stop);
  }

 private:
  UIColor color_;
};

class WindowRoutingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    System() = native::StandInSystem{};
    manager_.Init(window_.Handle());
    manager_.AddNotifier(&notifier_);
  }
  void TearDown() override { CWindowManagerUI::ResetSharedResources(); }

  // Root: a horizontal row of three 60-pixel probes a, b, c in a 200 × 100 window.
  void BuildRow(uint32_t traits = kControlTraitTabStop) {
    auto* row = new CHorizontalLayoutUI;
    for (auto [probe, name] : {std::pair{&a_, L"a"}, std::pair{&b_, L"b"}, std::pair{&c_, L"c"}}) {
      *probe = new ProbeUI(&log_, name, traits);
      (*probe)->SetFixedWidth(60);
      row->Add(*probe);
    }
    manager_.AttachRoot(row);
    Paint();
    log_.clear();
    notifier_.seen.clear();
  }
  intptr_t Send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0, bool* handled = nullptr) {
    intptr_t result = -1;
    const bool was = manager_.FilterMessage(message, wParam, lParam, result);
    if (handled) *handled = was;
    return result;
  }
  void Mouse(uint32_t message, int x, int y, uintptr_t keys = 0) { Send(message, keys, LParamFromPoint({x, y})); }
  bool Key(uint32_t message, uintptr_t key) {
    intptr_t result = 0;
    return CWindowManagerUI::TranslateWindowMessage(UIMessage{window_.Handle(), message, key, 0}) ||
           (manager_.FilterMessage(message, key, 0, result), false);
  }
  void Paint() {
    window_.update = UIRect{0, 0, 200, 100};
    Send(kMsgPaint);
  }

  StandInWindow window_{UISize{200, 100}};
  CWindowManagerUI manager_;
  RecordingNotifier notifier_;
  std::vector<std::wstring> log_;
  ProbeUI* a_ = nullptr;
  ProbeUI* b_ = nullptr;
  ProbeUI* c_ = nullptr;
};

using Log = std::vector<std::wstring>;

TEST_F(WindowRoutingTest, EnterLeaveAndHoverFollowTheMouse) {
  BuildRow();
  manager_.AddMouseLeaveNeeded(c_);
  Mouse(kMsgMouseMove, 10, 10);
  EXPECT_TRUE(window_.tracking);
  Mouse(kMsgMouseMove, 20, 10);
  Mouse(kMsgMouseMove, 70, 10);
  Send(kMsgMouseHover, 0, LParamFromPoint({70, 10}));
  Mouse(kMsgMouseMove, 199, 10);  // right of the row's children: only the row is there
  // c asked to hear every change of the hovered control.
  EXPECT_EQ(log_, (Log{L"c:leave", L"a:enter", L"a:move@10,10", L"a:move@20,10", L"a:leave", L"c:leave", L"b:enter",
                       L"b:move@70,10", L"b:hover", L"b:leave", L"c:leave"}));
  EXPECT_EQ(manager_.GetHover(), manager_.GetRoot());

  // The native leave message: the cursor is gone, so is the hovered control.
  log_.clear();
  Mouse(kMsgMouseMove, 130, 10);
  System().cursor = UIPoint{500, 500};
  window_.tracking = false;  // the system's tracking ends with the leave it posts
  Send(kMsgMouseLeave);
  EXPECT_EQ(log_, (Log{L"c:leave", L"c:enter", L"c:move@130,10", L"c:leave"}));
  EXPECT_EQ(manager_.GetHover(), nullptr);
  EXPECT_EQ(manager_.GetMousePos(), (UIPoint{-1, -1}));
  // Tracking asked again with the cursor outside would bring the next leave at once, forever.
  EXPECT_FALSE(window_.tracking);
  EXPECT_TRUE(window_.posted.empty());

  // The next move over the window asks for tracking again.
  System().cursor = UIPoint{20, 10};
  Mouse(kMsgMouseMove, 20, 10);
  EXPECT_TRUE(window_.tracking);

  // A hover ends only the watch for rest: a leave straight after it still takes the hover away.
  log_.clear();
  Send(kMsgMouseHover, 0, LParamFromPoint({20, 10}));
  System().cursor = UIPoint{500, 500};
  Send(kMsgMouseLeave);
  EXPECT_EQ(log_, (Log{L"a:hover", L"a:leave", L"c:leave"}));
  EXPECT_EQ(manager_.GetHover(), nullptr);
}

TEST_F(WindowRoutingTest, ThePressedControlKeepsTheMouseUntilTheRelease) {
  BuildRow();
  b_->logMoves = false;
  Mouse(kMsgLButtonDown, 10, 10, kKeyStateLButton);
  EXPECT_TRUE(manager_.IsCaptured());
  EXPECT_EQ(System().capture, window_.Handle());
  EXPECT_EQ(manager_.GetFocus(), a_);
  Mouse(kMsgMouseMove, 70, 10);  // over b, but a holds the mouse: no enter, no leave
  Mouse(kMsgLButtonUp, 70, 10);
  EXPECT_EQ(log_, (Log{L"a:setfocus", L"a:down@10,10", L"a:move@70,10", L"a:up@70,10"}));
  EXPECT_FALSE(manager_.IsCaptured());
  EXPECT_EQ(System().capture, nullptr);
  EXPECT_EQ(notifier_.Types(), (std::vector<std::wstring>{L"setfocus"}));  // released outside: no click

  notifier_.seen.clear();
  Mouse(kMsgLButtonDown, 70, 10);
  Mouse(kMsgLButtonUp, 75, 12);
  EXPECT_EQ(notifier_.Types(), (std::vector<std::wstring>{L"killfocus", L"setfocus", L"click"}));
  EXPECT_EQ(notifier_.seen.back().sender, b_);
}

TEST_F(WindowRoutingTest, RightClickContextMenuAndWheel) {
  BuildRow();
  System().origins[window_.Handle()] = UIPoint{1000, 500};
  a_->logMoves = b_->logMoves = false;
  Mouse(kMsgRButtonDown, 10, 10);
  Send(kMsgContextMenu, 0, LParamFromPoint({1070, 510}));  // screen coordinates
  EXPECT_EQ(manager_.GetMousePos(), (UIPoint{70, 10}));
  // The wheel turned towards the user over b, then the move re-sent at the same point.
  Send(kMsgMouseWheel, static_cast<uintptr_t>(static_cast<uint16_t>(-120)) << 16, LParamFromPoint({1070, 510}));
  EXPECT_EQ(log_, (Log{L"a:setfocus", L"a:rdown", L"a:menu", L"b:wheel(1)", L"b:enter"}));
  EXPECT_EQ(manager_.GetClick(), nullptr);
}

TEST_F(WindowRoutingTest, HoverShowsTheTooltipWithMultiLanguageStrings) {
  BuildRow();
  CWindowManagerUI::SetMultiLanguageString(7, L"Seven");
  b_->SetAttribute(L"tooltip", L"%{7} and<n>%{8}%{x}");
  b_->SetToolTipWidth(120);
  Mouse(kMsgMouseMove, 70, 10);
  EXPECT_EQ(window_.hoverMs, 1000u);  // no tooltip yet: the manager's hover time
  Send(kMsgMouseHover, 0, LParamFromPoint({70, 10}));
  auto* tooltip = static_cast<StandInWindow*>(manager_.GetTooltipWindow());
  ASSERT_NE(tooltip, nullptr);
  EXPECT_TRUE(tooltip->tooltip.shown);
  EXPECT_EQ(tooltip->tooltip.text, L"Seven and\r\n%{x}");  // an unknown number gives nothing
  EXPECT_EQ(tooltip->tooltip.rect, b_->GetPos());
  EXPECT_EQ(tooltip->tooltip.maxWidth, 120);
  // The next hover period waits as long as the tooltip does.
  Mouse(kMsgMouseMove, 71, 10);
  EXPECT_EQ(window_.hoverMs, System().tooltipDelay);
  Mouse(kMsgMouseMove, 10, 10);  // another control: the tooltip goes
  EXPECT_FALSE(tooltip->tooltip.shown);
}

TEST_F(WindowRoutingTest, KeysGoToTheFocusedControlAndTheKeyUpToTheOneThatGotTheKeyDown) {
  BuildRow();
  a_->SetFocus();
  log_.clear();
  Key(kMsgKeyDown, 'Q');
  b_->SetFocus();
  Key(kMsgKeyUp, 'Q');
  Key(kMsgChar, 'q');
  Key(kMsgSysKeyDown, 'Z');
  EXPECT_EQ(log_, (Log{L"a:keydown(81)", L"a:killfocus", L"b:setfocus", L"a:keyup", L"b:char(113)", L"b:syskey"}));
}

TEST_F(WindowRoutingTest, TabAndShiftTabWrapAndStartAtTheFirstControl) {
  BuildRow();
  manager_.SetFocus(nullptr);
  EXPECT_TRUE(Key(kMsgKeyDown, kKeyTab));  // consumed before translation
  EXPECT_EQ(manager_.GetFocus(), a_);
  Key(kMsgKeyDown, kKeyTab);
  Key(kMsgKeyDown, kKeyTab);
  EXPECT_EQ(manager_.GetFocus(), c_);
  Key(kMsgKeyDown, kKeyTab);
  EXPECT_EQ(manager_.GetFocus(), a_);
  System().keys[kKeyShift] = true;
  Key(kMsgKeyDown, kKeyTab);
  EXPECT_EQ(manager_.GetFocus(), c_);
  manager_.SetFocus(nullptr);
  Key(kMsgKeyDown, kKeyTab);
  EXPECT_EQ(manager_.GetFocus(), a_);
  // A control that takes Tab as typing keeps it.
  class TypingUI : public CControlUI {
    uint32_t GetControlTraits() const override { return kControlTraitTabStop | kControlTraitWantsTab; }
  };
  auto* typing = new TypingUI;
  static_cast<CContainerUI*>(manager_.GetRoot())->Add(typing);
  typing->SetFocus();
  EXPECT_FALSE(Key(kMsgKeyDown, kKeyTab));
  EXPECT_EQ(manager_.GetFocus(), typing);
}

TEST_F(WindowRoutingTest, AltShortcutActivatesTheControlAndSkipsLabels) {
  auto* row = new CHorizontalLayoutUI;
  auto* label = new LabelProbeUI(&log_, L"label", 0);
  auto* button = new ProbeUI(&log_, L"button", kControlTraitTabStop);
  auto* hidden = new ProbeUI(&log_, L"hidden", kControlTraitTabStop);
  label->SetShortcut(L'i');
  button->SetShortcut(L'I');
  hidden->SetShortcut(L'i');
  hidden->SetVisible(false);
  row->Add(button);
  row->Add(label);  // tried first: the search goes from the last child
  row->Add(hidden);
  manager_.AttachRoot(row);
  Paint();
  log_.clear();
  EXPECT_TRUE(Key(kMsgSysChar, L'i'));
  EXPECT_EQ(manager_.GetFocus(), button);
  EXPECT_EQ(log_, (Log{L"button:setfocus", L"button:activate"}));
  EXPECT_FALSE(Key(kMsgSysChar, L'x'));
}

TEST_F(WindowRoutingTest, ControlTimersTakeNativeIdsFrom17) {
  BuildRow();
  EXPECT_TRUE(manager_.SetTimer(a_, 1, 100));
  EXPECT_TRUE(manager_.SetTimer(b_, 1, 200));
  EXPECT_EQ(window_.timers, (std::map<uintptr_t, uint32_t>{{17, 100}, {18, 200}}));
  EXPECT_FALSE(manager_.SetTimer(a_, 1, 100));  // runs already
  EXPECT_TRUE(manager_.KillTimer(a_, 1));
  EXPECT_EQ(window_.timers.count(17), 0u);
  Send(kMsgTimer, 17, 5);  // killed: nobody gets it
  EXPECT_TRUE(manager_.SetTimer(a_, 1, 300));  // the same native id again
  EXPECT_EQ(window_.timers[17], 300u);
  EXPECT_TRUE(manager_.SetTimer(a_, 2, 50));
  EXPECT_EQ(window_.timers.count(19), 1u);
  bool handled = false;
  Send(kMsgTimer, 18, 9, &handled);
  EXPECT_TRUE(handled);
  Send(kMsgTimer, 17, 5);
  EXPECT_EQ(log_, (Log{L"b:timer(1)", L"a:timer(1)"}));
  ASSERT_EQ(notifier_.Types(), (std::vector<std::wstring>{L"timer", L"timer"}));
  EXPECT_EQ(notifier_.seen[0].lParam, 9u);
  // A removed control's timers stop with it.
  static_cast<CContainerUI*>(manager_.GetRoot())->SetDelayedDestroy(false);
  static_cast<CContainerUI*>(manager_.GetRoot())->Remove(a_);
  EXPECT_EQ(window_.timers, (std::map<uintptr_t, uint32_t>{{18, 200}}));
}

TEST_F(WindowRoutingTest, AWindowWithoutRootPaintsBlackAndValidates) {
  window_.surface.pixels.assign(window_.surface.pixels.size(), 0xFF00FF00);
  manager_.Invalidate(UIRect{10, 10, 50, 40});
  bool handled = false;
  Send(kMsgPaint, 0, 0, &handled);
  EXPECT_TRUE(handled);
  EXPECT_EQ(window_.surface.At(10, 10), 0xFF000000u);
  EXPECT_EQ(window_.surface.At(49, 39), 0xFF000000u);
  EXPECT_EQ(window_.surface.At(50, 40), 0xFF00FF00u);  // outside the dirty area
  UIRect update;
  EXPECT_FALSE(native::GetUpdateRect(window_.Handle(), update));  // no second paint waits
  EXPECT_EQ(Send(kMsgEraseBackground, 0, 0, &handled), 1);
  EXPECT_TRUE(handled);
}

TEST_F(WindowRoutingTest, PaintClipsChildrenToTheClientAreaExceptFloatOnes) {
  constexpr UIColor kBox = 0xFF0000FF, kChild = 0xFF00FF00, kFloat = 0xFFFF0000, kAfter = 0xFFFFFF00;
  auto* box = new PaintedBoxUI(kBox);
  box->SetInset(UIRect{10, 10, 10, 10});
  auto* child = new ProbeUI(&log_, L"child", 0, kChild);
  auto* floating = new ProbeUI(&log_, L"float", 0, kFloat);
  floating->SetFloat(true);
  floating->SetAttribute(L"pos", L"0,0,20,20");  // over the inset
  box->Add(child);
  box->Add(floating);
  manager_.AttachRoot(box);
  manager_.SetWindowAttribute(L"showdirty", L"TRUE");
  RecordingNotifier init;
  manager_.AddNotifier(&init);
  Paint();
  const native::StandInSurface& s = window_.surface;
  EXPECT_EQ(s.At(0, 0), 0xFFDC0000u);   // the dirty rectangle outlined in red
  EXPECT_EQ(s.At(5, 5), kFloat);        // the float child draws over the inset
  EXPECT_EQ(s.At(25, 50), kChild);      // the child fills the client area only
  EXPECT_EQ(s.At(5, 50), kBox);
  EXPECT_EQ(s.At(195, 95), kBox);
  EXPECT_EQ(init.Types(), (std::vector<std::wstring>{L"windowinit"}));

  // Painting stops at the stop control; what came before it is painted.
  native::StandInSurface target;
  target.Resize(UISize{200, 100});
  EXPECT_FALSE(box->Paint(&target, UIRect{0, 0, 200, 100}, floating));
  EXPECT_EQ(target.At(25, 50), kChild);
  EXPECT_EQ(target.At(5, 5), kBox);

  // Post-paint controls run their handlers after the tree, on each paint.
  static int postPaints = 0;
  postPaints = 0;
  child->OnPostPaint += MakeDelegate(+[](void*) { return ++postPaints > 0; });
  manager_.AddPostPaint(child);
  manager_.Invalidate(UIRect{100, 50, 110, 60});
  Send(kMsgPaint);
  EXPECT_EQ(postPaints, 1);
  manager_.RemovePostPaint(child);
  Paint();
  EXPECT_EQ(postPaints, 1);
}

TEST_F(WindowRoutingTest, ChildWindowMessagesAreReflectedOnlyToTheChildTheyName) {
  BuildRow();
  StandInWindow child(UISize{10, 10}, &window_);
  StandInWindow stranger(UISize{10, 10});
  child.answer = 42;
  const auto childParam = reinterpret_cast<intptr_t>(child.Handle());
  struct Header {
    NativeWindow from;
  } header{child.Handle()};
  bool handled = false;
  EXPECT_EQ(Send(kMsgCommand, 0x0300, childParam, &handled), 42);
  EXPECT_TRUE(handled);
  EXPECT_EQ(Send(kMsgNotify, 5, reinterpret_cast<intptr_t>(&header)), 42);
  EXPECT_EQ(Send(kMsgCtlColorStatic, 7, childParam), 42);
  ASSERT_EQ(child.sent.size(), 3u);
  EXPECT_EQ(child.sent[0].message, kMsgCommand + 0x2000);
  EXPECT_EQ(child.sent[0].wParam, 0x0300u);
  EXPECT_EQ(child.sent[1].message, kMsgNotify + 0x2000);
  EXPECT_EQ(child.sent[2].message, kMsgCtlColorStatic + 0x2000);
  Send(kMsgCommand, 1, 0, &handled);  // a menu command names no window
  EXPECT_FALSE(handled);
  Send(kMsgCommand, 1, reinterpret_cast<intptr_t>(stranger.Handle()), &handled);
  EXPECT_FALSE(handled);
  EXPECT_TRUE(stranger.sent.empty());
}

TEST_F(WindowRoutingTest, WindowLevelMessages) {
  BuildRow();
  // The wake-up message delivers what was queued.
  manager_.SendNotification(a_, L"custom", 0, 0, true);
  ASSERT_EQ(window_.posted.size(), 1u);
  EXPECT_EQ(window_.posted[0].message, 0x8001u);
  Send(window_.posted[0].message);
  EXPECT_EQ(notifier_.Types(), (std::vector<std::wstring>{L"custom"}));

  // Clicks may be told not to activate the window.
  bool handled = true;
  Send(kMsgMouseActivate, 0, 0, &handled);
  EXPECT_FALSE(handled);
  manager_.SetWindowAttribute(L"noactivate", L"true");
  EXPECT_EQ(Send(kMsgMouseActivate, 0, 0, &handled), 3);
  EXPECT_TRUE(handled);
  Mouse(kMsgLButtonDown, 10, 10);
  Mouse(kMsgLButtonUp, 10, 10);
  EXPECT_EQ(System().focus, nullptr);
  manager_.SetWindowAttribute(L"noactivate", L"false");

  // Tracking sizes: only values above 0 are written; the default processing follows.
  manager_.SetWindowAttribute(L"mininfo", L"300,0");
  manager_.SetWindowAttribute(L"maxinfo", L"0,900");
  UIMinMaxInfo info{{}, {}, {}, {1, 2}, {3, 4}};
  Send(kMsgGetMinMaxInfo, 0, reinterpret_cast<intptr_t>(&info), &handled);
  EXPECT_FALSE(handled);
  EXPECT_EQ(info.minTrackSize, (UIPoint{300, 2}));
  EXPECT_EQ(info.maxTrackSize, (UIPoint{3, 900}));

  // A new size reaches the focused control and lays the tree out again.
  b_->SetFocus();
  log_.clear();
  Send(kMsgSize, 0, LParamFromPoint({200, 100}), &handled);
  EXPECT_TRUE(handled);
  EXPECT_EQ(log_, (Log{L"b:size"}));
  EXPECT_TRUE(manager_.IsUpdateNeeded());

  // Cursors: only over the client area, only for controls that ask.
  bool cursorHandled = true;
  Send(kMsgSetCursor, 0, kHitClient, &cursorHandled);
  EXPECT_FALSE(cursorHandled);
}

TEST_F(WindowRoutingTest, CloseRequestReleasesTheMouseDropsTheFocusAndFocusesTheOwner) {
  StandInWindow owner;
  window_.owner = &owner;
  BuildRow();
  System().active = window_.Handle();
  Mouse(kMsgMouseMove, 70, 10);
  Mouse(kMsgLButtonDown, 10, 10);
  log_.clear();
  notifier_.seen.clear();
  bool handled = true;
  Send(kMsgClose, 0, 0, &handled);
  EXPECT_FALSE(handled);  // the window is destroyed next
  EXPECT_EQ(log_, (Log{L"b:leave", L"a:up@-1,-1", L"a:killfocus"}));  // released, not clicked
  EXPECT_EQ(notifier_.Types(), (std::vector<std::wstring>{L"killfocus"}));
  EXPECT_EQ(manager_.GetFocus(), nullptr);
  EXPECT_EQ(System().focus, owner.Handle());
  EXPECT_EQ(System().capture, nullptr);
}

TEST_F(WindowRoutingTest, RequestedFocusArrivesAfterTheLayoutAndNativeChildrenMapToTheirControls) {
  BuildRow();
  a_->SetFocus();
  c_->SetFixedWidth(70);  // a layout is pending
  notifier_.seen.clear();
  manager_.RequestFocus(c_);
  EXPECT_EQ(manager_.GetFocus(), nullptr);
  EXPECT_EQ(notifier_.Types(), (std::vector<std::wstring>{L"killfocus"}));
  Paint();  // lays out, and asks for the paint that moves the focus
  UIRect update;
  ASSERT_TRUE(native::GetUpdateRect(window_.Handle(), update));
  Send(kMsgPaint);
  EXPECT_EQ(manager_.GetFocus(), c_);

  StandInWindow field(UISize{10, 10}, &window_);
  EXPECT_TRUE(manager_.AddNativeWindow(b_, field.Handle()));
  EXPECT_FALSE(manager_.AddNativeWindow(a_, field.Handle()));
  System().focus = window_.Handle();
  Send(kMsgKillFocus, reinterpret_cast<uintptr_t>(field.Handle()));
  EXPECT_EQ(manager_.GetFocus(), b_);
  EXPECT_EQ(System().focus, window_.Handle());  // the window was not focused again
  EXPECT_TRUE(manager_.RemoveNativeWindow(field.Handle()));
  EXPECT_EQ(manager_.GetNativeWindowControl(field.Handle()), nullptr);
}

}  // namespace
