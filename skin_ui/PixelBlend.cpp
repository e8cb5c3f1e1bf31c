#include "skin_ui/PixelBlend.h"

namespace SkinUI {

namespace {

uint32_t Channel(uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

uint32_t Divide255(uint32_t value) { return (value + 127) / 255; }

}  // namespace

uint32_t BlendPixel(uint32_t dest, uint32_t source, uint8_t constantAlpha) {
  uint32_t result = 0;
  const uint32_t alpha = Divide255(Channel(source, 24) * constantAlpha);
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t s = Channel(source, shift);
    if (constantAlpha != 255) s = Divide255(s * constantAlpha);
    const uint32_t value = s + Divide255(Channel(dest, shift) * (255 - alpha));
    result |= (value > 255 ? 255 : value) << shift;
  }
  return result;
}

void BlendStretched(uint32_t* dest, const UIRect& part, int32_t destWidth, int32_t destHeight, const uint32_t* source,
                    int32_t sourceStride, int32_t sourceWidth, int32_t sourceHeight, uint8_t constantAlpha) {
  if (destWidth <= 0 || destHeight <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return;
  UIRect inside = part;
  if (!inside.Intersect(UIRect{0, 0, destWidth, destHeight}) || inside != part) return;
  const int64_t partWidth = part.Width();
  for (int64_t y = part.top; y < part.bottom; ++y) {
    const int64_t sy = (2 * y + 1) * sourceHeight / (2 * int64_t{destHeight});
    const uint32_t* sourceRow = source + sy * sourceStride;
    uint32_t* destRow = dest + (y - part.top) * partWidth - part.left;
    for (int64_t x = part.left; x < part.right; ++x) {
      const int64_t sx = (2 * x + 1) * sourceWidth / (2 * int64_t{destWidth});
      destRow[x] = BlendPixel(destRow[x], sourceRow[sx], constantAlpha);
    }
  }
}

int GradientBandCount(int steps) {
  if (steps < 4) return 2;
  if (steps < 8) return 4;
  if (steps < 16) return 8;
  if (steps < 32) return 16;
  if (steps < 64) return 32;
  return 64;
}

void ForEachGradientBand(const UIRect& rect, UIColor first, UIColor second, bool vertical, int steps,
                         const std::function<void(const UIRect& band, UIColor colour)>& sink) {
  if (rect.IsEmpty()) return;
  const int64_t bands = GradientBandCount(steps);
  const int64_t start = vertical ? rect.top : rect.left;
  const int64_t length = vertical ? rect.Height() : rect.Width();
  for (int64_t i = 0; i < bands; ++i) {
    const int32_t from = Saturate(start + length * i / bands);
    const int32_t to = Saturate(start + length * (i + 1) / bands);
    if (from == to) continue;
    UIColor colour = 0xFF000000;
    for (int shift = 0; shift < 24; shift += 8) {
      // The colour at the band's middle, (2i + 1) / 2n of the way from first to second.
      const int64_t a = Channel(first, shift);
      const int64_t b = Channel(second, shift);
      colour |= static_cast<UIColor>(a + (b - a) * (2 * i + 1) / (2 * bands)) << shift;
    }
    UIRect band = rect;
    if (vertical) {
      band.top = from;
      band.bottom = to;
    } else {
      band.left = from;
      band.right = to;
    }
    sink(band, colour);
  }
}

}  // namespace SkinUI
