#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin_ui/ContainerUI.h"
#include "skin_ui/ControlUI.h"
#include "skin_ui/NotifyPump.h"
#include "skin_ui/WindowManagerUI.h"
#include "tests/skin_ui/SkinTestSupport.h"

namespace {

using namespace SkinUI;
using skintest::FocusableUI;
using skintest::RecordingNotifier;

TEST(ControlAttributesTest, BorderSizeForms) {
  struct Case {
    const wchar_t* value;
    UIRect widths;
  } cases[] = {
      {L"1", {1, 1, 1, 1}},
      {L"2,2,2,2", {2, 2, 2, 2}},
      {L"0,1,2,3", {0, 1, 2, 3}},
      {L"3 4", {3, 3, 3, 3}},  // no comma: one number for all four
      {L"1,2", {1, 2, 0, 0}},
  };
  for (const Case& c : cases) {
    CControlUI control;
    control.SetAttribute(L"bordersize", c.value);
    EXPECT_EQ(control.GetBorderSize(), c.widths) << c.value;
  }
}

TEST(ControlAttributesTest, ColoursKeepTheirAlpha) {
  CControlUI control;
  control.SetAttribute(L"bkcolor", L"#00CCCCCC");
  control.SetAttribute(L"bordercolor", L"#00CCCCCC");
  control.SetAttribute(L"bkcolor2", L"FF4858EC");
  control.SetAttribute(L"focusbordercolor", L"#FF112233");
  EXPECT_EQ(control.GetBkColor(), 0x00CCCCCCu);
  EXPECT_EQ(control.GetBorderColor(), 0x00CCCCCCu);
  EXPECT_EQ(control.GetBkColor2(), 0xFF4858ECu);
  EXPECT_EQ(control.GetFocusBorderColor(), 0xFF112233u);
  control.SetAttribute(L"bkcolor1", L"#FF000001");
  EXPECT_EQ(control.GetBkColor(), 0xFF000001u);
}

TEST(ControlAttributesTest, CommonTable) {
  CControlUI control;
  const wchar_t* attributes[][2] = {
      {L"pos", L"10,250,640,270"}, {L"padding", L"1,2,3,4"},  {L"minwidth", L"5"},      {L"maxheight", L"40"},
      {L"tooltip", L"one<n>two"},  {L"shortcut", L"Install"}, {L"enabled", L"ture"},    {L"mouse", L"false"},
      {L"menu", L"true"},          {L"tag", L"-1"},           {L"userdata", L"d"},      {L"name", L"n"},
      {L"text", L"Install &gt;"},  {L"borderround", L"8,6"},  {L"Width", L"77"},       {L"x-custom", L"a"},
      {L"x-custom", L"b"},         {L"empty", L""},           {L"float", L"false"},     {L"keyboard", L"TRUE"},
  };
  for (auto& a : attributes) control.SetAttribute(a[0], a[1]);
  EXPECT_EQ(control.GetFloatOffset().cx, 10);
  EXPECT_EQ(control.GetFloatOffset().cy, 250);
  EXPECT_EQ(control.GetFixedWidth(), 630);
  EXPECT_EQ(control.GetFixedHeight(), 20);
  EXPECT_EQ(control.GetPadding(), (UIRect{1, 2, 3, 4}));
  EXPECT_EQ(control.GetMinWidth(), 5);
  EXPECT_EQ(control.GetMaxHeight(), 40);
  EXPECT_EQ(std::wstring(control.GetToolTip()), L"one\r\ntwo");
  EXPECT_EQ(control.GetShortcut(), L'I');
  EXPECT_FALSE(control.IsEnabled());
  EXPECT_FALSE(control.IsMouseEnabled());
  EXPECT_FALSE(control.IsKeyboardEnabled());  // only the lower-case "true" counts
  EXPECT_TRUE(control.IsMenuNotifyEnabled());
  EXPECT_EQ(control.GetTag(), static_cast<uintptr_t>(-1));
  EXPECT_EQ(std::wstring(control.GetText()), L"Install &gt;");
  EXPECT_EQ(control.GetBorderRound().cx, 8);
  EXPECT_FALSE(control.IsFloat());
  // Names are exact: "Width" is a custom attribute; the first custom value wins; empty values drop.
  EXPECT_EQ(std::wstring(control.GetCustomAttribute(L"Width")), L"77");
  EXPECT_EQ(std::wstring(control.GetCustomAttribute(L"x-custom")), L"a");
  EXPECT_EQ(control.GetCustomAttribute(L"empty"), nullptr);
  EXPECT_TRUE(control.RemoveCustomAttribute(L"x-custom"));
  EXPECT_EQ(control.GetCustomAttribute(L"x-custom"), nullptr);
}

TEST(ControlAttributesTest, SizeSettersIgnoreNegativesAndMaximumNeverBelowMinimum) {
  CControlUI control;
  control.SetAttribute(L"width", L"20");
  control.SetAttribute(L"width", L"-5");
  EXPECT_EQ(control.GetFixedWidth(), 20);
  control.SetMinHeight(50);
  control.SetMaxHeight(30);
  EXPECT_EQ(control.GetMaxHeight(), 50);
  control.SetMaxWidth(-1);
  EXPECT_EQ(control.GetMaxWidth(), 9999);
}

TEST(ControlAttributesTest, AttributeListNeedsQuotedValuesSeparatedByOneSpace) {
  struct Case {
    const wchar_t* list;
    int32_t width;
    int32_t height;
  } cases[] = {
      {L"width=\"10\" height=\"20\"", 10, 20},
      {L"width=\"10\",height=\"20\"", 10, 0},
      {L"width=10 height=\"20\"", 0, 0},
      {L"width=\"10", 0, 0},
      {L"width=\"10\"  height=\"20\"", 10, 0},
  };
  for (const Case& c : cases) {
    CControlUI control;
    control.SetAttributeList(c.list);
    EXPECT_EQ(control.GetFixedWidth(), c.width) << c.list;
    EXPECT_EQ(control.GetFixedHeight(), c.height) << c.list;
  }
}

TEST(ControlModelTest, FloatPositionKeepsWhatThePercentagesDoNotExplain) {
  CContainerUI parent;
  parent.SetPos(UIRect{100, 50, 300, 150});  // 200 × 100
  auto* child = new CControlUI;
  parent.Add(child);
  child->SetAttribute(L"float", L"0.5,0.25,0.5,0.25");
  EXPECT_TRUE(child->IsFloat());
  child->SetPos(UIRect{110, 45, 130, 65});  // relative to the parent's top-left
  EXPECT_EQ(child->GetPos(), (UIRect{210, 95, 230, 115}));
  EXPECT_EQ(child->GetFloatOffset().cx, 10);
  EXPECT_EQ(child->GetFloatOffset().cy, 20);
  EXPECT_EQ(child->GetFixedWidth(), 20);
  EXPECT_EQ(child->GetFixedHeight(), 20);
  // The parent resized: the child keeps its offsets from the moving fractions.
  parent.SetPos(UIRect{0, 0, 400, 200});
  EXPECT_EQ(child->GetPos(), (UIRect{210, 70, 230, 90}));
  EXPECT_EQ(child->GetParentRelativeRect(), (UIRect{210, 70, 230, 90}));
}

class RecordingContainer : public CContainerUI {
 public:
  void HandleEvent(UIEvent& event) override {
    handled.push_back(event.type);
    CContainerUI::HandleEvent(event);
  }
  std::vector<int> handled;
};

bool Refuse(void*) { return false; }

TEST(ControlModelTest, UnhandledEventsBubbleToTheParentAndEventHandlersCanStopThem) {
  RecordingContainer outer;
  auto* inner = new RecordingContainer;
  auto* leaf = new CControlUI;
  outer.Add(inner);
  inner->Add(leaf);
  UIEvent event;
  event.type = kEventButtonDown;
  leaf->Event(event);
  EXPECT_EQ(inner->handled, std::vector<int>{kEventButtonDown});
  EXPECT_EQ(outer.handled, std::vector<int>{kEventButtonDown});

  event.type = kEventSetFocus;  // handled by the control itself
  leaf->Event(event);
  EXPECT_TRUE(leaf->IsFocused());
  EXPECT_EQ(outer.handled.size(), 1u);

  leaf->OnEvent += MakeDelegate(&Refuse);
  event.type = kEventKeyDown;
  leaf->Event(event);
  EXPECT_EQ(outer.handled.size(), 1u);
  leaf->OnEvent -= MakeDelegate(&Refuse);
  leaf->Event(event);
  EXPECT_EQ(outer.handled.size(), 2u);
}

TEST(ControlModelTest, TimerAndMenuEventsBecomeNotifications) {
  CWindowManagerUI manager;
  manager.Init(nullptr);
  RecordingNotifier notifier;
  manager.AddNotifier(&notifier);
  auto* root = new CContainerUI;
  auto* control = new CControlUI;
  root->Add(control);
  manager.AttachRoot(root);
  UIEvent event;
  event.type = kEventTimer;
  event.wParam = 7;
  event.lParam = 9;
  control->Event(event);
  event.type = kEventContextMenu;
  control->Event(event);  // menu notifications are off
  control->SetMenuNotifyEnabled(true);
  control->Event(event);
  ASSERT_EQ(notifier.Types(), (std::vector<std::wstring>{L"timer", L"menu"}));
  EXPECT_EQ(notifier.seen[0].wParam, 7u);
  EXPECT_EQ(notifier.seen[1].lParam, 9u);
}

TEST(ControlModelTest, TwoControlsWithOneNameAndRenames) {
  CWindowManagerUI manager;
  manager.Init(nullptr);
  auto* root = new CVerticalLayoutUI;
  auto* first = new CControlUI;
  auto* second = new CControlUI;
  first->SetName(L"okbtn");
  second->SetName(L"okbtn");
  root->Add(first);
  root->Add(second);
  manager.AttachRoot(root);
  EXPECT_EQ(manager.FindControl(L"okbtn"), second);
  EXPECT_EQ(manager.FindControl(L"OKBTN"), nullptr);
  EXPECT_EQ(manager.FindChildByName(root, L"OKBTN"), first);  // the search below a control ignores case

  second->SetName(L"renamed");
  EXPECT_EQ(manager.FindControl(L"renamed"), second);
  EXPECT_EQ(manager.FindControl(L"okbtn"), nullptr);
  auto* third = new CControlUI;
  third->SetName(L"third");
  root->Add(third);  // added to an attached container: registered at once
  EXPECT_EQ(manager.FindControl(L"third"), third);
  third->SetName(L"renamed");  // held by another control: the map stays as it was
  EXPECT_EQ(manager.FindControl(L"renamed"), second);
  EXPECT_EQ(manager.FindControl(L"third"), third);
  root->Remove(second);
  manager.DeliverQueuedNotifications();  // delayed destruction
  EXPECT_EQ(manager.FindControl(L"renamed"), nullptr);
}

TEST(ControlModelTest, HidingPropagatesToChildrenAndDropsTheFocus) {
  CWindowManagerUI manager;
  manager.Init(nullptr);
  RecordingNotifier notifier;
  manager.AddNotifier(&notifier);
  auto* root = new CVerticalLayoutUI;
  auto* box = new CHorizontalLayoutUI;
  auto* leaf = new FocusableUI;
  root->Add(box);
  box->Add(leaf);
  manager.AttachRoot(root);
  leaf->SetFocus();
  EXPECT_EQ(manager.GetFocus(), leaf);
  box->SetVisible(false);
  EXPECT_FALSE(leaf->IsVisible());
  EXPECT_EQ(manager.GetFocus(), nullptr);
  EXPECT_EQ(notifier.Types(), (std::vector<std::wstring>{L"setfocus", L"killfocus"}));
  leaf->SetFocus();  // invisible: refused
  EXPECT_EQ(manager.GetFocus(), nullptr);
  box->SetVisible(true);
  EXPECT_TRUE(leaf->IsVisible());
}

TEST(ControlModelTest, HitTestingFindsTheTopmostMouseEnabledControl) {
  CWindowManagerUI manager;
  manager.Init(nullptr);
  auto* root = new CContainerUI;
  auto* under = new CControlUI;
  auto* over = new CControlUI;
  root->Add(under);
  root->Add(over);
  manager.AttachRoot(root);
  manager.UpdateLayout(UIRect{0, 0, 100, 100});
  EXPECT_EQ(manager.FindControl(UIPoint{50, 50}), over);
  over->SetMouseEnabled(false);
  EXPECT_EQ(manager.FindControl(UIPoint{50, 50}), under);
  under->SetVisible(false);
  EXPECT_EQ(manager.FindControl(UIPoint{50, 50}), root);
  root->SetMouseChildEnabled(false);
  under->SetVisible(true);
  EXPECT_EQ(manager.FindControl(UIPoint{50, 50}), root);
  EXPECT_EQ(manager.FindControl(UIPoint{150, 50}), nullptr);
}

// Notification routing through message maps.
class BasePump : public CNotifyPump {
  UI_DECLARE_MESSAGE_MAP()
 public:
  std::vector<std::wstring> calls;
  void OnBaseSelect(UINotify&) { calls.push_back(L"base selectchanged"); }
  void OnBaseClick(UINotify&) { calls.push_back(L"base click"); }
};

UI_BEGIN_MESSAGE_MAP(BasePump, CNotifyPump)
UI_ON_NOTIFY(L"selectchanged", L"", &BasePump::OnBaseSelect)
UI_ON_NOTIFY(L"click", L"", &BasePump::OnBaseClick)
UI_END_MESSAGE_MAP()

class WindowPump : public BasePump {
  UI_DECLARE_MESSAGE_MAP()
 public:
  void OnAnyClick(UINotify&) { calls.push_back(L"any click"); }
  void OnLastAnyClick(UINotify&) { calls.push_back(L"last any click"); }
  void OnOk(UINotify& msg) { calls.push_back(L"ok " + std::wstring(msg.sender->GetName())); }
  void OnTab(uintptr_t wParam, uintptr_t lParam) {
    calls.push_back(L"tab " + std::to_wstring(wParam) + L" " + std::to_wstring(lParam));
  }
};

UI_BEGIN_MESSAGE_MAP(WindowPump, BasePump)
UI_ON_NOTIFY(L"click", L"", &WindowPump::OnAnyClick)
UI_ON_NOTIFY(L"click", L"okbtn", &WindowPump::OnOk)
UI_ON_NOTIFY(L"click", L"", &WindowPump::OnLastAnyClick)
UI_ON_NOTIFY_PARAMS(L"tabselect", L"", &WindowPump::OnTab)
UI_END_MESSAGE_MAP()

TEST(NotifyPumpTest, NamedEntriesWinOverTheFallbackAndBaseMapsFollow) {
  WindowPump pump;
  CControlUI ok, other;
  ok.SetName(L"okbtn");
  other.SetName(L"OKBTN");
  UINotify msg;
  msg.type = L"click";
  msg.sender = &ok;
  EXPECT_TRUE(pump.DispatchNotification(msg));
  msg.sender = &other;  // names compare exactly
  EXPECT_TRUE(pump.DispatchNotification(msg));
  msg.type = L"tabselect";
  msg.wParam = 1;
  msg.lParam = 0;
  EXPECT_TRUE(pump.DispatchNotification(msg));
  msg.type = L"selectchanged";
  EXPECT_TRUE(pump.DispatchNotification(msg));
  msg.type = L"textchanged";
  EXPECT_FALSE(pump.DispatchNotification(msg));
  EXPECT_EQ(pump.calls, (std::vector<std::wstring>{L"ok okbtn", L"last any click", L"tab 1 0",
                                                   L"base selectchanged"}));
}

TEST(NotifyPumpTest, VirtualWindowsGetTheNotificationsOfTheirControls) {
  CWindowManagerUI manager;
  manager.Init(nullptr);
  WindowPump window, page;
  EXPECT_TRUE(window.AddVirtualWnd(L"Page", &page));
  EXPECT_FALSE(window.AddVirtualWnd(L"Page", &page));
  struct Forward : INotifyUI {
    CNotifyPump* pump;
    void Notify(UINotify& msg) override { pump->DispatchNotification(msg); }
  } forward;
  forward.pump = &window;
  manager.AddNotifier(&forward);
  auto* root = new CVerticalLayoutUI;
  auto* box = new CHorizontalLayoutUI;
  auto* button = new CControlUI;
  root->Add(box);
  box->Add(button);
  manager.AttachRoot(root);
  box->SetAttribute(L"virtualwnd", L"page");
  EXPECT_TRUE(manager.UsesVirtualWindows());
  manager.SendNotification(button, L"click");
  manager.SendNotification(root, L"click");
  EXPECT_EQ(page.calls, std::vector<std::wstring>{L"last any click"});
  EXPECT_EQ(window.calls, std::vector<std::wstring>{L"last any click"});
}

TEST(NotificationTest, AsynchronousNotificationsMergeUnlessRepeatsAreAllowed) {
  CWindowManagerUI manager;
  manager.Init(nullptr);
  RecordingNotifier notifier;
  manager.AddNotifier(&notifier);
  auto* root = new CVerticalLayoutUI;
  auto* a = new CControlUI;
  auto* b = new CControlUI;
  root->Add(a);
  root->Add(b);
  manager.AttachRoot(root);

  manager.SendNotification(a, L"timer", 1, 10, true);
  manager.SendNotification(b, L"timer", 2, 20, true);
  manager.SendNotification(a, L"timer", 3, 30, true);  // merged into the first
  manager.SendNotification(a, L"click", 4, 40, true);
  manager.SendNotification(a, L"click", 5, 50, true, true);  // repeats allowed
  EXPECT_EQ(manager.GetQueuedNotificationCount(), 4);
  EXPECT_TRUE(notifier.seen.empty());
  manager.DeliverQueuedNotifications();
  ASSERT_EQ(notifier.seen.size(), 4u);
  EXPECT_EQ(notifier.seen[0].sender, a);
  EXPECT_EQ(notifier.seen[0].wParam, 3u);
  EXPECT_EQ(notifier.seen[0].lParam, 30u);
  EXPECT_EQ(notifier.seen[1].sender, b);
  EXPECT_EQ(notifier.seen[2].wParam, 4u);
  EXPECT_EQ(notifier.seen[3].wParam, 5u);
  EXPECT_EQ(manager.GetQueuedNotificationCount(), 0);

  // A control that goes before delivery leaves its notification without a sender.
  manager.SendNotification(b, L"timer", 6, 0, true);
  root->Remove(b);
  manager.DeliverQueuedNotifications();
  ASSERT_EQ(notifier.seen.size(), 5u);
  EXPECT_EQ(notifier.seen[4].sender, nullptr);
}

bool CountCall(void* param) {
  ++static_cast<UINotify*>(param)->lParam;
  return true;
}

TEST(NotificationTest, SenderHandlersRunBeforeTheNotifiers) {
  CWindowManagerUI manager;
  manager.Init(nullptr);
  RecordingNotifier notifier;
  manager.AddNotifier(&notifier);
  auto* root = new CControlUI;
  root->OnNotify += MakeDelegate(&CountCall);
  manager.AttachRoot(root);
  manager.SendNotification(root, L"click", 0, 100);
  ASSERT_EQ(notifier.seen.size(), 1u);
  EXPECT_EQ(notifier.seen[0].lParam, 101u);
  EXPECT_FALSE(manager.AddNotifier(&notifier));
  EXPECT_TRUE(manager.RemoveNotifier(&notifier));
  manager.SendNotification(root, L"click");
  EXPECT_EQ(notifier.seen.size(), 1u);
}

}  // namespace

