#pragma once
// Small value types of the toolkit that carry no platform handles: rectangles, sizes and points
// in client pixels, and colours as 0xAARRGGBB. Native handles are opaque pointers here; only the
// Windows files give them their real types.

#include <algorithm>
#include <cstdint>

namespace SkinUI {

using UIColor = uint32_t;        // 0xAARRGGBB, alpha in the top byte
using NativeWindow = void*;      // HWND in the Windows build
using NativeFont = void*;        // HFONT in the Windows build
using NativeDC = void*;          // HDC in the Windows build
using NativeBitmap = void*;      // HBITMAP in the Windows build

// Pixel arithmetic is done in 64 bits and stored saturated, so no skin value can overflow it.
inline int32_t Saturate(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

struct UIPoint {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const UIPoint&) const = default;
};

struct UISize {
  int32_t cx = 0;
  int32_t cy = 0;
  bool operator==(const UISize&) const = default;
};

struct UIRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  int32_t Width() const { return Saturate(int64_t{right} - left); }
  int32_t Height() const { return Saturate(int64_t{bottom} - top); }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Contains(UIPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  void Offset(int64_t dx, int64_t dy) {
    left = Saturate(left + dx);
    right = Saturate(right + dx);
    top = Saturate(top + dy);
    bottom = Saturate(bottom + dy);
  }
  // Both empty results are normalised to the zero rectangle.
  bool Intersect(const UIRect& other) {
    UIRect r{std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
             std::min(bottom, other.bottom)};
    if (r.IsEmpty()) r = UIRect{};
    *this = r;
    return !IsEmpty();
  }
  void Join(const UIRect& other) {
    if (other.IsEmpty()) return;
    if (IsEmpty()) {
      *this = other;
      return;
    }
    left = std::min(left, other.left);
    top = std::min(top, other.top);
    right = std::max(right, other.right);
    bottom = std::max(bottom, other.bottom);
  }
  bool operator==(const UIRect&) const = default;
};

// `rect` with each edge moved inwards by the matching edge of `insets`.
inline UIRect Inset(const UIRect& rect, const UIRect& insets) {
  return UIRect{Saturate(int64_t{rect.left} + insets.left), Saturate(int64_t{rect.top} + insets.top),
                Saturate(int64_t{rect.right} - insets.right), Saturate(int64_t{rect.bottom} - insets.bottom)};
}

// Text metrics of a font, in pixels.
struct UITextMetrics {
  bool measured = false;
  int32_t height = 0;
  int32_t ascent = 0;
  int32_t descent = 0;
  int32_t averageCharWidth = 0;
  int32_t maxCharWidth = 0;
};

// Key-state bits of UIEvent::keyState.
enum : uint16_t {
  kKeyStateLButton = 0x01,
  kKeyStateRButton = 0x02,
  kKeyStateShift = 0x04,
  kKeyStateControl = 0x08,
  kKeyStateAlt = 0x20,
};

}  // namespace SkinUI
