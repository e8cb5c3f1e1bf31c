// The leaf controls painted by the toolkit, checked by their pixels: a check box's picture at its
// destination, the bar's share, white text from a colour without alpha, and a right-to-left skin
// that draws the mirror image of its left-to-right twin. Canvases are saved under
// build/<preset>/skin-paint/ like those of the drawing tests.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "skin_ui/DialogBuilder.h"
#include "skin_ui/OptionUI.h"
#include "skin_ui/ProgressUI.h"
#include "skin_ui/SkinArchive.h"
#include "skin_ui/WindowManagerUI.h"
#include "tests/skin_ui/win32/PaintCanvas.h"
#include "tests/support/ZipBuilder.h"

namespace {

using namespace SkinUI;
using namespace skintest::paint;

constexpr Rgb kGreen{0, 0xC0, 0};
constexpr Rgb kGrey{0x80, 0x80, 0x80};

class LeafPaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<uint32_t> checked(14 * 14, 0xFF00C000);
    checked[0] = 0xFFFF0000;  // shows where the picture's left-top lands
    const std::string zip = testsupport::ZipBuilder()
                                .File("img/checked.png", Picture(14, 14, checked))
                                .File("img/unchecked.png", Picture(14, 14, std::vector<uint32_t>(14 * 14, 0xFF808080)))
                                .File("img/green.png", Picture(14, 14, std::vector<uint32_t>(14 * 14, 0xFF00C000)))
                                .File("img/fill.png", Picture(1, 1, {0xFF0000FF}))
                                .File("img/track.png", Picture(1, 1, {0xFFFFFFFF}))
                                .Build();
    ASSERT_TRUE(SetSkinArchiveMemory(zip.data(), zip.size()));
    manager_.Init(nullptr);
  }
  void TearDown() override {
    ResetSkinSource();
    CWindowManagerUI::ResetSharedResources();
  }

  // Builds `body` in a vertical layout of `size` (with a large bold default face, so glyph
  // cores are wide enough to sample) and paints it on a white canvas.
  void Paint(const std::wstring& body, Canvas& canvas, UISize size) { Paint(manager_, body, canvas, size); }
  static void Paint(CWindowManagerUI& manager, const std::wstring& body, Canvas& canvas, UISize size) {
    const std::wstring xml = L"<Window><Font id=\"0\" name=\"Noto Sans\" size=\"32\" bold=\"true\" default=\"true\"/>"
                             L"<VerticalLayout>" + body + L"</VerticalLayout></Window>";
    CDialogBuilder builder;
    CControlUI* root = builder.Create(xml.c_str(), nullptr, nullptr, &manager);
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(manager.AttachRoot(root));
    const UIRect all{0, 0, size.cx, size.cy};
    manager.UpdateLayout(all);
    root->Paint(canvas.dc(), all, nullptr);
  }
  template <class T>
  T* Find(const wchar_t* name) {
    return static_cast<T*>(manager_.FindControl(name));
  }

  CWindowManagerUI manager_;
};

TEST_F(LeafPaintTest, TheCheckBoxPictureSitsAtItsDestination) {
  // The setup window's check box: a 14 × 14 picture at (0, 8) of a 20 × 30 control.
  Canvas canvas(40, 50, 0xFFFFFF);
  Paint(L"<CheckBox name=\"box\" float=\"true\" pos=\"10,10,30,40\" selected=\"true\""
        L" normalimage=\"file='img/unchecked.png' dest='0,8,14,22'\""
        L" selectedimage=\"file='img/checked.png' dest='0,8,14,22'\"/>",
        canvas, UISize{40, 50});
  canvas.Save(L"checkbox-selected");
  EXPECT_TRUE(Near(canvas.At(10, 18), kRed, 0));
  EXPECT_TRUE(Near(canvas.At(11, 19), kGreen, 0));
  EXPECT_TRUE(Near(canvas.At(23, 31), kGreen, 0));
  EXPECT_TRUE(Near(canvas.At(24, 31), kWhite, 0));
  EXPECT_TRUE(Near(canvas.At(10, 17), kWhite, 0));
  EXPECT_TRUE(Near(canvas.At(10, 32), kWhite, 0));

  Find<CCheckBoxUI>(L"box")->Selected(false);
  Canvas cleared(40, 50, 0xFFFFFF);
  manager_.GetRoot()->Paint(cleared.dc(), UIRect{0, 0, 40, 50}, nullptr);
  cleared.Save(L"checkbox-cleared");
  EXPECT_TRUE(Near(cleared.At(10, 18), kGrey, 0));
  EXPECT_TRUE(Near(cleared.At(23, 31), kGrey, 0));
  EXPECT_TRUE(Near(cleared.At(24, 31), kWhite, 0));
}

