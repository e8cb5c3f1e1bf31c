// The leaf controls under real input (xdotool on the test display): Enter and space click the
// focused button, the pointer gives a button its hot and pushed pictures (read back from the
// window's pixels), a link of a Text control reports "link" with its index, and a link drawn
// inside a button leaves the click to the button.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "skin_ui/TextUI.h"
#include "skin_ui/WindowManagerUI.h"
#include "tests/skin_ui/win32/RealInput.h"
#include "tests/skin_ui/win32/SkinTestWindow.h"

namespace {

using namespace SkinUI;
using realinput::PumpUntil;
using skintest::SkinTestWindow;
using Names = std::vector<std::wstring>;

constexpr wchar_t kSkin[] =
    L"<Window size=\"340,120\" linkfontcolor=\"#FF0000FF\" defaultfontcolor=\"#FF000000\">"
    L"<Font id=\"0\" name=\"Noto Sans\" size=\"18\" default=\"true\"/>"
    L"<VerticalLayout bkcolor=\"#FFFFFFFF\">"
    L"<HorizontalLayout height=\"40\">"
    L"<Button name=\"looks\" width=\"100\" normalimage=\"color='#FF808080'\" hotimage=\"color='#FF00C000'\""
    L" pushedimage=\"color='#FFC00000'\"/>"
    L"<Button name=\"second\" width=\"100\" normalimage=\"color='#FF808080'\"/>"
    L"<Button name=\"linked\" width=\"140\" showhtml=\"true\" text=\"{a more}details{/a}\"/>"
    L"</HorizontalLayout>"
    L"<Text name=\"text\" height=\"60\" showhtml=\"true\" text=\"see {a first}one{/a} or {a second}two{/a}\"/>"
    L"</VerticalLayout></Window>";

class LeafInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Away from where the window appears: a pointer left there by an earlier test would make a
    // button hot as soon as the window shows.
    ASSERT_TRUE(realinput::Xdotool(L"mousemove 5 5"));
    ASSERT_NE(window_.CreateAt(nullptr, 300, 300), nullptr);
    window_.Show();
    ASSERT_TRUE(realinput::WaitForeground(window_.Hwnd(), 5000));
    // The first paint lays the window out and focuses its first button.
    ASSERT_TRUE(PumpUntil([&] { return window_.Seen(L"setfocus").size() == 1; }, 5000));
  }
  void TearDown() override {
    DestroyWindow(window_.Hwnd());
    CWindowManagerUI::ResetSharedResources();
  }
  CControlUI* Find(const wchar_t* name) { return window_.GetManager().FindControl(name); }
  // A client point in screen coordinates, as xdotool arguments.
  std::wstring At(UIPoint client) const {
    POINT p{client.x, client.y};
    ClientToScreen(window_.Hwnd(), &p);
    return std::to_wstring(p.x) + L" " + std::to_wstring(p.y);
  }
  UIPoint Middle(const UIRect& r) const { return UIPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
  COLORREF Pixel(UIPoint client) const {
    HDC dc = GetDC(window_.Hwnd());
    const COLORREF colour = GetPixel(dc, client.x, client.y);
    ReleaseDC(window_.Hwnd(), dc);
    return colour;
  }
  // Pumps until the pixel shows `colour`.
  bool Shows(UIPoint client, COLORREF colour) {
    return PumpUntil([&] { return Pixel(client) == colour; }, 5000);
  }

  SkinTestWindow window_{kSkin};
};

TEST_F(LeafInputTest, EnterAndSpaceClickTheFocusedButton) {
  ASSERT_EQ(window_.Seen(L"setfocus"), (Names{L"setfocus:looks"}));
  ASSERT_TRUE(realinput::XdotoolLater(realinput::PointerOver(window_.Hwnd()) +
                                      L"key --delay 100 Return space Tab space a"));
  PumpUntil([&] { return window_.Seen(L"click").size() == 3; }, 10000);
  PumpUntil([] { return false; }, 300);  // nothing more comes
  EXPECT_EQ(window_.Seen(L"click"), (Names{L"click:looks", L"click:looks", L"click:second"}));
}

