#include <gtest/gtest.h>

#include "common/Encoding.h"

namespace {

using encoding::CodePage;

TEST(Encoding, Utf8RoundTripsEveryPlane) {
  // ASCII, Latin-1, CJK, and a character outside the basic plane (a surrogate pair on Windows).
  const std::wstring text = L"A\u00e9\u4e2d\U0001F600z";
  const std::string utf8 = encoding::WideToUtf8(text);
  EXPECT_EQ(utf8, "A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80z");
  EXPECT_EQ(encoding::Utf8ToWide(utf8), text);
}

TEST(Encoding, StrictDecodeRejectsMalformedUtf8) {
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"lone continuation byte", "a\x80"},
      {"overlong slash", "\xC0\xAF"},
      {"overlong three-byte", "\xE0\x80\xAF"},
      {"encoded surrogate", "\xED\xA0\x80"},
      {"above U+10FFFF", "\xF4\x90\x80\x80"},
      {"truncated at the end", "ok\xE4\xB8"},
      {"invalid lead byte", "\xFF"},
  };
  for (const auto& c : cases) {
    std::wstring out;
    EXPECT_FALSE(encoding::Decode(CodePage::kUtf8, c.bytes, out)) << c.name;
  }
}

TEST(Encoding, LossyDecodeReplacesInvalidBytes) {
  EXPECT_EQ(encoding::Utf8ToWide("\xC3"), L"\uFFFD");
  EXPECT_EQ(encoding::Utf8ToWide("ok\xFF"), L"ok\uFFFD");
#ifndef _WIN32
  // The native decoder starts the next character at the byte that broke a sequence (the
  // Windows build takes whatever the system converter does).
  EXPECT_EQ(encoding::Utf8ToWide("a\xE4" "b"), L"a\uFFFDb");
#endif
}

TEST(Encoding, StrictEncodeRejectsLoneSurrogates) {
  std::string out;
  const std::wstring lone(1, static_cast<wchar_t>(0xD800));
  EXPECT_FALSE(encoding::Encode(CodePage::kOem, L"x" + lone, out));
  EXPECT_FALSE(encoding::IsWellFormed(lone));
  EXPECT_TRUE(encoding::Encode(CodePage::kOem, L"plain", out));
  EXPECT_EQ(out, "plain");
  // The lossy form still produces text.
  EXPECT_EQ(encoding::WideToAnsi(L"x" + lone), "x?");
}

TEST(Encoding, PathsKeepNonAsciiNames) {
  const std::wstring name = L"d\u00e9j\u00e0-\u4e2d";
  EXPECT_EQ(encoding::FromPath(encoding::ToPath(name)), name);
}

}  // namespace

namespace {

TEST(Encoding, Utf16LittleEndianBothWays) {
  const std::wstring text = L"K=\u00e9\u4e2d\U0001F600";
  const std::string bytes = encoding::WideToUtf16Le(text);
  EXPECT_EQ(bytes, std::string("K\0=\0\xE9\0\x2D\x4E\x3D\xD8\x00\xDE", 12));
  EXPECT_EQ(encoding::Utf16LeToWide(bytes), text);
  // A lone surrogate and an odd trailing byte.
  EXPECT_EQ(encoding::Utf16LeToWide(std::string("\x00\xD8" "a\0" "z", 5)), L"\uFFFDa");
}

}  // namespace
