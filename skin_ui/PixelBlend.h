#pragma once
// The renderer's own replacements for the two graphics-library calls it looks up at run time,
// on plain pixel buffers: blending a premultiplied picture over a destination (what AlphaBlend
// does with per-pixel and constant alpha), and a gradient as a few solid bands (what stands in
// for GradientFill). Pixels are 32-bit 0xAARRGGBB values, rows from top to bottom.

#include <cstdint>
#include <functional>

#include "skin_ui/UIDefs.h"

namespace SkinUI {

// Blends `source` (premultiplied; `sourceWidth` × `sourceHeight` pixels, rows `sourceStride`
// pixels apart) stretched over a destination of `destWidth` × `destHeight` pixels, of which
// `dest` holds the part `part` (rows packed): each destination pixel takes the source pixel
// nearest to its centre, scaled by `constantAlpha` / 255, over what is there. Rounds as the
// system's blend does.
void BlendStretched(uint32_t* dest, const UIRect& part, int32_t destWidth, int32_t destHeight, const uint32_t* source,
                    int32_t sourceStride, int32_t sourceWidth, int32_t sourceHeight, uint8_t constantAlpha);

// The blend of one premultiplied pixel over another.
uint32_t BlendPixel(uint32_t dest, uint32_t source, uint8_t constantAlpha);

// How many solid bands stand in for a gradient of `steps` steps: 2, 4, 8, 16, 32 or 64.
int GradientBandCount(int steps);

// Calls `sink` for each band of a gradient from `first` to `second` over `rect`, from the top
// (`vertical`) or from the left: the bands cover the rectangle without gaps, and each has the
// colour the gradient has at its middle (opaque; alpha is the caller's business).
void ForEachGradientBand(const UIRect& rect, UIColor first, UIColor second, bool vertical, int steps,
                         const std::function<void(const UIRect& band, UIColor colour)>& sink);

}  // namespace SkinUI
