#include "skin_ui/ImageDecoder.h"

#include <climits>
#include <cstring>
#include <memory>

#include "skin_ui/ValueSyntax.h"

// The decoder reads from memory only, and only the formats it reads safely: PNG (all the skins
// and banners use), BMP, GIF, PSD and PIC. Its JPEG and PNM readers write and read outside
// their buffers on malformed input (fuzzing found both), so they are left out: such pictures
// fail to load. Its own dimension limit matches ours, so it refuses oversized pictures before
// it allocates for them.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#define STBI_ONLY_PSD
#define STBI_ONLY_PIC
#define STBI_MAX_DIMENSIONS 16384
#include <stb/stb_image.h>

static_assert(STBI_MAX_DIMENSIONS == SkinUI::kMaxImageSide);

namespace SkinUI {

namespace {

struct StbiFree {
  void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

bool WithinLimits(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height <= kMaxImagePixels;
}

std::wstring SizeText(int width, int height) { return std::to_wstring(width) + L" x " + std::to_wstring(height); }

}  // namespace

uint32_t PremultiplyPixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
  const auto scale = [alpha](uint8_t colour) { return static_cast<uint32_t>(colour) * alpha / 255; };
  return uint32_t{alpha} << 24 | scale(red) << 16 | scale(green) << 8 | scale(blue);
}

void ConvertRgbaPixels(const uint8_t* rgba, size_t count, UIColor mask, uint32_t* out, bool& hasAlpha) {
  for (size_t i = 0; i < count; ++i, rgba += 4) {
    uint32_t pixel = PremultiplyPixel(rgba[0], rgba[1], rgba[2], rgba[3]);
    if (rgba[3] < 255) hasAlpha = true;
    if (pixel == mask) {
      pixel = 0;
      hasAlpha = true;
    }
    out[i] = pixel;
  }
}

bool DecodeImageBytes(const void* bytes, size_t size, UIColor mask, UIPixelImage& out, std::wstring& error) {
  out = UIPixelImage{};
  if (!bytes || size == 0) {
    error = L"no image bytes";
    return false;
  }
  if (size > kMaxImageFileSize || size > INT_MAX) {
    error = L"image file too large";
    return false;
  }
  const auto* data = static_cast<const stbi_uc*>(bytes);
  const int length = static_cast<int>(size);
  int width = 0;
  int height = 0;
  int channels = 0;
  if (!stbi_info_from_memory(data, length, &width, &height, &channels)) {
    error = L"not a picture the decoder reads";
    return false;
  }
  if (!WithinLimits(width, height)) {
    error = L"picture too large: " + SizeText(width, height);
    return false;
  }
  std::unique_ptr<stbi_uc, StbiFree> rgba(stbi_load_from_memory(data, length, &width, &height, &channels, 4));
  if (!rgba) {
    const char* reason = stbi_failure_reason();
    error = L"picture could not be decoded: " + std::wstring(reason, reason + (reason ? strlen(reason) : 0));
    return false;
  }
  // The header and the pixel data agree for every format the decoder reads; check anyway, as
  // the buffer's size depends on it.
  if (!WithinLimits(width, height)) {
    error = L"picture too large: " + SizeText(width, height);
    return false;
  }
  out.width = width;
  out.height = height;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  out.pixels.resize(count);
  ConvertRgbaPixels(rgba.get(), count, mask, out.pixels.data(), out.hasAlpha);
  return true;
}

UIPixelImage MakeColorImage(const wchar_t* text, UIColor mask) {
  const UIColor colour = ParseColor(text);
  const uint8_t rgba[4] = {static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
                           static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 24)};
  UIPixelImage image;
  image.width = 1;
  image.height = 1;
  image.pixels.resize(1);
  ConvertRgbaPixels(rgba, 1, mask, image.pixels.data(), image.hasAlpha);
  return image;
}

}  // namespace SkinUI
