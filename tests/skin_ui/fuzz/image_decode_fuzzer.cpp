// Decoding any bytes as a picture: either a clear failure, or a picture within the limits whose
// every pixel is premultiplied (no colour above its alpha).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "skin_ui/ImageDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SkinUI::UIPixelImage image;
  std::wstring error;
  if (!SkinUI::DecodeImageBytes(data, size, 0xFF00FF00, image, error)) {
    if (error.empty() || !image.pixels.empty()) std::abort();
    return 0;
  }
  if (image.width <= 0 || image.height <= 0 || image.width > SkinUI::kMaxImageSide ||
      image.height > SkinUI::kMaxImageSide ||
      image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
    std::abort();
  for (uint32_t pixel : image.pixels) {
    const uint32_t alpha = pixel >> 24;
    if (((pixel >> 16) & 0xFF) > alpha || ((pixel >> 8) & 0xFF) > alpha || (pixel & 0xFF) > alpha) std::abort();
  }
  return 0;
}