namespace {

using namespace SkinUI;

class FocusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    manager_.Init(nullptr);
    manager_.AddNotifier(&notifier_);
    auto* root = new CVerticalLayoutUI;
    auto* box = new CHorizontalLayoutUI;
    for (auto** stop : {&first_, &middle_, &last_}) *stop = new skintest::FocusableUI;
    plain_ = new CControlUI;
    root->Add(first_);
    root->Add(box);
    box->Add(plain_);
    box->Add(middle_);
    root->Add(last_);
    manager_.AttachRoot(root);
    manager_.UpdateLayout(UIRect{0, 0, 100, 100});  // the first layout leaves a focus move pending
    manager_.SetFocus(nullptr);
  }
  CWindowManagerUI manager_;
  skintest::RecordingNotifier notifier_;
  CControlUI* first_ = nullptr;
  CControlUI* middle_ = nullptr;
  CControlUI* last_ = nullptr;
  CControlUI* plain_ = nullptr;
};

TEST_F(FocusTest, TabOrderWrapsBothWaysAndStartsAtTheFirst) {
  manager_.MoveFocusToNext(false);
  EXPECT_EQ(manager_.GetFocus(), first_);
  manager_.SetFocus(nullptr);
  manager_.MoveFocusToNext(true);
  EXPECT_EQ(manager_.GetFocus(), first_);
  manager_.MoveFocusToNext(true);
  EXPECT_EQ(manager_.GetFocus(), middle_);
  manager_.MoveFocusToNext(true);
  EXPECT_EQ(manager_.GetFocus(), last_);
  manager_.MoveFocusToNext(true);
  EXPECT_EQ(manager_.GetFocus(), first_);
  manager_.MoveFocusToNext(false);
  EXPECT_EQ(manager_.GetFocus(), last_);
  // From a control that does not take the focus by Tab, the walk goes on from its place.
  manager_.SetFocus(plain_);
  manager_.MoveFocusToNext(true);
  EXPECT_EQ(manager_.GetFocus(), middle_);
  // Disabled controls are passed over.
  last_->SetEnabled(false);
  manager_.MoveFocusToNext(true);
  EXPECT_EQ(manager_.GetFocus(), first_);
}

