// The faces the skins name, as the test prefix provides them, checked before any test that
// draws the skins: every character of the setup's scripts comes out as a glyph of its own, not
// as the box a face draws for a character it lacks (the drawing of unassigned code points), and
// Arabic runs right to left. Text is drawn by the toolkit with fonts of the default character
// set, as the skins' fonts are made. Canvases are saved under build/<preset>/skin-paint/.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/Encoding.h"
#include "skin_ui/SkinRenderer.h"
#include "skin_ui/TextFormat.h"
#include "skin_ui/WindowManagerUI.h"
#include "tests/skin_ui/win32/PaintCanvas.h"

namespace {

using namespace SkinUI;
using namespace skintest::paint;

constexpr int kCell = 64;

// The dark pixels of one character drawn alone, row by row.
using Ink = std::vector<bool>;

class FontSmokeTest : public ::testing::Test {
 protected:
  void SetUp() override { manager_.Init(nullptr); }
  void TearDown() override { CWindowManagerUI::ResetSharedResources(); }

  // Draws `text` at 40 pixels in `face` on a white canvas of `width` and saves it as `name`.
  Ink Draw(const wchar_t* face, const std::wstring& text, int width, const std::wstring& name) {
    manager_.AddFont(0, face, 40, false, false, false);
    Canvas canvas(width, kCell, 0xFFFFFF);
    UIRect rect{0, 0, width, kCell};
    CSkinRenderer::DrawPlainText(canvas.dc(), manager_, rect, text.c_str(), 0xFF000000, 0,
                                 kTextSingleLine | kTextCenter | kTextVCenter);
    canvas.Save(L"fonts-" + name);
    Ink ink;
    for (int y = 0; y < kCell; ++y)
      for (int x = 0; x < width; ++x) ink.push_back(ToRgb(canvas.At(x, y)).g < 128);
    return ink;
  }

  CWindowManagerUI manager_;
};

struct Script {
  const wchar_t* name;
  const wchar_t* face;    // the face of the skin that shows it
  const wchar_t* sample;  // words of the setup's translations
};

const Script kScripts[] = {
    {L"latin", L"Segoe UI", L"Installieren\u00e9\u00e7\u00f1\u00f6\u00e5\u00e3"},
    {L"chinese", L"Segoe UI", L"\u5b89\u88c5\u5b89\u88dd\u6d4f\u89c8\u700f\u89bd"},
    {L"japanese", L"Segoe UI", L"\u30a4\u30f3\u30b9\u30c8\u30fc\u30eb\u53c2\u7167"},
    {L"korean", L"Segoe UI", L"\uc124\uce58\ucc3e\uc544\ubcf4\uae30"},
    {L"thai", L"Segoe UI", L"\u0e15\u0e34\u0e14\u0e15\u0e31\u0e49\u0e07\u0e40\u0e23\u0e35\u0e22\u0e01\u0e14\u0e39"},
    {L"arabic", L"Tahoma", L"\u062a\u062b\u0628\u064a\u062a\u0627\u0633\u0639\u0631\u0636"},
    {L"latin-rtl", L"Tahoma", L"Install"},
};

// Code points no Unicode version assigns: every face draws its box for them.
const wchar_t* const kUnassigned[] = {L"\u0378", L"\u0e5c", L"\u05ff", L"\u1cbb"};

TEST_F(FontSmokeTest, EveryCharacterOfTheSetupsScriptsHasAGlyph) {
  for (const Script& script : kScripts) {
    std::vector<Ink> boxes;
    for (const wchar_t* unassigned : kUnassigned)
      boxes.push_back(Draw(script.face, unassigned, kCell, std::wstring(script.name) + L"-box"));
    ASSERT_TRUE(std::count(boxes[0].begin(), boxes[0].end(), true) > 0) << "the box shows";
    const std::wstring sample = script.sample;
    for (size_t i = 0; i < sample.size(); ++i) {
      const std::wstring character(1, sample[i]);
      const Ink ink = Draw(script.face, character, kCell, std::wstring(script.name) + L"-" + std::to_wstring(i));
      char code[8];
      snprintf(code, sizeof code, "%04X", static_cast<unsigned>(sample[i]));
      EXPECT_GT(std::count(ink.begin(), ink.end(), true), 0) << "U+" << code << " of " << encoding::WideToUtf8(script.name)
                                                             << " draws nothing in " << encoding::WideToUtf8(script.face);
      for (const Ink& box : boxes)
        EXPECT_NE(ink, box) << "U+" << code << " of " << encoding::WideToUtf8(script.name) << " is drawn as the box of "
                            << encoding::WideToUtf8(script.face);
    }
    Draw(script.face, sample, 640, std::wstring(script.name) + L"-sample");
  }
}

// Alef joins nothing on its left and rises far above dal: drawn right to left, the first letter
// of "\u0627\u062f" stands on the right and its top is the top of the ink.
TEST_F(FontSmokeTest, ArabicRunsRightToLeft) {
  const int width = 200;
  const Ink ink = Draw(L"Tahoma", L"\u0627\u062f", width, L"arabic-order");
  int left = width, right = -1, topRow = kCell, topColumn = -1;
  for (int y = 0; y < kCell; ++y)
    for (int x = 0; x < width; ++x) {
      if (!ink[y * width + x]) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      if (y < topRow) {
        topRow = y;
        topColumn = x;
      }
    }
  ASSERT_GE(right, left) << "the word shows";
  EXPECT_GT(topColumn, (left + right) / 2) << "alef, the first letter, is on the right: ink " << left << "-" << right
                                          << ", top at column " << topColumn;
}

}  // namespace
