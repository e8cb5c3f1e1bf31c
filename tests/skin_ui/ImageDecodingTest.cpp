// Image descriptions and decoding: the scanner's items and stops, premultiplying and the mask,
// and the pictures that must fail (undecodable, over the limits).

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "skin_ui/ImageDecoder.h"
#include "skin_ui/ImageDescription.h"
#include "tests/skin_ui/ImageFixtures.h"

namespace {

using namespace SkinUI;

struct DescriptionCase {
  const wchar_t* text;
  const wchar_t* name;
  const wchar_t* type;
  UIRect dest;
  UIRect source;
  UIRect corner;
  UIColor mask;
  int fade;
  bool hole = false, xtiled = false, ytiled = false, hsl = false;
};

TEST(ImageDescriptionTest, ScannerReadsTheItemsUntilTheFirstMalformedOne) {
  const DescriptionCase cases[] = {
      {L"file='img/unfold.png' dest='182,8,196,22'", L"img/unfold.png", L"", {182, 8, 196, 22}, {}, {}, 0, 255},
      // No items: the whole text is a file name.
      {L"img\\button_normal.png", L"img\\button_normal.png", L"", {}, {}, {}, 0, 255},
      {L"res='101' restype='PNG' mask='#FFFF00FF'", L"101", L"PNG", {}, {}, {}, 0xFFFF00FF, 255},
      {L"restype='PNG' res='logo'", L"logo", L"PNG", {}, {}, {}, 0, 255},
      {L"color='#FF4858EC'", L"#FF4858EC", L"*COLOR*", {}, {}, {}, 0, 255},
      // The last of file, res and color names the picture.
      {L"res='b' restype='PNG' file='a.png'", L"a.png", L"", {}, {}, {}, 0, 255},
      {L"file = 'a.png'  source='1,2,3,4' scale9='5,6,7,8'", L"a.png", L"", {}, {1, 2, 3, 4}, {5, 6, 7, 8}, 0, 255},
      {L"file='a.png' corner='4,4,4,4' fade='128' hole='true' xtiled='true' ytiled='TRUE' hsl='true'",
       L"a.png", L"", {}, {}, {4, 4, 4, 4}, 0, 128, true, true, false, true},
      {L"file='a.png' fade='300'", L"a.png", L"", {}, {}, {}, 0, 255},
      {L"file='a.png' fade='-5'", L"a.png", L"", {}, {}, {}, 0, 0},
      // Stops: no space after the quote, a missing '=', an unterminated value, a trailing space.
      {L"file='a.png'dest='1,1,1,1'", L"a.png", L"", {}, {}, {}, 0, 255},
      {L"file='a.png' dest", L"a.png", L"", {}, {}, {}, 0, 255},
      {L"file='a.png' dest='1,2", L"a.png", L"", {}, {}, {}, 0, 255},
      {L"file='a.png' dest=\"1,2,3,4\"", L"a.png", L"", {}, {}, {}, 0, 255},
      {L"file='a.png' ", L"a.png", L"", {}, {}, {}, 0, 255},
      // An empty value is ignored, so the name stays the whole text.
      {L"file='' corner='4,4,4,4'", L"file='' corner='4,4,4,4'", L"", {}, {}, {4, 4, 4, 4}, 0, 255},
  };
  for (const DescriptionCase& c : cases) {
    SCOPED_TRACE(testing::Message() << std::wstring(c.text).size() << " chars: case " << (&c - cases));
    UIImageDescription d;
    ParseImageDescription(c.text, d);
    EXPECT_EQ(std::wstring(d.name), c.name);
    EXPECT_EQ(std::wstring(d.type), c.type);
    EXPECT_EQ(d.dest, c.dest);
    EXPECT_EQ(d.source, c.source);
    EXPECT_EQ(d.corner, c.corner);
    EXPECT_EQ(d.mask, c.mask);
    EXPECT_EQ(d.fade, c.fade);
    EXPECT_EQ(d.hole, c.hole);
    EXPECT_EQ(d.xtiled, c.xtiled);
    EXPECT_EQ(d.ytiled, c.ytiled);
    EXPECT_EQ(d.hsl, c.hsl);
  }
  UIImageDescription none;
  none.fade = 3;
  ParseImageDescription(nullptr, none);
  EXPECT_TRUE(none.name.IsEmpty());
  EXPECT_EQ(none.fade, 255);
}

TEST(ImageDescriptionTest, ScannerStaysInsideEveryTruncationOfTheText) {
  const std::wstring full = L"file='img/a.png' dest='1,2,3,4' source='0,0,9,9' corner='1,1,1,1' mask='#FF00FF' "
                            L"fade='200' hole='true' xtiled='true' res='x' restype='PNG' color='#FF00FF00'";
  for (size_t n = 0; n <= full.size(); ++n) {
    // An exactly sized copy: the address sanitizer stops any read past its terminator.
    std::vector<wchar_t> text(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
    text.push_back(L'\0');
    UIImageDescription d;
    ParseImageDescription(text.data(), d);
    EXPECT_LE(static_cast<size_t>(d.name.GetLength()), n);
  }
}

TEST(ImageDecoderTest, ColourIsMultipliedByAlphaWithTheProductFirst) {
  EXPECT_EQ(PremultiplyPixel(0x12, 0x34, 0x56, 255), 0xFF123456u);
  EXPECT_EQ(PremultiplyPixel(255, 255, 255, 128), 0x80808080u);  // 255 × 128 / 255, not 255 × (128 / 255)
  EXPECT_EQ(PremultiplyPixel(200, 100, 1, 100), 0x644E2700u);
  EXPECT_EQ(PremultiplyPixel(200, 100, 50, 0), 0u);

  const UIPixelImage half = MakeColorImage(L"#804858EC", 0);
  ASSERT_EQ(half.pixels.size(), 1u);
  EXPECT_EQ(half.pixels[0], 0x80242C76u);
  EXPECT_TRUE(half.hasAlpha);
  const UIPixelImage opaque = MakeColorImage(L"FF4858EC", 0);
  EXPECT_EQ(opaque.pixels[0], 0xFF4858ECu);
  EXPECT_FALSE(opaque.hasAlpha);
}

TEST(ImageDecoderTest, PngPixelsArePremultipliedAndTheMaskKeysOutItsColour) {
  const std::vector<uint8_t> rgba = {255, 0, 0, 255, 0, 255, 0, 128, 10, 20, 30, 0, 200, 100, 50, 1};
  UIPixelImage image;
  std::wstring error;
  const std::string png = skintest::EncodePng(2, 2, rgba);
  ASSERT_TRUE(DecodeImageBytes(png.data(), png.size(), 0, image, error)) << std::string(error.begin(), error.end());
  EXPECT_EQ(image.width, 2);
  EXPECT_EQ(image.height, 2);
  EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0xFFFF0000u, 0x80008000u, 0u, 0x01000000u}));
  EXPECT_TRUE(image.hasAlpha);

  const std::vector<uint8_t> opaqueRgba = {255, 0, 255, 255, 1, 2, 3, 255};
  const std::string opaquePng = skintest::EncodePng(2, 1, opaqueRgba);
  ASSERT_TRUE(DecodeImageBytes(opaquePng.data(), opaquePng.size(), 0, image, error));
  EXPECT_FALSE(image.hasAlpha);
  ASSERT_TRUE(DecodeImageBytes(opaquePng.data(), opaquePng.size(), 0xFFFF00FF, image, error));
  EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0u, 0xFF010203u}));
  EXPECT_TRUE(image.hasAlpha);
  // The mask is a whole 32-bit value: without alpha it matches no opaque pixel.
  ASSERT_TRUE(DecodeImageBytes(opaquePng.data(), opaquePng.size(), 0x00FF00FF, image, error));
  EXPECT_FALSE(image.hasAlpha);
}

