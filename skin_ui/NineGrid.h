#pragma once
// The geometry of drawing a picture into a rectangle as a nine-grid: unstretched corners, edges
// stretched along their length, and a middle that is stretched, tiled or left out. Pure integer
// arithmetic; the renderer draws the pieces it is given.

#include <functional>

#include "skin_ui/UIDefs.h"

namespace SkinUI {

struct UINineGrid {
  UIRect dest{};
  UIRect source{};  // in image pixels
  UIRect corner{};  // insets: left, top, right, bottom widths
  bool hole = false;
  bool xtiled = false;
  bool ytiled = false;
};

// Receives one piece: where it goes and the part of the picture drawn there (stretched when the
// two differ in size). Both are never empty.
using NineGridSink = std::function<void(const UIRect& dest, const UIRect& source)>;

// Calls `sink` for each piece of `grid` that meets `dirty`: the middle (unless `hole`), then
// the top-left corner, top edge, top-right corner, left edge, right edge, bottom-left corner,
// bottom edge and bottom-right corner. Insets that are negative count as 0; insets that do not
// fit the destination or the source together are shrunk in proportion, so no piece ever has a
// negative size. Tiles are visited only where they meet `dirty`.
void ForEachNineGridPiece(const UINineGrid& grid, const UIRect& dirty, const NineGridSink& sink);

}  // namespace SkinUI
