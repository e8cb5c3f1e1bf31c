// The window host's portable rules: hit-testing, centring, the round region and the modal loop.

#include <gtest/gtest.h>

#include "skin_ui/WindowRules.h"

namespace {

using namespace SkinUI;

TEST(WindowRulesTest, HitTestOfABorderlessSkinnedWindow) {
  const UIRect client{0, 0, 650, 360};
  const UIRect sizeBox{4, 4, 4, 4};
  const UIRect caption{0, 0, 0, 290};
  struct Case {
    UIPoint point;
    const wchar_t* control;
    bool maximized;
    int expected;
  } cases[] = {
      {{2, 2}, L"Control", false, kHitTopLeft},
      {{648, 2}, L"Control", false, kHitTopRight},
      {{300, 2}, L"Control", false, kHitTop},
      {{2, 358}, L"Control", false, kHitBottomLeft},
      {{648, 358}, L"Control", false, kHitBottomRight},
      {{300, 358}, L"Control", false, kHitBottom},
      {{2, 100}, L"Control", false, kHitLeft},
      {{648, 100}, L"Control", false, kHitRight},
      {{646, 100}, L"Control", false, kHitCaption},  // on the border's inner edge: inside
      {{4, 4}, L"Control", false, kHitCaption},
      {{300, 100}, L"Control", false, kHitCaption},  // a banner picture drags the window
      {{300, 100}, L"Label", false, kHitCaption},
      {{300, 100}, L"CheckBox", false, kHitCaption},
      {{300, 100}, L"VerticalLayout", false, kHitCaption},
      {{300, 100}, L"Button", false, kHitClient},     // buttons stay clickable in the band
      {{300, 100}, L"button", false, kHitClient},
      {{300, 100}, L"Option", false, kHitClient},
      {{300, 100}, L"Text", false, kHitClient},
      {{300, 100}, nullptr, false, kHitClient},       // nothing under the point
      {{300, 289}, L"Control", false, kHitCaption},
      {{300, 290}, L"Control", false, kHitClient},    // below the band: every press is the control's
      {{2, 2}, L"Control", true, kHitCaption},        // maximised: no resize borders
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClassifyHitTest(c.point, client, sizeBox, caption, c.maximized, c.control), c.expected)
        << c.point.x << "," << c.point.y << " " << (c.control ? c.control : L"(none)");
  }
  // A band inset from the sides.
  const UIRect inset{10, 0, 20, 38};
  EXPECT_EQ(ClassifyHitTest({9, 5}, client, UIRect{}, inset, false, L"Control"), kHitClient);
  EXPECT_EQ(ClassifyHitTest({10, 5}, client, UIRect{}, inset, false, L"Control"), kHitCaption);
  EXPECT_EQ(ClassifyHitTest({629, 37}, client, UIRect{}, inset, false, L"Control"), kHitCaption);
  EXPECT_EQ(ClassifyHitTest({630, 5}, client, UIRect{}, inset, false, L"Control"), kHitClient);
}

TEST(WindowRulesTest, CentringKeepsTheWindowInTheWorkArea) {
  const UIRect work{0, 0, 1280, 1000};
  EXPECT_EQ(CenteredPosition({300, 200}, UIRect{100, 100, 500, 400}, work), (UIPoint{150, 150}));
  EXPECT_EQ(CenteredPosition({300, 200}, work, work), (UIPoint{490, 400}));
  EXPECT_EQ(CenteredPosition({300, 200}, UIRect{0, 0, 100, 100}, work), (UIPoint{0, 0}));
  EXPECT_EQ(CenteredPosition({300, 200}, UIRect{1200, 950, 1300, 1000}, work), (UIPoint{980, 800}));
  // Wider than the work area: the right edge wins, as the last rule applied.
  EXPECT_EQ(CenteredPosition({2000, 200}, work, work).x, -720);
}

TEST(WindowRulesTest, RoundRegionIsOnePixelLargerEachWay) {
  EXPECT_EQ(RoundRegionRect({540, 246}), (UIRect{0, 0, 541, 247}));
}

TEST(WindowRulesTest, ModalLoopTakesItsResultFromACloseRequestPostedToItsWindow) {
  int self = 0, other = 0;
  UIModalLoopState state;
  EXPECT_EQ(state.Observe(UIMessage{&other, kMsgClose, 5, 0}, &self), UIModalLoopState::Step::kDispatch);
  EXPECT_EQ(state.Result(), 0);
  EXPECT_EQ(state.Observe(UIMessage{&self, kMsgKeyDown, 5, 0}, &self), UIModalLoopState::Step::kDispatch);
  EXPECT_EQ(state.Observe(UIMessage{&self, kMsgClose, 2, 0}, &self), UIModalLoopState::Step::kCloseRequested);
  EXPECT_EQ(state.Result(), 2);
  EXPECT_FALSE(state.EndedByQuit());
  EXPECT_EQ(state.Observe(UIMessage{nullptr, kMsgQuit, 7, 0}, &self), UIModalLoopState::Step::kQuit);
  EXPECT_TRUE(state.EndedByQuit());
  EXPECT_EQ(state.QuitCode(), 7u);
}

}  // namespace