TEST(ImageDecoderTest, UndecodableOrOversizedPicturesFailWithAReason) {
  const std::string valid = skintest::EncodePng(3, 3, std::vector<uint8_t>(36, 200));
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"no bytes", ""},
      {"text", "this is no picture at all"},
      {"truncated png", valid.substr(0, valid.size() / 2)},
      {"png header only", valid.substr(0, 33)},
      {"wider than the side limit", skintest::PngHeader(20000, 1)},
      {"more pixels than the limit", skintest::PngHeader(5000, 5000)},
      {"width of 2^31 - 1", skintest::PngHeader(0x7FFFFFFF, 0x7FFFFFFF)},
      {"zero width", skintest::PngHeader(0, 10)},
      // Formats whose readers are not safe on malformed input are not read at all.
      {"jpeg", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00\xFF\xD9", 22)},
      {"pnm", std::string("P6\n1 1\n255\n\xFF\x00\x00", 14)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    UIPixelImage image;
    std::wstring error;
    EXPECT_FALSE(DecodeImageBytes(c.bytes.data(), c.bytes.size(), 0, image, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(image.pixels.empty());
  }
  // Within the limits a large picture decodes.
  const std::string wide = skintest::EncodePng(4000, 2, std::vector<uint8_t>(4000 * 2 * 4, 255));
  UIPixelImage image;
  std::wstring error;
  EXPECT_TRUE(DecodeImageBytes(wide.data(), wide.size(), 0, image, error));
  EXPECT_EQ(image.pixels.size(), 8000u);
}

}  // namespace
