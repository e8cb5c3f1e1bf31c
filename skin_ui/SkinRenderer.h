#pragma once
// The drawing functions every skinned paint goes through: colour fills and gradients, lines and
// frames, pictures by description with their nine-grid, plain and inline-markup text, and
// clips. Rectangles are in window client coordinates. Colours are 0xAARRGGBB: alpha counts for
// fills, gradients and pictures; pens and text use red, green and blue only.
//
// The graphics library's AlphaBlend and GradientFill are looked up at run time; where they are
// missing the renderer blends and bands on its own (PixelBlend.h) and says so through the two
// path queries. The Windows build draws with GDI (win32/SkinRenderer_win32.cpp); the portable
// build has no device to draw on and draws nothing (posix/SkinRenderer_posix.cpp).

#include <cstdint>

#include "skin_ui/ImageCache.h"
#include "skin_ui/UIDefs.h"
#include "skin_ui/UIString.h"

namespace SkinUI {

class CControlUI;
class CWindowManagerUI;

// Which implementation of a graphics call the renderer uses in this process.
enum class RenderPath { kSystem, kOwn };

class CSkinRenderer {
 public:
  static RenderPath GetBlendPath();
  static RenderPath GetGradientPath();

  // Alpha 0 draws nothing, 0xFF fills, anything between blends.
  static void DrawColor(NativeDC dc, const UIRect& rect, UIColor color);
  // From `first` to `second`, top to bottom (`vertical`) or left to right, blended with the mean
  // of the two alphas. Without the library: 2 to 64 solid bands depending on `steps`.
  static void DrawGradient(NativeDC dc, const UIRect& rect, UIColor first, UIColor second, bool vertical, int steps);
  // From (left, top) to (right, bottom).
  static void DrawLine(NativeDC dc, const UIRect& line, int32_t width, UIColor color, int32_t penStyle = 0);
  // Outlines drawn inside the rectangle.
  static void DrawRect(NativeDC dc, const UIRect& rect, int32_t width, UIColor color, int32_t penStyle = 0);
  static void DrawRoundRect(NativeDC dc, const UIRect& rect, int32_t width, int32_t ellipseWidth,
                            int32_t ellipseHeight, UIColor color, int32_t penStyle = 0);

  // The picture of `info` in the control rectangle `item`, as far as it meets `dirty`; false
  // when there is nothing to draw (no description, or a picture that cannot be had).
  static bool DrawImage(NativeDC dc, CWindowManagerUI& manager, const UIRect& item, const UIRect& dirty,
                        UIDrawInfo& info);
  // The part `source` of `image` into `dest` as a nine-grid with `corners`; blended (per-pixel
  // alpha and `fade` as constant alpha) when the picture has alpha or `fade` is below 255.
  static void DrawImageBitmap(NativeDC dc, const UIImageInfo& image, const UIRect& dest, const UIRect& dirty,
                              const UIRect& source, const UIRect& corners, bool alpha, uint8_t fade, bool hole,
                              bool xtiled, bool ytiled);

  // Text in the window's font `font` (-1: the default) with the style flags of TextFormat.h, `&`
  // shown as it is. With kTextCalcRect `rect` is measured instead of drawn on.
  static void DrawPlainText(NativeDC dc, CWindowManagerUI& manager, UIRect& rect, const wchar_t* text, UIColor color,
                            int font, uint32_t style);
  // Inline markup (MarkupLayout.h). `links`/`targets` hold `linkCount` slots: on entry the
  // rectangles of the previous paint (the one under the mouse is drawn hovered), on return the
  // links drawn, `linkCount` saying how many. Without slots links are drawn but not collected.
  static void DrawMarkupText(NativeDC dc, CWindowManagerUI& manager, UIRect& rect, const wchar_t* text, UIColor color,
                             UIRect* links, CUIString* targets, int& linkCount, int font, uint32_t style);

  // What the window shows in `rect` beneath `control` (painted up to it), with `color` blended
  // over it: a bitmap of the rectangle's size that the caller deletes. Null when it cannot be made.
  static NativeBitmap CaptureBitmap(CWindowManagerUI& manager, const UIRect& rect, CControlUI* control,
                                    UIColor color);
};

// A clip for the lifetime of the object; the previous clip comes back afterwards.
class CRenderClip {
 public:
  // The current clip and `rect`.
  CRenderClip(NativeDC dc, const UIRect& rect);
  // The current clip box, `dirty` and a rounded rectangle from the item's left-top to its
  // right-bottom plus one pixel.
  CRenderClip(NativeDC dc, const UIRect& dirty, const UIRect& item, int32_t ellipseWidth, int32_t ellipseHeight);
  CRenderClip(const CRenderClip&) = delete;
  CRenderClip& operator=(const CRenderClip&) = delete;
  ~CRenderClip();

 private:
  NativeDC dc_ = nullptr;
  void* previous_ = nullptr;  // the clip region before, if there was one
  bool hadClip_ = false;
};

}  // namespace SkinUI
