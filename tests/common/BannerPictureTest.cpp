#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/BannerPicture.h"
#include "tests/skin_ui/ImageFixtures.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestWorld.h"

namespace {

std::string SolidPng(int width, int height) {
  std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
  for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<uint8_t>(i % 4 == 3 ? 255 : i * 31 % 256);
  return skintest::EncodePng(width, height, rgba);
}

std::vector<std::string> Refusals(const testsupport::Appended& log) {
  std::vector<std::string> lines;
  for (const std::string& line : log.Lines()) {
    if (line.find("banner not shown") != std::string::npos) lines.push_back(line);
  }
  return lines;
}

TEST(BannerPictureTest, AcceptablePictures) {
  const std::string good = SolidPng(65, 29);
  std::string padded = good;
  padded.resize(5 * 1024 * 1024, '\0');  // a valid picture with 5 MiB of trailing bytes
  const struct Case {
    const char* name;
    std::string bytes;
    const wchar_t* reason;  // empty: accepted
  } cases[] = {
      {"good PNG", good, L""},
      {"largest side", SolidPng(4096, 1), L""},
      {"truncated PNG", good.substr(0, good.size() / 2), L"picture could not be decoded"},
      {"PNG without its end", good.substr(0, good.size() - 12), L"picture could not be decoded"},
      {"header declaring 20000 x 20000", skintest::PngHeader(20000, 20000),
       L"picture of 20000 x 20000 pixels, more than 4096 x 4096"},
      {"header one pixel too wide", skintest::PngHeader(4097, 1), L"picture of 4097 x 1 pixels"},
      {"header declaring no pixels", skintest::PngHeader(0, 290), L"PNG header with no pixels"},
      {"signature only", good.substr(0, 8), L"PNG without its header"},
      {"5 MiB", padded, L"file of 5242880 bytes, more than 4194304"},
      {"HTML error page", "<html><head><title>404 Not Found</title></head></html>\n", L"not a PNG picture"},
      {"JPEG", std::string("\xff\xd8\xff\xe0\0\x10JFIF\0", 11), L"a JPEG picture, which the banner cannot draw"},
      {"empty", "", L"not a PNG picture"},
  };
  for (const Case& c : cases) {
    std::wstring reason;
    const bool accepted = IsAcceptableBannerPicture(c.bytes, reason);
    EXPECT_EQ(accepted, *c.reason == L'\0') << c.name;
    if (*c.reason) {
      EXPECT_EQ(reason.find(c.reason), 0u) << c.name << ": " << std::string(reason.begin(), reason.end());
    }
  }
}

TEST(BannerPictureTest, ShowCheckLogsEachRefusedFileOnce) {
  testsupport::TempFolder folder(L"banner");
  const std::wstring path = folder.path() + L"pr_1.png";
  const testsupport::Appended log(testsupport::DiagnosticLogPath());
  BannerShowCheck check;
  EXPECT_FALSE(check.MayShow(path));  // missing: the rotation's end, nothing logged
  EXPECT_EQ(log.Text(), "");

  const std::string good = SolidPng(65, 29);
  testsupport::WriteFileBytes(path, good);
  EXPECT_TRUE(check.MayShow(path));
  testsupport::WriteFileBytes(path, good.substr(0, good.size() / 2));  // damaged after caching
  for (int tick = 0; tick < 3; ++tick) EXPECT_FALSE(check.MayShow(path));
  std::vector<std::string> refusals = Refusals(log);
  ASSERT_EQ(refusals.size(), 1u) << log.Text();
  EXPECT_NE(refusals[0].find("pr_1.png]: picture could not be decoded"),
            std::string::npos)
      << refusals[0];

  testsupport::WriteFileBytes(path, good);
  EXPECT_TRUE(check.MayShow(path));
  testsupport::WriteFileBytes(path, std::string(kMaxBannerFileBytes + 1, 'x'));
  EXPECT_FALSE(check.MayShow(path));
  refusals = Refusals(log);
  ASSERT_EQ(refusals.size(), 2u) << log.Text();
  EXPECT_NE(refusals[1].find("File too large"), std::string::npos) << refusals[1];
}

}  // namespace
