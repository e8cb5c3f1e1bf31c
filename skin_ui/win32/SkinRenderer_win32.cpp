// The renderer's fills, lines, pictures, clips and capture with GDI. Blends and gradients use
// msimg32's calls when the process can load them, else the portable replacements of
// PixelBlend.h on a copy of the pixels beneath.

#include <windows.h>

#include <algorithm>
#include <vector>

#include "log/Logger.h"
#include "skin_ui/ControlUI.h"
#include "skin_ui/ImageDecoder.h"
#include "skin_ui/NativeDrawOps.h"
#include "skin_ui/NineGrid.h"
#include "skin_ui/PixelBlend.h"
#include "skin_ui/SkinRenderer.h"
#include "skin_ui/WindowManagerUI.h"
#include "skin_ui/win32/GdiSupport.h"

namespace SkinUI {

namespace gdi {

const GraphicsLibrary& Library() {
  static const GraphicsLibrary library = [] {
    GraphicsLibrary found;
    if (HMODULE module = LoadLibraryW(L"msimg32.dll")) {
      found.alphaBlend =
          reinterpret_cast<AlphaBlendFunction>(reinterpret_cast<void*>(GetProcAddress(module, "AlphaBlend")));
      found.gradientFill =
          reinterpret_cast<GradientFillFunction>(reinterpret_cast<void*>(GetProcAddress(module, "GradientFill")));
    }
    LOG_PRINT(kLog_Info, "skin renderer: AlphaBlend %s, GradientFill %s",
              found.alphaBlend ? "from msimg32.dll" : "replaced by the renderer's own",
              found.gradientFill ? "from msimg32.dll" : "replaced by solid bands");
    return found;
  }();
  return library;
}

void FillSolid(HDC dc, const UIRect& rect, UIColor color) {
  const COLORREF previous = SetBkColor(dc, ToColorRef(color));
  const RECT r = ToRECT(rect);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  SetBkColor(dc, previous);
}

}  // namespace gdi

namespace {

using gdi::ToDC;

// A picture's pixels as the blend takes them: a bitmap and the same pixels in memory.
struct PixelSource {
  HBITMAP bitmap;
  const uint32_t* pixels;
  int32_t stride;
};

// The renderer's own blend: the destination's pixels under the visible part of `dest` are
// copied out, blended in memory and copied back, so the device's clip still applies.
void OwnBlend(HDC dc, const UIRect& dest, const PixelSource& source, const UIRect& from, uint8_t constantAlpha) {
  RECT clipBox;
  if (GetClipBox(dc, &clipBox) == ERROR) return;
  UIRect visible = dest;
  if (!visible.Intersect(UIRect{clipBox.left, clipBox.top, clipBox.right, clipBox.bottom})) return;
  uint32_t* pixels = nullptr;
  HBITMAP buffer = static_cast<HBITMAP>(native::CreatePixelBitmap(visible.Width(), visible.Height(), &pixels));
  if (!buffer) return;
  {
    gdi::MemoryDC memory(dc, buffer);
    if (memory) {
      BitBlt(memory, 0, 0, visible.Width(), visible.Height(), dc, visible.left, visible.top, SRCCOPY);
      GdiFlush();
      UIRect part = visible;
      part.Offset(-int64_t{dest.left}, -int64_t{dest.top});
      BlendStretched(pixels, part, dest.Width(), dest.Height(), source.pixels + int64_t{from.top} * source.stride + from.left,
                     source.stride, from.Width(), from.Height(), constantAlpha);
      BitBlt(dc, visible.left, visible.top, visible.Width(), visible.Height(), memory, 0, 0, SRCCOPY);
    }
  }
  DeleteObject(buffer);
}

// `from` of the premultiplied `source` blended over `dest`.
void Blend(HDC dc, const UIRect& dest, const PixelSource& source, const UIRect& from, uint8_t constantAlpha) {
  if (dest.IsEmpty() || from.IsEmpty()) return;
  if (const gdi::AlphaBlendFunction alphaBlend = gdi::Library().alphaBlend) {
    gdi::MemoryDC memory(dc, source.bitmap);
    if (!memory) return;
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, constantAlpha, AC_SRC_ALPHA};
    alphaBlend(dc, dest.left, dest.top, dest.Width(), dest.Height(), memory, from.left, from.top, from.Width(),
               from.Height(), blend);
    return;
  }
  OwnBlend(dc, dest, source, from, constantAlpha);
}

// A bitmap of premultiplied pixels made for one drawing call.
class TemporaryBitmap {
 public:
  TemporaryBitmap(int32_t width, int32_t height)
      : bitmap_(static_cast<HBITMAP>(native::CreatePixelBitmap(width, height, &pixels_))), width_(width), height_(height) {}
  TemporaryBitmap(const TemporaryBitmap&) = delete;
  TemporaryBitmap& operator=(const TemporaryBitmap&) = delete;
  ~TemporaryBitmap() { native::DeletePixelBitmap(bitmap_); }
  explicit operator bool() const { return bitmap_ != nullptr; }
  HBITMAP Handle() const { return bitmap_; }
  uint32_t* Pixels() const { return pixels_; }
  PixelSource Source() const { return PixelSource{bitmap_, pixels_, width_}; }
  UIRect Whole() const { return UIRect{0, 0, width_, height_}; }

