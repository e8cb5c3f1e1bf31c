#include "tests/skin_ui/ImageFixtures.h"

#include <zlib.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>

namespace skintest {

namespace {

void AppendBigEndian(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

}  // namespace

std::string EncodePng(int width, int height, const std::vector<uint8_t>& rgba) {
  std::string png;
  stbi_write_png_to_func(
      [](void* context, void* data, int size) { static_cast<std::string*>(context)->append(static_cast<char*>(data), size); },
      &png, width, height, 4, rgba.data(), width * 4);
  return png;
}

std::string PngHeader(uint32_t width, uint32_t height) {
  std::string png("\x89PNG\r\n\x1A\n", 8);
  std::string chunk = "IHDR";
  AppendBigEndian(chunk, width);
  AppendBigEndian(chunk, height);
  chunk += std::string("\x08\x06\x00\x00\x00", 5);
  AppendBigEndian(png, 13);
  png += chunk;
  AppendBigEndian(png, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(chunk.data()), static_cast<uInt>(chunk.size()))));
  return png;
}

}  // namespace skintest