TEST_F(FocusTest, RefusedRequestsLeaveTheFocusEmptyAndMovesNotify) {
  CWindowManagerUI other;
  other.Init(nullptr);
  auto* foreign = new skintest::FocusableUI;
  other.AttachRoot(foreign);
  manager_.SetFocus(first_);
  notifier_.seen.clear();
  manager_.SetFocus(foreign);
  EXPECT_EQ(manager_.GetFocus(), nullptr);
  EXPECT_FALSE(first_->IsFocused());
  middle_->SetEnabled(false);
  middle_->SetFocus();
  EXPECT_EQ(manager_.GetFocus(), nullptr);
  last_->SetFocus();
  EXPECT_TRUE(last_->IsFocused());
  ASSERT_EQ(notifier_.Types(), (std::vector<std::wstring>{L"killfocus", L"setfocus"}));
  EXPECT_EQ(notifier_.seen[0].sender, first_);
  EXPECT_EQ(notifier_.seen[1].sender, last_);
  // A deleted control is forgotten by the manager.
  static_cast<CContainerUI*>(manager_.GetRoot())->SetDelayedDestroy(false);
  static_cast<CContainerUI*>(manager_.GetRoot())->Remove(last_);
  EXPECT_EQ(manager_.GetFocus(), nullptr);
}

TEST(OptionGroupTest, MembersJoinOnceAndLeaveWhenForgotten) {
  CWindowManagerUI manager;
  manager.Init(nullptr);
  auto* root = new CVerticalLayoutUI;
  auto* a = new CControlUI;
  auto* b = new CControlUI;
  root->Add(a);
  root->Add(b);
  manager.AttachRoot(root);
  EXPECT_TRUE(manager.AddOptionGroup(L"dots", a));
  EXPECT_TRUE(manager.AddOptionGroup(L"dots", b));
  EXPECT_FALSE(manager.AddOptionGroup(L"dots", a));
  ASSERT_NE(manager.GetOptionGroup(L"dots"), nullptr);
  EXPECT_EQ(manager.GetOptionGroup(L"dots")->size(), 2u);
  manager.ForgetControl(a);
  EXPECT_EQ(manager.GetOptionGroup(L"dots")->size(), 1u);
  manager.RemoveOptionGroup(L"dots", b);
  EXPECT_EQ(manager.GetOptionGroup(L"dots"), nullptr);
}

}  // namespace
