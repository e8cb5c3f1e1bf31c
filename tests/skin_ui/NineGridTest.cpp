// The nine-grid pieces, and the blend and gradient the renderer falls back on.

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "skin_ui/NineGrid.h"
#include "skin_ui/PixelBlend.h"

namespace SkinUI {
std::ostream& operator<<(std::ostream& os, const UIRect& r) {
  return os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}
}  // namespace SkinUI

namespace {

using namespace SkinUI;

struct Piece {
  UIRect dest;
  UIRect source;
  bool operator==(const Piece&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Piece& p) { return os << p.dest << "<-" << p.source; }

std::vector<Piece> Pieces(const UINineGrid& grid, UIRect dirty = UIRect{-100000, -100000, 2000000, 2000000}) {
  std::vector<Piece> pieces;
  ForEachNineGridPiece(grid, dirty, [&](const UIRect& d, const UIRect& s) { pieces.push_back(Piece{d, s}); });
  return pieces;
}

TEST(NineGridTest, PiecesOfTheGrid) {
  const struct {
    const char* what;
    UINineGrid grid;
    UIRect dirty;
    std::vector<Piece> expected;
  } cases[] = {
      {"no insets: the picture stretched", {{10, 10, 110, 60}, {0, 0, 20, 20}, {}}, {0, 0, 999, 999},
       {{{10, 10, 110, 60}, {0, 0, 20, 20}}}},
      {"four insets: middle, then corners and edges",
       {{10, 10, 110, 60}, {0, 0, 20, 20}, {4, 4, 4, 4}},
       {0, 0, 999, 999},
       {{{14, 14, 106, 56}, {4, 4, 16, 16}},
        {{10, 10, 14, 14}, {0, 0, 4, 4}},
        {{14, 10, 106, 14}, {4, 0, 16, 4}},
        {{106, 10, 110, 14}, {16, 0, 20, 4}},
        {{10, 14, 14, 56}, {0, 4, 4, 16}},
        {{106, 14, 110, 56}, {16, 4, 20, 16}},
        {{10, 56, 14, 60}, {0, 16, 4, 20}},
        {{14, 56, 106, 60}, {4, 16, 16, 20}},
        {{106, 56, 110, 60}, {16, 16, 20, 20}}}},
      {"hole: no middle",
       {{0, 0, 30, 30}, {0, 0, 9, 9}, {3, 3, 3, 3}, true},
       {0, 0, 999, 999},
       {{{0, 0, 3, 3}, {0, 0, 3, 3}},
        {{3, 0, 27, 3}, {3, 0, 6, 3}},
        {{27, 0, 30, 3}, {6, 0, 9, 3}},
        {{0, 3, 3, 27}, {0, 3, 3, 6}},
        {{27, 3, 30, 27}, {6, 3, 9, 6}},
        {{0, 27, 3, 30}, {0, 6, 3, 9}},
        {{3, 27, 27, 30}, {3, 6, 6, 9}},
        {{27, 27, 30, 30}, {6, 6, 9, 9}}}},
      {"only a left inset, source from part of the picture",
       {{0, 0, 50, 10}, {10, 20, 30, 30}, {5, 0, 0, 0}},
       {0, 0, 999, 999},
       {{{5, 0, 50, 10}, {15, 20, 30, 30}}, {{0, 0, 5, 10}, {10, 20, 15, 30}}}},
      {"insets wider than the destination shrink in proportion, never negative",
       {{0, 0, 10, 10}, {0, 0, 40, 40}, {15, 15, 15, 15}},
       {0, 0, 999, 999},
       {{{0, 0, 5, 5}, {0, 0, 15, 15}},
        {{5, 0, 10, 5}, {25, 0, 40, 15}},
        {{0, 5, 5, 10}, {0, 25, 15, 40}},
        {{5, 5, 10, 10}, {25, 25, 40, 40}}}},
      {"unequal insets that do not fit: 30 and 10 in 20 become 15 and 5",
       {{0, 0, 20, 8}, {0, 0, 50, 8}, {30, 0, 10, 0}},
       {0, 0, 999, 999},
       {{{0, 0, 15, 8}, {0, 0, 30, 8}}, {{15, 0, 20, 8}, {40, 0, 50, 8}}}},
      {"negative insets count as 0", {{0, 0, 8, 8}, {0, 0, 4, 4}, {-3, -3, -3, -3}}, {0, 0, 999, 999},
       {{{0, 0, 8, 8}, {0, 0, 4, 4}}}},
      {"empty source: nothing", {{0, 0, 8, 8}, {3, 3, 3, 9}, {1, 1, 1, 1}}, {0, 0, 999, 999}, {}},
      {"empty destination: nothing", {{5, 5, 5, 20}, {0, 0, 4, 4}}, {0, 0, 999, 999}, {}},
      {"x-tiled middle: source-wide tiles, the last cut, full height",
       {{0, 0, 25, 30}, {0, 0, 10, 10}, {}, false, true, false},
       {0, 0, 999, 999},
       {{{0, 0, 10, 30}, {0, 0, 10, 10}}, {{10, 0, 20, 30}, {0, 0, 10, 10}}, {{20, 0, 25, 30}, {0, 0, 5, 10}}}},
      {"y-tiled middle inside insets (the dirty rectangle leaves out the edges)",
       {{0, 0, 12, 18}, {0, 0, 6, 8}, {1, 1, 1, 1}, false, false, true},
       {1, 1, 11, 17},
       {{{1, 1, 11, 7}, {1, 1, 5, 7}},
        {{1, 7, 11, 13}, {1, 1, 5, 7}},
        {{1, 13, 11, 17}, {1, 1, 5, 5}}}},
      {"both tiled: a grid of unstretched tiles",
       {{0, 0, 25, 15}, {0, 0, 10, 10}, {}, false, true, true},
       {0, 0, 999, 999},
       {{{0, 0, 10, 10}, {0, 0, 10, 10}},
        {{10, 0, 20, 10}, {0, 0, 10, 10}},
        {{20, 0, 25, 10}, {0, 0, 5, 10}},
        {{0, 10, 10, 15}, {0, 0, 10, 5}},
        {{10, 10, 20, 15}, {0, 0, 10, 5}},
        {{20, 10, 25, 15}, {0, 0, 5, 5}}}},
      {"only the pieces meeting the dirty rectangle",
       {{10, 10, 110, 60}, {0, 0, 20, 20}, {4, 4, 4, 4}},
       {0, 0, 12, 12},
       {{{10, 10, 14, 14}, {0, 0, 4, 4}}}},
      {"only the tiles meeting the dirty rectangle",
       {{0, 0, 25, 10}, {0, 0, 10, 10}, {}, false, true, false},
       {12, 0, 14, 10},
       {{{10, 0, 20, 10}, {0, 0, 10, 10}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Pieces(c.grid, c.dirty), c.expected);
  }
}

TEST(NineGridTest, NoPieceIsEverEmptyOrOutsideItsRectangles) {
  for (int width = 0; width <= 24; width += 3) {
    for (int inset = -2; inset <= 30; inset += 4) {
      for (int sourceWidth = 0; sourceWidth <= 12; sourceWidth += 4) {
        const UINineGrid grid{{5, 5, 5 + width, 5 + width / 2},
                              {1, 1, 1 + sourceWidth, 1 + sourceWidth},
                              {inset, inset / 2, inset + 1, inset},
                              false,
                              (width & 1) != 0,
                              (inset & 2) != 0};
        for (const Piece& p : Pieces(grid)) {
          EXPECT_FALSE(p.dest.IsEmpty()) << p;
          EXPECT_FALSE(p.source.IsEmpty()) << p;
          UIRect inside = p.dest;
          inside.Intersect(grid.dest);
          EXPECT_EQ(inside, p.dest) << p;
          inside = p.source;
          inside.Intersect(grid.source);
          EXPECT_EQ(inside, p.source) << p;
        }
      }
    }
  }
  // A million one-pixel tiles across, but only the ten that meet the dirty rectangle are visited.
  const UINineGrid wide{{0, 0, 1000000, 4}, {0, 0, 1, 4}, {}, false, true, false};
  EXPECT_EQ(Pieces(wide, UIRect{500000, 0, 500010, 4}).size(), 10u);
}

TEST(PixelBlendTest, BlendRoundsAsTheSystemBlend) {
  const struct {
    uint32_t dest;
    uint32_t source;
    uint8_t constantAlpha;
    uint32_t expected;
  } cases[] = {
      {0xFF123456, 0xFFABCDEF, 255, 0xFFABCDEF},  // opaque source replaces
      {0xFF123456, 0x00000000, 255, 0xFF123456},  // transparent source leaves
      {0xFFFFFFFF, 0x80800000, 255, 0xFFFF7F7F},  // half-transparent premultiplied red over white
      {0xFFFFFFFF, 0xFFFF0000, 128, 0xFFFF7F7F},  // opaque red at constant alpha 128
      {0xFF000000, 0xFF00FF00, 64, 0xFF004000},
      {0xFF204060, 0x80402010, 128, 0xFF384050},
  };
  for (const auto& c : cases) EXPECT_EQ(BlendPixel(c.dest, c.source, c.constantAlpha), c.expected) << std::hex << c.source;
}

TEST(PixelBlendTest, StretchedBlendTakesTheNearestSourcePixel) {
  const uint32_t source[] = {0xFF0000FF, 0xFF00FF00, 0xDEADBEEF,  // third column beyond the width
                             0xFFFF0000, 0x00000000, 0xDEADBEEF};
  std::vector<uint32_t> dest(4 * 2, 0xFFFFFFFF);
  BlendStretched(dest.data(), UIRect{0, 0, 4, 2}, 4, 2, source, 3, 2, 2, 255);
  EXPECT_EQ(dest, (std::vector<uint32_t>{0xFF0000FF, 0xFF0000FF, 0xFF00FF00, 0xFF00FF00,  //
                                         0xFFFF0000, 0xFFFF0000, 0xFFFFFFFF, 0xFFFFFFFF}));
  // Only a part of the destination in the buffer: the same pixels as in the whole.
  std::vector<uint32_t> part(2, 0xFFFFFFFF);
  BlendStretched(part.data(), UIRect{1, 1, 3, 2}, 4, 2, source, 3, 2, 2, 255);
  EXPECT_EQ(part, (std::vector<uint32_t>{0xFFFF0000, 0xFFFFFFFF}));
  std::vector<uint32_t> one(3, 0xFF000000);
  const uint32_t grey = 0x80808080;
  BlendStretched(one.data(), UIRect{0, 0, 3, 1}, 3, 1, &grey, 1, 1, 1, 255);
  EXPECT_EQ(one, (std::vector<uint32_t>(3, 0xFF808080)));
}

TEST(PixelBlendTest, GradientBandsCoverTheRectangleWithTheColourOfTheirMiddle) {
  const int steps[] = {1, 3, 4, 7, 8, 15, 16, 31, 32, 63, 64, 1000};
  const int bands[] = {2, 2, 4, 4, 8, 8, 16, 16, 32, 32, 64, 64};
  for (size_t i = 0; i < std::size(steps); ++i) EXPECT_EQ(GradientBandCount(steps[i]), bands[i]) << steps[i];

  std::vector<std::pair<UIRect, UIColor>> seen;
  const auto record = [&seen](const UIRect& band, UIColor colour) { seen.emplace_back(band, colour); };
  ForEachGradientBand(UIRect{0, 10, 5, 110}, 0xFF000000, 0xFFFFFFFF, true, 8, record);
  ASSERT_EQ(seen.size(), 8u);
  int32_t next = 10;
  for (const auto& [band, colour] : seen) {
    EXPECT_EQ(band.top, next);
    EXPECT_EQ(band.left, 0);
    EXPECT_EQ(band.right, 5);
    next = band.bottom;
  }
  EXPECT_EQ(next, 110);
  EXPECT_EQ(seen.front().second, 0xFF0F0F0Fu);  // 1/16 of the way
  EXPECT_EQ(seen.back().second, 0xFFEFEFEFu);   // 15/16 of the way

  seen.clear();
  ForEachGradientBand(UIRect{0, 0, 3, 1}, 0x00FF0000, 0x800000FF, false, 2, record);
  ASSERT_EQ(seen.size(), 2u);  // three pixels in two bands
  EXPECT_EQ(seen[0].first, (UIRect{0, 0, 1, 1}));
  EXPECT_EQ(seen[1].first, (UIRect{1, 0, 3, 1}));
  EXPECT_EQ(seen[0].second, 0xFFC0003Fu);
  EXPECT_EQ(seen[1].second, 0xFF4000BFu);
}

}  // namespace
