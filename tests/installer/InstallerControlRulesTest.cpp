// The text rules of the silent install: its arguments, the progress file and process names.
#include <gtest/gtest.h>

#include <string>

#include "installer/InstallerCommandLine.h"
#include "installer/InstallerProgress.h"
#include "installer/ProcessName.h"
#include "tests/support/TestFiles.h"

namespace {

TEST(InstallerCommandLine, QuotedValuesAsTheyStand) {
  EXPECT_EQ(ComposeSilentInstallerArguments(L"C:\\Program Files (x86)\\", L"C:\\work\\temp.progress"),
            L" /verysilent /nexvale_down /wait_run /path=\"C:\\Program Files (x86)\\\""
            L" /progress=\"C:\\work\\temp.progress\"");
  // Nothing is escaped: quotes and backslashes inside a value are passed on unchanged.
  EXPECT_EQ(ComposeSilentInstallerArguments(L"D:\\a\\\\b\"c\\", L""),
            L" /verysilent /nexvale_down /wait_run /path=\"D:\\a\\\\b\"c\\\" /progress=\"\"");
}

TEST(InstallerProgress, ParsesTheLeadingNumber) {
  const struct {
    std::string content;
    int percent;
  } cases[] = {
      {"42", 42},
      {" 42%", 42},
      {"\t\r\n 7\n", 7},
      {"+55", 55},
      {"100", 100},
      {"0", 0},
      {"", 0},
      {"abc", 0},
      {"   ", 0},
      {"+", 0},
      {"- 5", 0},
      {"4 2", 4},
      {"42abc99", 42},
      {std::string("3\0" "9", 3), 3},
      // Only the first ten bytes count: the eleventh digit would make 10 into 100.
      {"         10", 1},
      {"000000004299", 42},
      {"0000000001" "00", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseInstallerProgress(c.content), c.percent) << '"' << c.content << '"';
}

TEST(InstallerProgress, OutOfRangeValuesAreClampedWithoutOverflow) {
  const struct {
    std::string content;
    int percent;
  } cases[] = {
      {"101", 100},
      {"9999999999", 100},
      {"99999999999999999999", 100},  // twenty digits
      {"4294967338", 100},            // 42 modulo 2^32: a wrapping parser would say 42
      {"-1", 0},
      {"-9999999999", 0},
      {"-0", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseInstallerProgress(c.content), c.percent) << '"' << c.content << '"';
}

TEST(InstallerProgress, ReadsTheFileOnlyWhenItOpens) {
  testsupport::TempFolder folder(L"progress");
  const std::wstring path = folder.path() + L"temp.progress";
  int percent = -1;
  EXPECT_FALSE(ReadInstallerProgressFile(path, percent));
  EXPECT_EQ(percent, -1);

  testsupport::WriteFileBytes(path, "12345678901234567890");
  ASSERT_TRUE(ReadInstallerProgressFile(path, percent));
  EXPECT_EQ(percent, 100);

  testsupport::WriteFileBytes(path, "");
  ASSERT_TRUE(ReadInstallerProgressFile(path, percent));
  EXPECT_EQ(percent, 0);

  testsupport::WriteFileBytes(path, " 37%");
  ASSERT_TRUE(ReadInstallerProgressFile(path, percent));
  EXPECT_EQ(percent, 37);
}

TEST(ProcessName, WholeNamesCompareExactly) {
  const std::wstring longName = std::wstring(200, L'n') + L".exe";
  const struct {
    std::wstring listed;
    std::wstring wanted;
    bool same;
  } cases[] = {
      {L"Vandrel.exe", L"Vandrel.exe", true},
      {L"vandrel.exe", L"Vandrel.exe", false},
      {L"Vandrel.exe", L"Vandrel", false},
      {L"Vandrel", L"Vandrel.exe", false},
      {L"", L"", true},
      {L"a.exe", L"", false},
      {longName, longName, true},
      {longName, longName.substr(0, 63), false},
      {longName.substr(0, 63), longName, false},
  };
  for (const auto& c : cases) {
    std::wstring buffer = c.listed;
    buffer.resize(260, L'\0');
    EXPECT_EQ(IsProcessNamed(buffer.data(), buffer.size(), c.wanted), c.same)
        << testing::PrintToString(c.listed) << " / " << testing::PrintToString(c.wanted);
  }
}

TEST(ProcessName, AnUnterminatedBufferEndsAtItsCapacity) {
  const wchar_t listed[4] = {L'a', L'b', L'c', L'd'};
  EXPECT_TRUE(IsProcessNamed(listed, 4, L"abcd"));
  EXPECT_FALSE(IsProcessNamed(listed, 4, L"abcde"));
  EXPECT_FALSE(IsProcessNamed(listed, 4, L"abc"));
}

}  // namespace
