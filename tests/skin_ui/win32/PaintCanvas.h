#pragma once
// What the pixel tests share: a 32-bit canvas to paint on, saved as a PNG for people to look at
// (under build/<preset>/skin-paint/, in "own" or "system" after the graphics path the process
// was started for), pictures made from ARGB pixels, and colour comparisons with a tolerance.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "skin_ui/NativeDrawOps.h"
#include "skin_ui/SkinRenderer.h"
#include "tests/skin_ui/ImageFixtures.h"
#include "tests/support/TestFiles.h"

namespace skintest::paint {

using SkinUI::UIColor;
using SkinUI::UIPoint;
using SkinUI::UIRect;

inline bool ExpectOwnGraphics() {
  const char* overrides = std::getenv("WINEDLLOVERRIDES");
  return overrides && std::strstr(overrides, "msimg32");
}

struct Rgb {
  int r, g, b;
};

inline Rgb ToRgb(uint32_t pixel) {
  return Rgb{static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
             static_cast<int>(pixel & 0xFF)};
}

inline ::testing::AssertionResult Near(uint32_t pixel, Rgb expected, int tolerance = 1) {
  const Rgb got = ToRgb(pixel);
  if (std::abs(got.r - expected.r) <= tolerance && std::abs(got.g - expected.g) <= tolerance &&
      std::abs(got.b - expected.b) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "pixel (" << got.r << "," << got.g << "," << got.b << ") expected ("
                                       << expected.r << "," << expected.g << "," << expected.b << ") within "
                                       << tolerance;
}

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};

// A 32-bit top-down DIB selected into a memory device context.
class Canvas {
 public:
  Canvas(int width, int height, UIColor background) : width_(width), height_(height) {
    bitmap_ = static_cast<HBITMAP>(SkinUI::native::CreatePixelBitmap(width, height, &pixels_));
    dc_ = CreateCompatibleDC(nullptr);
    previous_ = SelectObject(dc_, bitmap_);
    SkinUI::CSkinRenderer::DrawColor(dc_, UIRect{0, 0, width, height}, background | 0xFF000000);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  ~Canvas() {
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
    SkinUI::native::DeletePixelBitmap(bitmap_);
  }
  HDC dc() const { return dc_; }
  uint32_t At(int x, int y) const {
    GdiFlush();
    return pixels_[y * width_ + x] & 0xFFFFFF;
  }
  // Saves the canvas as skin-paint/<path>/<name>.png beside the build's programs.
  void Save(const std::wstring& name) const {
    GdiFlush();
    std::wstring folder = testsupport::BuildBinFolder() + L"..\\skin-paint\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    folder += ExpectOwnGraphics() ? L"own\\" : L"system\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::vector<uint8_t> rgba;
    for (int i = 0; i < width_ * height_; ++i) {
      const Rgb c = ToRgb(pixels_[i]);
      rgba.insert(rgba.end(), {static_cast<uint8_t>(c.r), static_cast<uint8_t>(c.g), static_cast<uint8_t>(c.b), 255});
    }
    testsupport::WriteFileBytes(folder + name + L".png", skintest::EncodePng(width_, height_, rgba));
  }

 private:
  int width_;
  int height_;
  uint32_t* pixels_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

inline std::string Picture(int width, int height, const std::vector<uint32_t>& argb) {
  std::vector<uint8_t> rgba;
  for (int i = 0; i < width * height; ++i) {
    const uint32_t c = argb[static_cast<size_t>(i)];
    rgba.insert(rgba.end(), {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c),
                             static_cast<uint8_t>(c >> 24)});
  }
  return skintest::EncodePng(width, height, rgba);
}

// Pixels of the canvas within `tolerance` of `colour` in each channel.
inline std::vector<UIPoint> Cores(const Canvas& canvas, UIRect area, Rgb colour, int tolerance) {
  std::vector<UIPoint> found;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (Near(canvas.At(x, y), colour, tolerance)) found.push_back(UIPoint{x, y});
  return found;
}

}  // namespace skintest::paint