TEST_F(LeafPaintTest, TheBarFillsItsShareOfTheTrack) {
  Canvas canvas(200, 12, 0x000000);
  Paint(L"<Progress name=\"bar\" value=\"30\" bkimage=\"img/track.png\" foreimage=\"img/fill.png\"/>", canvas,
        UISize{200, 12});
  canvas.Save(L"progress-30");
  for (int x : {0, 30, 59}) EXPECT_TRUE(Near(canvas.At(x, 6), kBlue, 0)) << x;
  for (int x : {60, 100, 199}) EXPECT_TRUE(Near(canvas.At(x, 6), kWhite, 0)) << x;

  Find<CProgressUI>(L"bar")->SetValue(150);
  manager_.GetRoot()->Paint(canvas.dc(), UIRect{0, 0, 200, 12}, nullptr);
  canvas.Save(L"progress-150");
  EXPECT_TRUE(Near(canvas.At(199, 6), kBlue, 0));
}

TEST_F(LeafPaintTest, ATextColourWithoutAlphaDrawsItsColour) {
  Canvas canvas(200, 60, 0xFFFFFF);
  Paint(L"<Button text=\"HIH\" bkcolor=\"#FF000000\" textcolor=\"#00FFFFFF\"/>", canvas, UISize{200, 60});
  canvas.Save(L"button-white-text");
  const UIRect all{0, 0, 200, 60};
  EXPECT_GT(Cores(canvas, all, kWhite, 0).size(), 100u);
}

// The ink of dark text in `area`: its bounding box.
UIRect InkBox(const Canvas& canvas, UIRect area) {
  UIRect box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      if (ToRgb(canvas.At(x, y)).r > 128) continue;
      box.left = std::min(box.left, x);
      box.top = std::min(box.top, y);
      box.right = std::max(box.right, x + 1);
      box.bottom = std::max(box.bottom, y + 1);
    }
  return box;
}

TEST_F(LeafPaintTest, ARightToLeftSkinDrawsTheMirrorImage) {
  // The same controls both ways: right-to-left skins mirror themselves through their
  // attributes (alignment, picture places, the bar's pictures swapped at 100 - value).
  // A Latin word: under Wine the measured width of a joined Arabic word exceeds what is drawn
  // (by 20 px for this one), so a right-aligned Arabic word ends short of the edge there. The
  // font smoke test proves that Arabic itself runs right to left.
  const std::wstring word = L"Mirror";
  const std::wstring leftToRight =
      L"<Label text=\"" + word + L"\" height=\"50\" textcolor=\"#FF000000\"/>"
      L"<CheckBox height=\"30\" normalimage=\"file='img/green.png' dest='0,8,14,22'\"/>"
      L"<Progress value=\"30\" bkimage=\"img/track.png\" foreimage=\"img/fill.png\"/>";
  const std::wstring rightToLeft =
      L"<Label text=\"" + word + L"\" height=\"50\" align=\"right\" textcolor=\"#FF000000\"/>"
      L"<CheckBox height=\"30\" normalimage=\"file='img/green.png' dest='186,8,200,22'\"/>"
      L"<Progress value=\"70\" bkimage=\"img/fill.png\" foreimage=\"img/track.png\"/>";
  const UISize size{200, 92};
  Canvas ltr(size.cx, size.cy, 0xFFFFFF);
  Paint(leftToRight, ltr, size);
  ltr.Save(L"mirror-ltr");
  CWindowManagerUI mirrored;
  mirrored.Init(nullptr);
  Canvas rtl(size.cx, size.cy, 0xFFFFFF);
  Paint(mirrored, rightToLeft, rtl, size);
  rtl.Save(L"mirror-rtl");

  // Below the text every pixel is its mirror's.
  int differing = 0;
  for (int y = 50; y < size.cy; ++y)
    for (int x = 0; x < size.cx; ++x) differing += ltr.At(x, y) != rtl.At(size.cx - 1 - x, y);
  EXPECT_EQ(differing, 0);
  EXPECT_TRUE(Near(rtl.At(190, 60), kGreen, 0));
  EXPECT_TRUE(Near(rtl.At(199, 86), kBlue, 0));
  EXPECT_TRUE(Near(rtl.At(130, 86), kWhite, 0));

  // The text is not mirrored letter by letter; it sits at the mirrored place, give or take the
  // two outer letters' different side bearings.
  const UIRect a = InkBox(ltr, UIRect{0, 0, size.cx, 50});
  const UIRect b = InkBox(rtl, UIRect{0, 0, size.cx, 50});
  ASSERT_GT(a.Width(), 20);
  EXPECT_LE(a.left, 4);
  EXPECT_EQ(b.Width(), a.Width());
  EXPECT_LE(std::abs(b.right - (size.cx - a.left)), 3);
  EXPECT_EQ(a.top, b.top);
}

}  // namespace
