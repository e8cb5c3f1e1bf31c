#include <gtest/gtest.h>

#include <regex>

#include "log/FormatCheck.h"
#include "log/LogRecord.h"

namespace {

using logdetail::ArgKind;

template <size_t N>
std::vector<ArgKind> Kinds(const wchar_t (&format)[N]) {
  ArgKind kinds[N] = {};
  const int count = logdetail::ParseWideFormat(format, kinds);
  if (count < 0) return {ArgKind::kInvalid};
  return std::vector<ArgKind>(kinds, kinds + count);
}

TEST(WideFormatCheck, ReadsConversionsInOrder) {
  EXPECT_EQ(Kinds(L"%s %S %hs %ls"), (std::vector<ArgKind>{ArgKind::kWideString, ArgKind::kNarrowString,
                                                           ArgKind::kNarrowString, ArgKind::kWideString}));
  EXPECT_EQ(Kinds(L"%-5d|%05.2f|%*x|%.*s|%I64u|%lld|%lu|%p|%%|%c"),
            (std::vector<ArgKind>{ArgKind::kInt32, ArgKind::kDouble, ArgKind::kInt32, ArgKind::kInt32,
                                  ArgKind::kInt32, ArgKind::kWideString, ArgKind::kInt64, ArgKind::kInt64,
                                  ArgKind::kLong, ArgKind::kPointer, ArgKind::kInt32}));
  EXPECT_EQ(Kinds(L"no conversions"), std::vector<ArgKind>{});
}

TEST(WideFormatCheck, RejectsWhatTheRuntimesDisagreeOn) {
  for (const auto& kinds : {Kinds(L"%zu"), Kinds(L"%n"), Kinds(L"%Lf"), Kinds(L"trailing %")}) {
    EXPECT_EQ(kinds, std::vector<ArgKind>{ArgKind::kInvalid});
  }
}

TEST(WideFormatCheck, MatchesArgumentTypesBySize) {
  using logdetail::Accepts;
  using logdetail::KindOf;
  EXPECT_TRUE(Accepts(ArgKind::kInt32, KindOf<unsigned short>()));
  EXPECT_TRUE(Accepts(ArgKind::kInt64, KindOf<unsigned long long>()));
  EXPECT_FALSE(Accepts(ArgKind::kInt32, KindOf<long long>()));
  EXPECT_TRUE(Accepts(ArgKind::kLong, KindOf<long>()));
  EXPECT_TRUE(Accepts(ArgKind::kWideString, KindOf<const wchar_t*>()));
  EXPECT_FALSE(Accepts(ArgKind::kWideString, KindOf<const char*>()));
  EXPECT_TRUE(Accepts(ArgKind::kPointer, KindOf<const char*>()));
  EXPECT_FALSE(Accepts(ArgKind::kInt32, KindOf<bool>()));
}

TEST(LogRecord, LayoutIsStampBlankMessageBreakBlank) {
  const std::string record = FormatLogRecord({2026, 3, 4, 5, 6, 7, 8}, "hello");
  EXPECT_EQ(record, std::string("2026-03-04 05:06:07,008 hello") + logplatform::kLineBreak + " ");
}

}  // namespace
