#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "skin_ui/ContainerUI.h"
#include "skin_ui/DialogBuilder.h"
#include "skin_ui/WindowManagerUI.h"
#include "tests/skin_ui/SkinTestSupport.h"

namespace {

using namespace SkinUI;
using skintest::FocusableUI;
using skintest::RecordingNotifier;

// Builds a skin into a manager and lays it out in a client rectangle.
class LayoutTest : public ::testing::Test {
 protected:
  void Build(const wchar_t* skin, UIRect client) {
    manager_.Init(nullptr);
    manager_.AddNotifier(&notifier_);
    CControlUI* root = builder_.Create(skin, nullptr, nullptr, &manager_);
    ASSERT_NE(root, nullptr) << builder_.GetLastErrorMessage();
    manager_.AttachRoot(root);
    manager_.UpdateLayout(client);
  }
  CControlUI* Find(const wchar_t* name) {
    CControlUI* control = manager_.FindControl(name);
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  UIRect Pos(const wchar_t* name) {
    CControlUI* control = Find(name);
    return control ? control->GetPos() : UIRect{-1, -1, -1, -1};
  }

  CWindowManagerUI manager_;
  CDialogBuilder builder_;
  RecordingNotifier notifier_;
};

TEST_F(LayoutTest, StopDialogColumnSharesTheRestBetweenItsTwoRows) {
  Build(L"<Window size=\"278,131\">"
        L"<VerticalLayout name=\"root\" inset=\"1,1,1,1\" bkcolor=\"#FFFFFFFF\">"
        L"  <Control name=\"title\" height=\"26\"/>"
        L"  <HorizontalLayout name=\"text\"/>"
        L"  <Control name=\"gap\" height=\"24\"/>"
        L"  <HorizontalLayout name=\"buttons\"/>"
        L"</VerticalLayout></Window>",
        UIRect{0, 0, 278, 131});
  EXPECT_EQ(Pos(L"root"), (UIRect{0, 0, 278, 131}));
  EXPECT_EQ(Pos(L"title"), (UIRect{1, 1, 277, 27}));
  EXPECT_EQ(Pos(L"text"), (UIRect{1, 27, 277, 66}));
  EXPECT_EQ(Pos(L"gap"), (UIRect{1, 66, 277, 90}));
  EXPECT_EQ(Pos(L"buttons"), (UIRect{1, 90, 277, 130}));
  EXPECT_EQ(notifier_.Types(), std::vector<std::wstring>{L"windowinit"});
  EXPECT_EQ(notifier_.seen[0].sender, Find(L"root"));
}

TEST_F(LayoutTest, RowOfFixedControlsAndTwoStretchingOnes) {
  Build(L"<Window><HorizontalLayout name=\"row\">"
        L"  <Control name=\"left\"/>"
        L"  <Control name=\"yes\" width=\"74\" height=\"26\"/>"
        L"  <Control name=\"gap\" width=\"16\"/>"
        L"  <Control name=\"no\" width=\"74\" height=\"26\"/>"
        L"  <Control name=\"right\"/>"
        L"</HorizontalLayout></Window>",
        UIRect{0, 0, 276, 40});
  EXPECT_EQ(Pos(L"left"), (UIRect{0, 0, 56, 40}));
  EXPECT_EQ(Pos(L"yes"), (UIRect{56, 0, 130, 26}));
  EXPECT_EQ(Pos(L"gap"), (UIRect{130, 0, 146, 40}));
  EXPECT_EQ(Pos(L"no"), (UIRect{146, 0, 220, 26}));
  EXPECT_EQ(Pos(L"right"), (UIRect{220, 0, 276, 40}));
}

TEST_F(LayoutTest, ChildPaddingAndPaddingCountInTheFixedTotal) {
  Build(L"<Window><HorizontalLayout childpadding=\"15\" childvalign=\"vcenter\">"
        L"  <Control name=\"a\" width=\"50\" height=\"10\"/>"
        L"  <Control name=\"b\" padding=\"2,0,3,0\"/>"
        L"  <Control name=\"c\" width=\"50\" height=\"11\"/>"
        L"</HorizontalLayout></Window>",
        UIRect{0, 0, 300, 40});
  // Fixed: 50 + 50 + 2 + 3 + 2 × 15 = 135; the stretching child gets 165.
  EXPECT_EQ(Pos(L"a"), (UIRect{0, 15, 50, 25}));
  EXPECT_EQ(Pos(L"b"), (UIRect{67, 0, 232, 40}));
  EXPECT_EQ(Pos(L"c"), (UIRect{250, 15, 300, 26}));
}

TEST_F(LayoutTest, InvisibleChildTakesNoSpaceAndNoPadding) {
  Build(L"<Window><VerticalLayout childpadding=\"10\" childalign=\"center\">"
        L"  <Control name=\"a\" height=\"20\" width=\"30\"/>"
        L"  <Control name=\"hidden\" height=\"30\" visible=\"false\"/>"
        L"  <Control name=\"b\"/>"
        L"</VerticalLayout></Window>",
        UIRect{0, 0, 100, 100});
  EXPECT_EQ(Pos(L"a"), (UIRect{35, 0, 65, 20}));
  EXPECT_EQ(Pos(L"b"), (UIRect{0, 30, 100, 100}));
  EXPECT_EQ(Pos(L"hidden"), (UIRect{}));  // never laid out

  // Shown later: its parent is laid out again and makes room.
  Find(L"hidden")->SetVisible(true);
  EXPECT_TRUE(manager_.IsUpdateNeeded());
  manager_.UpdateLayout(UIRect{0, 0, 100, 100});
  EXPECT_EQ(Pos(L"hidden"), (UIRect{0, 30, 100, 60}));
  EXPECT_EQ(Pos(L"b"), (UIRect{0, 70, 100, 100}));
}

TEST_F(LayoutTest, FloatChildIsPlacedFromItsParentsCornerIndependentlyOfItsSiblings) {
  Build(L"<Window><VerticalLayout>"
        L"  <Control name=\"top\" height=\"40\"/>"
        L"  <VerticalLayout name=\"page\">"
        L"    <Control name=\"first\" height=\"30\"/>"
        L"    <Control name=\"tip\" float=\"true\" pos=\"10,250,640,270\"/>"
        L"    <Control name=\"second\"/>"
        L"    <Control name=\"cover\" float=\"true\" pos=\"0,0,5,5\"/>"
        L"  </VerticalLayout>"
        L"</VerticalLayout></Window>",
        UIRect{0, 0, 650, 400});
  EXPECT_EQ(Pos(L"page"), (UIRect{0, 40, 650, 400}));
  EXPECT_EQ(Pos(L"tip"), (UIRect{10, 290, 640, 310}));
  EXPECT_EQ(Pos(L"first"), (UIRect{0, 40, 650, 70}));
  EXPECT_EQ(Pos(L"second"), (UIRect{0, 70, 650, 400}));
  EXPECT_EQ(Pos(L"cover"), (UIRect{0, 40, 5, 45}));
  // Hit-testing takes the later sibling first.
  EXPECT_EQ(manager_.FindControl(UIPoint{20, 300}), Find(L"second"));
  EXPECT_EQ(manager_.FindControl(UIPoint{2, 42}), Find(L"cover"));
}

TEST_F(LayoutTest, OnlyTheContainersMarkedForLayoutAreLaidOutAgain) {
  Build(L"<Window><VerticalLayout name=\"root\">"
        L"  <Control name=\"top\" height=\"40\"/>"
        L"  <VerticalLayout name=\"page\"><Control name=\"first\" height=\"30\"/><Control name=\"second\"/>"
        L"  </VerticalLayout>"
        L"</VerticalLayout></Window>",
        UIRect{0, 0, 100, 200});
  // Moved by hand: a layout of the root would put it back.
  Find(L"top")->SetPos(UIRect{0, 0, 1, 1});
  Find(L"first")->SetFixedHeight(50);
  EXPECT_TRUE(Find(L"page")->IsUpdateNeeded());
  EXPECT_FALSE(Find(L"root")->IsUpdateNeeded());
  manager_.UpdateLayout(UIRect{0, 0, 100, 200});
  EXPECT_FALSE(Find(L"page")->IsUpdateNeeded());
  EXPECT_EQ(Pos(L"first"), (UIRect{0, 40, 100, 90}));
  EXPECT_EQ(Pos(L"second"), (UIRect{0, 90, 100, 200}));
  EXPECT_EQ(Pos(L"top"), (UIRect{0, 0, 1, 1}));
}

TEST_F(LayoutTest, MinimumAndMaximumAndTheLastStretchingChildTakesTheRemainder) {
  Build(L"<Window><VerticalLayout>"
        L"  <Control name=\"a\"/>"
        L"  <Control name=\"b\" maxheight=\"10\"/>"
        L"  <Control name=\"c\"/>"
        L"</VerticalLayout></Window>",
        UIRect{0, 0, 50, 100});
  // Share 33 each; b is held at 10; c takes what is left.
  EXPECT_EQ(Pos(L"a"), (UIRect{0, 0, 50, 33}));
  EXPECT_EQ(Pos(L"b"), (UIRect{0, 33, 50, 43}));
  EXPECT_EQ(Pos(L"c"), (UIRect{0, 43, 50, 100}));
}

// Skin values at the ends of the 32-bit range: the arithmetic saturates (the sanitised build
// stops at any overflow) and every rectangle stays normalised.
TEST(LayoutExtremesTest, ValuesAtTheEndsOfTheRangeSaturate) {
  const wchar_t* skins[] = {
      L"<Window><HorizontalLayout childpadding=\"2147483647\" childvalign=\"bottom\">"
      L"<Control width=\"2147483647\" padding=\"2147483647,0,2147483647,-2147483648\"/>"
      L"<Control width=\"2147483647\"/><Control/></HorizontalLayout></Window>",
      L"<Window><VerticalLayout inset=\"-2147483648,-2147483648,2147483647,2147483647\" childpadding=\"2147483647\""
      L" childalign=\"right\"><Control height=\"2147483647\" padding=\"-2147483648,2147483647,0,2147483647\"/>"
      L"<Control height=\"2147483647\"/><Control/></VerticalLayout></Window>",
      L"<Window><VerticalLayout><Control float=\"true\" pos=\"-2147483648,-2147483648,2147483647,2147483647\"/>"
      L"<Control float=\"1e300,-1e300,1e300,1\" pos=\"5,5,2147483647,6\"/></VerticalLayout></Window>",
      L"<Window><TabLayout inset=\"2147483647,2147483647,-2147483648,-2147483648\">"
      L"<Control padding=\"2147483647,2147483647,-2147483648,-2147483648\"/></TabLayout></Window>",
  };
  struct Check {
    static CControlUI* Normalised(CControlUI* control, void*) {
      const UIRect& r = control->GetPos();
      EXPECT_GE(r.right, r.left);
      EXPECT_GE(r.bottom, r.top);
      return nullptr;
    }
  };
  for (const wchar_t* skin : skins) {
    CWindowManagerUI manager;
    manager.Init(nullptr);
    CDialogBuilder builder;
    CControlUI* root = builder.Create(skin, nullptr, nullptr, &manager);
    ASSERT_NE(root, nullptr);
    manager.AttachRoot(root);
    for (const UIRect& client : {UIRect{0, 0, 300, 200}, UIRect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}}) {
      root->SetPos(client);
      root->FindControl(&Check::Normalised, nullptr, 0);
    }
  }
}

TEST_F(LayoutTest, TabLayoutShowsOnePageAndSelectsWithNotification) {
  Build(L"<Window><TabLayout name=\"tabs\" inset=\"5,5,5,5\">"
        L"  <HorizontalLayout name=\"home\"><Control name=\"homeField\"/></HorizontalLayout>"
        L"  <HorizontalLayout name=\"progress\" padding=\"1,2,3,4\"><Control name=\"bar\"/></HorizontalLayout>"
        L"</TabLayout></Window>",
        UIRect{0, 0, 200, 100});
  auto* tabs = static_cast<CTabLayoutUI*>(Find(L"tabs"));
  EXPECT_EQ(tabs->GetCurSel(), 0);
  EXPECT_TRUE(Find(L"home")->IsVisible());
  EXPECT_FALSE(Find(L"progress")->IsVisible());
  EXPECT_FALSE(Find(L"bar")->IsVisible());
  EXPECT_EQ(Pos(L"home"), (UIRect{5, 5, 195, 95}));
  notifier_.seen.clear();

  EXPECT_TRUE(tabs->SelectItem(1));
  EXPECT_FALSE(Find(L"home")->IsVisible());
  EXPECT_TRUE(Find(L"progress")->IsVisible());
  EXPECT_TRUE(Find(L"bar")->IsVisible());
  ASSERT_FALSE(notifier_.seen.empty());
  EXPECT_EQ(notifier_.seen.back().type, L"tabselect");
  EXPECT_EQ(notifier_.seen.back().wParam, 1u);
  EXPECT_EQ(notifier_.seen.back().lParam, 0u);
  manager_.UpdateLayout(UIRect{0, 0, 200, 100});
  EXPECT_EQ(Pos(L"progress"), (UIRect{6, 7, 192, 91}));

  const size_t seen = notifier_.seen.size();
  EXPECT_TRUE(tabs->SelectItem(1));
  EXPECT_EQ(notifier_.seen.size(), seen);
  EXPECT_FALSE(tabs->SelectItem(2));
  EXPECT_FALSE(tabs->SelectItem(-1));
  EXPECT_EQ(tabs->GetCurSel(), 1);

  // A page inserted before the shown one is hidden and the shown page stays shown.
  auto* inserted = new CControlUI;
  EXPECT_TRUE(tabs->AddAt(inserted, 0));
  EXPECT_EQ(tabs->GetCurSel(), 2);
  EXPECT_FALSE(inserted->IsVisible());
  EXPECT_TRUE(Find(L"progress")->IsVisible());
  tabs->Remove(inserted);
  EXPECT_EQ(tabs->GetCurSel(), 1);

  // Removing the shown page shows page 0 again.
  tabs->Remove(Find(L"progress"));
  EXPECT_EQ(tabs->GetCurSel(), 0);
  EXPECT_TRUE(Find(L"home")->IsVisible());
}

class FocusableFactory : public IDialogBuilderCallback {
 public:
  CControlUI* CreateControl(const wchar_t* name) override {
    return std::wstring(name) == L"Focusable" ? new FocusableUI : nullptr;
  }
};

TEST_F(LayoutTest, SelectedIdChoosesThePageWhileBuilding) {
  Build(L"<Window><TabLayout name=\"tabs\" selectedid=\"1\">"
        L"<Control name=\"p0\"/><Control name=\"p1\"/><Control name=\"p2\"/></TabLayout></Window>",
        UIRect{0, 0, 10, 10});
  EXPECT_EQ(static_cast<CTabLayoutUI*>(Find(L"tabs"))->GetCurSel(), 1);
  EXPECT_FALSE(Find(L"p0")->IsVisible());
  EXPECT_TRUE(Find(L"p1")->IsVisible());
  EXPECT_FALSE(Find(L"p2")->IsVisible());
  EXPECT_EQ(Pos(L"p1"), (UIRect{0, 0, 10, 10}));
}

TEST_F(LayoutTest, TabSwitchMovesTheFocusToTheSelectedPageAfterTheLayout) {
  FocusableFactory factory;
  manager_.Init(nullptr);
  CControlUI* root = builder_.Create(L"<Window><TabLayout name=\"tabs\">"
                                     L"  <VerticalLayout><Focusable name=\"f0\"/></VerticalLayout>"
                                     L"  <VerticalLayout><Control/><Focusable name=\"f1\"/><Focusable/></VerticalLayout>"
                                     L"</TabLayout></Window>",
                                     nullptr, &factory, &manager_);
  ASSERT_NE(root, nullptr);
  manager_.AttachRoot(root);
  const UIRect client{0, 0, 100, 100};
  manager_.UpdateLayout(client);  // the pending focus move waits for the first layout
  manager_.UpdateLayout(client);
  EXPECT_EQ(manager_.GetFocus(), Find(L"f0"));

  static_cast<CTabLayoutUI*>(Find(L"tabs"))->SelectItem(1);
  EXPECT_TRUE(manager_.IsFocusNeeded());
  manager_.UpdateLayout(client);
  manager_.UpdateLayout(client);
  EXPECT_EQ(manager_.GetFocus(), Find(L"f1"));
}

TEST_F(LayoutTest, RemovedChildrenAreDeletedAfterThePendingNotifications) {
  Build(L"<Window><VerticalLayout name=\"box\"><Control name=\"a\"/><Control name=\"b\"/></VerticalLayout></Window>",
        UIRect{0, 0, 10, 10});
  int destroyed = 0;
  struct Count {
    static bool Destroyed(void* control) {
      ++*reinterpret_cast<int*>(static_cast<CControlUI*>(control)->GetTag());
      return true;
    }
  };
  for (const wchar_t* name : {L"a", L"b"}) {
    Find(name)->SetTag(reinterpret_cast<uintptr_t>(&destroyed));
    Find(name)->OnDestroy += MakeDelegate(&Count::Destroyed);
  }
  auto* box = static_cast<CContainerUI*>(Find(L"box"));
  CControlUI* a = Find(L"a");
  EXPECT_TRUE(box->Remove(a, true));  // kept alive
  EXPECT_EQ(box->GetCount(), 1);
  EXPECT_TRUE(box->RemoveAt(0));
  EXPECT_EQ(destroyed, 0);
  manager_.DeliverQueuedNotifications();
  EXPECT_EQ(destroyed, 1);
  EXPECT_TRUE(box->Add(a));
  EXPECT_EQ(manager_.FindControl(L"a"), a);
  box->SetDelayedDestroy(false);
  box->RemoveAll();
  EXPECT_EQ(destroyed, 2);
  EXPECT_EQ(box->GetCount(), 0);
}

}  // namespace
