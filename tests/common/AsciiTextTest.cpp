#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "common/AsciiText.h"

namespace {

using asciitext::EqualsIgnoringCase;
using asciitext::ParseDecimal;
using asciitext::TrimBlanks;

TEST(AsciiText, DecimalsAreDigitsOnlyUpToTheLimit) {
  const std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
  const struct {
    const char* text;
    std::uint64_t limit;
    std::optional<std::uint64_t> value;
  } cases[] = {
      {"0", max, 0},
      {"8388608", max, 8388608},
      {"0000000000000000000000000000012", max, 12},  // leading zeros never overflow
      {"18446744073709551615", max, max},
      {"18446744073709551616", max, std::nullopt},
      {"99999999999999999999", max, std::nullopt},
      {"9223372036854775807", INT64_MAX, INT64_MAX},
      {"9223372036854775808", INT64_MAX, std::nullopt},
      {"404", 999, 404},
      {"999", 999, 999},
      {"1000", 999, std::nullopt},
      // A digit above a limit below 9 must not wrap the bound check.
      {"5", 3, std::nullopt},
      {"3", 3, 3},
      {"1", 0, std::nullopt},
      {"0", 0, 0},
      {"", max, std::nullopt},
      {"-1", max, std::nullopt},
      {"+1", max, std::nullopt},
      {" 12", max, std::nullopt},
      {"12 ", max, std::nullopt},
      {"1a", max, std::nullopt},
      {"0x10", max, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseDecimal(c.text, c.limit), c.value) << '"' << c.text << "\" up to " << c.limit;
  }
}

TEST(AsciiText, CaseFoldsOnlyAsciiLettersInNarrowAndWideText) {
  EXPECT_TRUE(EqualsIgnoringCase("Content-Length", "content-LENGTH"));
  EXPECT_FALSE(EqualsIgnoringCase("Content-Length", "Content-Lengt"));
  EXPECT_FALSE(EqualsIgnoringCase("[", "{"));  // '[' is 'Z' + 1, not a letter
  EXPECT_FALSE(EqualsIgnoringCase("@", "`"));  // 'A' - 1 and 'a' - 1
  EXPECT_TRUE(EqualsIgnoringCase(L"Settings", L"SETTINGS"));
  EXPECT_FALSE(EqualsIgnoringCase(L"\u00C4", L"\u00E4"));  // no folding beyond ASCII
  EXPECT_EQ(asciitext::Lowered("KeeP-Alive \xC4"), "keep-alive \xC4");
}

TEST(AsciiText, TrimsSpacesAndTabsOnly) {
  EXPECT_EQ(TrimBlanks(" \t value \t "), "value");
  EXPECT_EQ(TrimBlanks("a b"), "a b");
  EXPECT_EQ(TrimBlanks(" \t "), "");
  EXPECT_EQ(TrimBlanks("\r\nx\n"), "\r\nx\n");
  EXPECT_EQ(TrimBlanks(L"\t key = value "), L"key = value");
}

}  // namespace
