#pragma once
// Small pieces the GDI renderer files share: colour conversion, a memory device context with a
// bitmap selected for its lifetime, and the run-time lookup of the graphics library's blend
// and gradient calls.

#include <windows.h>

#include "skin_ui/UIDefs.h"

namespace SkinUI::gdi {

inline HDC ToDC(NativeDC dc) { return static_cast<HDC>(dc); }

// Red, green and blue of 0xAARRGGBB in GDI's 0x00BBGGRR order.
inline COLORREF ToColorRef(UIColor color) { return RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF); }

inline RECT ToRECT(const UIRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// A device context compatible with `reference`, with `bitmap` selected until it ends.
class MemoryDC {
 public:
  MemoryDC(HDC reference, HBITMAP bitmap) : dc_(CreateCompatibleDC(reference)) {
    if (dc_) previous_ = SelectObject(dc_, bitmap);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  ~MemoryDC() {
    if (!dc_) return;
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
  }
  explicit operator bool() const { return dc_ != nullptr; }
  operator HDC() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ previous_ = nullptr;
};

using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
using GradientFillFunction = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// What "msimg32.dll" offers in this process; null members are replaced by the renderer's own.
struct GraphicsLibrary {
  AlphaBlendFunction alphaBlend = nullptr;
  GradientFillFunction gradientFill = nullptr;
};
const GraphicsLibrary& Library();

// `rect` filled with the opaque colour.
void FillSolid(HDC dc, const UIRect& rect, UIColor color);

}  // namespace SkinUI::gdi