TEST_F(LeafInputTest, ThePointerGivesHotAndPushedLooks) {
  const UIRect button = Find(L"looks")->GetPos();
  const UIPoint middle = Middle(button);
  const UIPoint below{middle.x, 100};
  EXPECT_TRUE(Shows(middle, RGB(0x80, 0x80, 0x80)));
  // Wine watches a tracked window by the cursor position it last learnt, which under load can
  // lag behind the pointer that has just arrived and end the hover at once; a user's pointer
  // does not stop on its first pixel, and the next move brings the hover back.
  ASSERT_TRUE(realinput::Xdotool(L"mousemove " + At(middle) + L" sleep 0.3 mousemove_relative 1 0"));
  EXPECT_TRUE(Shows(middle, RGB(0, 0xC0, 0))) << "hot";
  ASSERT_TRUE(realinput::Xdotool(L"mousemove_relative -- -1 0 mousedown 1"));
  EXPECT_TRUE(Shows(middle, RGB(0xC0, 0, 0))) << "pushed";
  // Out with the button held: no longer pushed, and the release out there clicks nothing.
  ASSERT_TRUE(realinput::Xdotool(L"mousemove " + At(below)));
  EXPECT_TRUE(Shows(middle, RGB(0, 0xC0, 0))) << "pressed elsewhere";
  // The hover is decided again at the next move after the release.
  ASSERT_TRUE(realinput::Xdotool(L"mouseup 1 mousemove_relative 0 1"));
  EXPECT_TRUE(Shows(middle, RGB(0x80, 0x80, 0x80))) << "left";
  PumpUntil([] { return false; }, 300);
  EXPECT_TRUE(window_.Seen(L"click").empty());
  // Pressed and released over it: pushed, then one click.
  ASSERT_TRUE(realinput::Xdotool(L"mousemove " + At(middle) + L" click 1"));
  EXPECT_TRUE(PumpUntil([&] { return window_.Seen(L"click").size() == 1; }, 5000));
  EXPECT_EQ(window_.Seen(L"click"), (Names{L"click:looks"}));
}

TEST_F(LeafInputTest, LinksOfTextReportTheirIndexAndALinkInAButtonClicksTheButton) {
  auto* text = static_cast<CTextUI*>(Find(L"text")->GetInterface(L"Text"));
  ASSERT_NE(text, nullptr);
  ASSERT_EQ(text->GetLinkCount(), 2);
  EXPECT_EQ(std::wstring(*text->GetLinkTarget(1)), L"second");
  ASSERT_TRUE(realinput::Xdotool(L"mousemove " + At(Middle(*text->GetLinkRect(1))) + L" click 1"));
  EXPECT_TRUE(PumpUntil([&] { return !window_.Seen(L"link").empty(); }, 5000));
  EXPECT_EQ(window_.Seen(L"link"), (Names{L"link:text#1"}));

  // The button's link is drawn in the link colour and underlined: one row of link-coloured
  // pixels as wide as the word.
  const UIRect button = Find(L"linked")->GetPos();
  int widestRow = 0, inkLeft = INT_MAX, inkRight = INT_MIN;
  HDC dc = GetDC(window_.Hwnd());
  for (int y = button.top; y < button.bottom; ++y) {
    int row = 0;
    for (int x = button.left; x < button.right; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      if (GetBValue(c) > 160 && GetRValue(c) < 100 && GetGValue(c) < 100) {
        ++row;
        inkLeft = std::min(inkLeft, x);
        inkRight = std::max(inkRight, x);
      }
    }
    widestRow = std::max(widestRow, row);
  }
  ReleaseDC(window_.Hwnd(), dc);
  ASSERT_GT(inkRight - inkLeft, 20);
  EXPECT_GE(widestRow, (inkRight - inkLeft) * 9 / 10) << "underlined";

  ASSERT_TRUE(realinput::Xdotool(L"mousemove " + At(Middle(button)) + L" click 1"));
  EXPECT_TRUE(PumpUntil([&] { return !window_.Seen(L"click").empty(); }, 5000));
  EXPECT_EQ(window_.Seen(L"click"), (Names{L"click:linked"}));
  EXPECT_EQ(window_.Seen(L"link").size(), 1u);
}

}  // namespace
