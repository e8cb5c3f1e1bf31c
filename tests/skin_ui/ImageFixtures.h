#pragma once
// Pictures made by the tests themselves: PNG files from RGBA pixels, and PNG headers that claim
// any size.

#include <cstdint>
#include <string>
#include <vector>

namespace skintest {

// A PNG of `width` × `height` pixels given as red, green, blue, alpha bytes, rows top to bottom.
std::string EncodePng(int width, int height, const std::vector<uint8_t>& rgba);

// The signature and a valid IHDR chunk (8-bit RGBA) claiming this size, and nothing else.
std::string PngHeader(uint32_t width, uint32_t height);

}  // namespace skintest