 private:
  uint32_t* pixels_ = nullptr;
  HBITMAP bitmap_;
  int32_t width_;
  int32_t height_;
};

// An opaque gradient over `rect`: the library's two-vertex rectangle, or solid bands.
void FillGradient(HDC dc, const UIRect& rect, UIColor first, UIColor second, bool vertical, int steps) {
  if (const gdi::GradientFillFunction gradientFill = gdi::Library().gradientFill) {
    const auto channel = [](UIColor color, int shift) { return static_cast<COLOR16>(((color >> shift) & 0xFF) << 8); };
    TRIVERTEX vertices[2] = {
        {rect.left, rect.top, channel(first, 16), channel(first, 8), channel(first, 0), 0xFF00},
        {rect.right, rect.bottom, channel(second, 16), channel(second, 8), channel(second, 0), 0xFF00},
    };
    GRADIENT_RECT mesh{0, 1};
    gradientFill(dc, vertices, 2, &mesh, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
    return;
  }
  ForEachGradientBand(rect, first, second, vertical, steps,
                      [dc](const UIRect& band, UIColor color) { gdi::FillSolid(dc, band, color); });
}

// A pen for one drawing call, selected with a hollow brush.
class PenScope {
 public:
  PenScope(HDC dc, int style, int32_t width, UIColor color)
      : dc_(dc), pen_(CreatePen(style, width, gdi::ToColorRef(color))) {
    previousPen_ = SelectObject(dc_, pen_);
    previousBrush_ = SelectObject(dc_, GetStockObject(NULL_BRUSH));
  }
  PenScope(const PenScope&) = delete;
  PenScope& operator=(const PenScope&) = delete;
  ~PenScope() {
    SelectObject(dc_, previousBrush_);
    SelectObject(dc_, previousPen_);
    DeleteObject(pen_);
  }
  explicit operator bool() const { return pen_ != nullptr; }

 private:
  HDC dc_;
  HPEN pen_;
  HGDIOBJ previousPen_;
  HGDIOBJ previousBrush_;
};

// The logical rectangle in the device coordinates clip regions are given in.
RECT ToDevice(HDC dc, const UIRect& rect) {
  POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
  LPtoDP(dc, corners, 2);
  return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

}  // namespace

RenderPath CSkinRenderer::GetBlendPath() {
  return gdi::Library().alphaBlend ? RenderPath::kSystem : RenderPath::kOwn;
}

RenderPath CSkinRenderer::GetGradientPath() {
  return gdi::Library().gradientFill ? RenderPath::kSystem : RenderPath::kOwn;
}

void CSkinRenderer::DrawColor(NativeDC dc, const UIRect& rect, UIColor color) {
  const uint8_t alpha = static_cast<uint8_t>(color >> 24);
  if (!dc || alpha == 0 || rect.IsEmpty()) return;
  if (alpha == 0xFF) {
    gdi::FillSolid(ToDC(dc), rect, color);
    return;
  }
  TemporaryBitmap pixel(1, 1);
  if (!pixel) return;
  pixel.Pixels()[0] = PremultiplyPixel(static_cast<uint8_t>(color >> 16), static_cast<uint8_t>(color >> 8),
                                       static_cast<uint8_t>(color), alpha);
  Blend(ToDC(dc), rect, pixel.Source(), pixel.Whole(), 255);
}

void CSkinRenderer::DrawGradient(NativeDC dc, const UIRect& rect, UIColor first, UIColor second, bool vertical,
                                 int steps) {
  const uint32_t alpha = ((first >> 24) + (second >> 24)) / 2;
  if (!dc || alpha == 0 || rect.IsEmpty()) return;
  if (alpha == 0xFF) {
    FillGradient(ToDC(dc), rect, first, second, vertical, steps);
    return;
  }
  // Drawn opaque into a bitmap of its own, then blended with the mean alpha.
  TemporaryBitmap layer(rect.Width(), rect.Height());
  if (!layer) return;
  {
    gdi::MemoryDC memory(ToDC(dc), layer.Handle());
    if (!memory) return;
    FillGradient(memory, layer.Whole(), first, second, vertical, steps);
    GdiFlush();
  }
  const size_t count = static_cast<size_t>(rect.Width()) * static_cast<size_t>(rect.Height());
  for (size_t i = 0; i < count; ++i) layer.Pixels()[i] |= 0xFF000000;
  Blend(ToDC(dc), rect, layer.Source(), layer.Whole(), static_cast<uint8_t>(alpha));
}

void CSkinRenderer::DrawLine(NativeDC dc, const UIRect& line, int32_t width, UIColor color, int32_t penStyle) {
  if (!dc) return;
  PenScope pen(ToDC(dc), penStyle, width, color);
  if (!pen) return;
  MoveToEx(ToDC(dc), line.left, line.top, nullptr);
  LineTo(ToDC(dc), line.right, line.bottom);
}

void CSkinRenderer::DrawRect(NativeDC dc, const UIRect& rect, int32_t width, UIColor color, int32_t penStyle) {
  if (!dc) return;
  PenScope pen(ToDC(dc), penStyle | PS_INSIDEFRAME, width, color);
  if (pen) Rectangle(ToDC(dc), rect.left, rect.top, rect.right, rect.bottom);
}

void CSkinRenderer::DrawRoundRect(NativeDC dc, const UIRect& rect, int32_t width, int32_t ellipseWidth,
                                  int32_t ellipseHeight, UIColor color, int32_t penStyle) {
  if (!dc) return;
  PenScope pen(ToDC(dc), penStyle | PS_INSIDEFRAME, width, color);
  if (pen) RoundRect(ToDC(dc), rect.left, rect.top, rect.right, rect.bottom, ellipseWidth, ellipseHeight);
}

bool CSkinRenderer::DrawImage(NativeDC dc, CWindowManagerUI& manager, const UIRect& item, const UIRect& dirty,
                              UIDrawInfo& info) {
  const UIImagePtr image = info.Resolve(manager);
  if (!image) return false;
  const UIImageDescription& d = info.GetParsed();
  UIRect source = d.source == UIRect{} ? UIRect{0, 0, image->width, image->height} : d.source;
  source.right = std::min(source.right, image->width);
  source.bottom = std::min(source.bottom, image->height);
  UIRect dest = item;
  if (d.dest != UIRect{}) {
    dest = UIRect{Saturate(int64_t{item.left} + d.dest.left), Saturate(int64_t{item.top} + d.dest.top),
                  Saturate(std::min<int64_t>(item.right, int64_t{item.left} + d.dest.right)),
                  Saturate(std::min<int64_t>(item.bottom, int64_t{item.top} + d.dest.bottom))};
  }
  UIRect meets = dest;
  if (!dc || !meets.Intersect(item) || !meets.Intersect(dirty)) return true;
  DrawImageBitmap(dc, *image, dest, dirty, source, d.corner, image->hasAlpha, d.fade, d.hole, d.xtiled, d.ytiled);
  return true;
}

void CSkinRenderer::DrawImageBitmap(NativeDC dc, const UIImageInfo& image, const UIRect& dest, const UIRect& dirty,
                                    const UIRect& source, const UIRect& corners, bool alpha, uint8_t fade, bool hole,
                                    bool xtiled, bool ytiled) {
  if (!dc || !image.bitmap) return;
  UIRect from = source;
  if (!from.Intersect(UIRect{0, 0, image.width, image.height})) return;
  HDC target = ToDC(dc);
  const PixelSource pixels{static_cast<HBITMAP>(image.bitmap), image.pixels, image.width};
  const UINineGrid grid{dest, from, corners, hole, xtiled, ytiled};
  if (alpha || fade < 255) {
    ForEachNineGridPiece(grid, dirty, [&](const UIRect& d, const UIRect& s) { Blend(target, d, pixels, s, fade); });
    return;
  }
  gdi::MemoryDC memory(target, pixels.bitmap);
  if (!memory) return;
  const int previousMode = SetStretchBltMode(target, COLORONCOLOR);
  ForEachNineGridPiece(grid, dirty, [&](const UIRect& d, const UIRect& s) {
    StretchBlt(target, d.left, d.top, d.Width(), d.Height(), memory, s.left, s.top, s.Width(), s.Height(), SRCCOPY);
  });
  SetStretchBltMode(target, previousMode);
}

NativeBitmap CSkinRenderer::CaptureBitmap(CWindowManagerUI& manager, const UIRect& rect, CControlUI* control,
                                          UIColor color) {
  if (rect.IsEmpty()) return nullptr;
  uint32_t* pixels = nullptr;
  HBITMAP bitmap = static_cast<HBITMAP>(native::CreatePixelBitmap(rect.Width(), rect.Height(), &pixels));
  if (!bitmap) return nullptr;
  HDC screen = GetDC(nullptr);
  {
    gdi::MemoryDC memory(screen, bitmap);
    if (memory) {
      // The window's painting, shifted so that the rectangle's left-top lands on the bitmap's.
      SetViewportOrgEx(memory, -rect.left, -rect.top, nullptr);
      if (CControlUI* root = manager.GetRoot()) root->Paint(static_cast<HDC>(memory), rect, control);
      DrawColor(static_cast<HDC>(memory), rect, color);
      GdiFlush();
    }
  }
  ReleaseDC(nullptr, screen);
  return bitmap;
}

CRenderClip::CRenderClip(NativeDC dc, const UIRect& rect) : dc_(dc) {
  if (!dc_) return;
  HRGN previous = CreateRectRgn(0, 0, 0, 0);
  hadClip_ = GetClipRgn(ToDC(dc_), previous) == 1;
  if (hadClip_)
    previous_ = previous;
  else
    DeleteObject(previous);
  const RECT device = ToDevice(ToDC(dc_), rect);
  HRGN region = CreateRectRgnIndirect(&device);
  ExtSelectClipRgn(ToDC(dc_), region, RGN_AND);
  DeleteObject(region);
}

CRenderClip::CRenderClip(NativeDC dc, const UIRect& dirty, const UIRect& item, int32_t ellipseWidth,
                         int32_t ellipseHeight)
    : CRenderClip(dc, dirty) {
  if (!dc_) return;
  const RECT device = ToDevice(ToDC(dc_), item);
  HRGN round = CreateRoundRectRgn(device.left, device.top, device.right + 1, device.bottom + 1, ellipseWidth,
                                  ellipseHeight);
  ExtSelectClipRgn(ToDC(dc_), round, RGN_AND);
  DeleteObject(round);
}

CRenderClip::~CRenderClip() {
  if (!dc_) return;
  SelectClipRgn(ToDC(dc_), hadClip_ ? static_cast<HRGN>(previous_) : nullptr);
  if (previous_) DeleteObject(static_cast<HRGN>(previous_));
}

}  // namespace SkinUI
