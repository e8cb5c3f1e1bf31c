#pragma once
// Turning image bytes (PNG, BMP, GIF, PSD or PIC) or a colour into the toolkit's pixel form:
// 32-bit values 0xAARRGGBB, so blue, green, red, alpha in memory, colour premultiplied by alpha,
// rows from top to bottom. Pictures may come from the network (banners), so every size is
// checked before anything is allocated for it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "skin_ui/UIDefs.h"

namespace SkinUI {

// Limits of one picture: generous for skins and banners, far below what would overflow the
// size arithmetic or exhaust a 32-bit process.
inline constexpr int32_t kMaxImageSide = 16384;
inline constexpr int64_t kMaxImagePixels = int64_t{16} * 1024 * 1024;
inline constexpr uint64_t kMaxImageFileSize = uint64_t{64} * 1024 * 1024;

struct UIPixelImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;  // width × height values, premultiplied
  bool hasAlpha = false;         // a pixel is not fully opaque, or the mask removed one
};

// One pixel in the toolkit's form: each colour × alpha / 255 (the product first, integer).
uint32_t PremultiplyPixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);

// Converts `count` pixels of red, green, blue, alpha bytes. A converted pixel equal to `mask`
// becomes 0 (fully transparent). Sets `hasAlpha` when a pixel is not opaque or was masked.
void ConvertRgbaPixels(const uint8_t* rgba, size_t count, UIColor mask, uint32_t* out, bool& hasAlpha);

// Decodes `size` bytes. False with the reason in `error` when the bytes are no picture the
// decoder reads or the picture passes the limits above.
bool DecodeImageBytes(const void* bytes, size_t size, UIColor mask, UIPixelImage& out, std::wstring& error);

// A 1 × 1 picture of the colour `text` (an optional '#', then hexadecimal 0xAARRGGBB).
UIPixelImage MakeColorImage(const wchar_t* text, UIColor mask);

}  // namespace SkinUI
