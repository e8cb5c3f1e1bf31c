#include "skin_ui/NineGrid.h"

#include <algorithm>
#include <cstdint>

namespace SkinUI {

namespace {

struct Insets {
  int64_t lead;
  int64_t trail;
};

// The two insets of one axis within `length`.
Insets FitInsets(int64_t length, int64_t lead, int64_t trail) {
  lead = std::max<int64_t>(lead, 0);
  trail = std::max<int64_t>(trail, 0);
  if (lead + trail > length) {
    lead = length * lead / (lead + trail);
    trail = length - lead;
  }
  return Insets{lead, trail};
}

UIRect MakeRect(int64_t left, int64_t top, int64_t right, int64_t bottom) {
  return UIRect{Saturate(left), Saturate(top), Saturate(right), Saturate(bottom)};
}

// Calls `place`(position, length) for the tiles of `tile` pixels from `start` to `end` (the last
// one cut) that meet [visibleStart, visibleEnd).
template <class Place>
void ForEachTile(int64_t start, int64_t end, int64_t tile, int64_t visibleStart, int64_t visibleEnd, Place place) {
  const int64_t first = visibleStart > start ? (visibleStart - start) / tile : 0;
  for (int64_t pos = start + first * tile; pos < end && pos < visibleEnd; pos += tile)
    place(pos, std::min(tile, end - pos));
}

}  // namespace

void ForEachNineGridPiece(const UINineGrid& grid, const UIRect& dirty, const NineGridSink& sink) {
  const UIRect& d = grid.dest;
  const UIRect& s = grid.source;
  if (d.IsEmpty() || s.IsEmpty() || dirty.IsEmpty()) return;
  const Insets dx = FitInsets(d.Width(), grid.corner.left, grid.corner.right);
  const Insets dy = FitInsets(d.Height(), grid.corner.top, grid.corner.bottom);
  const Insets sx = FitInsets(s.Width(), grid.corner.left, grid.corner.right);
  const Insets sy = FitInsets(s.Height(), grid.corner.top, grid.corner.bottom);

  const auto emit = [&](const UIRect& dest, const UIRect& source) {
    UIRect meets = dest;
    if (source.IsEmpty() || !meets.Intersect(dirty)) return;
    sink(dest, source);
  };

  // Column and row edges of the destination and the source: outer, inner, inner, outer.
  const int64_t dcol[4] = {d.left, d.left + dx.lead, d.right - dx.trail, d.right};
  const int64_t drow[4] = {d.top, d.top + dy.lead, d.bottom - dy.trail, d.bottom};
  const int64_t scol[4] = {s.left, s.left + sx.lead, s.right - sx.trail, s.right};
  const int64_t srow[4] = {s.top, s.top + sy.lead, s.bottom - sy.trail, s.bottom};
  const auto cell = [&](int col, int row) {
    emit(MakeRect(dcol[col], drow[row], dcol[col + 1], drow[row + 1]),
         MakeRect(scol[col], srow[row], scol[col + 1], srow[row + 1]));
  };

  if (!grid.hole) {
    const UIRect dm = MakeRect(dcol[1], drow[1], dcol[2], drow[2]);
    const UIRect sm = MakeRect(scol[1], srow[1], scol[2], srow[2]);
    if (!dm.IsEmpty() && !sm.IsEmpty()) {
      const int64_t tileWidth = sm.Width();
      const int64_t tileHeight = sm.Height();
      if (grid.xtiled && grid.ytiled) {
        ForEachTile(dm.top, dm.bottom, tileHeight, dirty.top, dirty.bottom, [&](int64_t y, int64_t h) {
          ForEachTile(dm.left, dm.right, tileWidth, dirty.left, dirty.right, [&](int64_t x, int64_t w) {
            emit(MakeRect(x, y, x + w, y + h), MakeRect(sm.left, sm.top, sm.left + w, sm.top + h));
          });
        });
      } else if (grid.xtiled) {
        ForEachTile(dm.left, dm.right, tileWidth, dirty.left, dirty.right, [&](int64_t x, int64_t w) {
          emit(MakeRect(x, dm.top, x + w, dm.bottom), MakeRect(sm.left, sm.top, sm.left + w, sm.bottom));
        });
      } else if (grid.ytiled) {
        ForEachTile(dm.top, dm.bottom, tileHeight, dirty.top, dirty.bottom, [&](int64_t y, int64_t h) {
          emit(MakeRect(dm.left, y, dm.right, y + h), MakeRect(sm.left, sm.top, sm.right, sm.top + h));
        });
      } else {
        emit(dm, sm);
      }
    }
  }
  cell(0, 0);  // top-left
  cell(1, 0);  // top
  cell(2, 0);  // top-right
  cell(0, 1);  // left
  cell(2, 1);  // right
  cell(0, 2);  // bottom-left
  cell(1, 2);  // bottom
  cell(2, 2);  // bottom-right
}

}  // namespace SkinUI
