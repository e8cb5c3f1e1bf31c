// The install path check against real folders: natively on the POSIX file system, under Wine on
// the prefix's drives (C: writable, Z: the host's root, Q: unmapped).

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "Window/flow/InstallPathCheck.h"
#include "common/Encoding.h"
#include "common/PathText.h"
#include "tests/support/TestFiles.h"

namespace {

using testsupport::TempFolder;

const std::wstring kSep(1, pathtext::kSeparator);

TEST(InstallPathLength, AdmittedWithItsFinalSeparatorUpTo259Characters) {
  const struct {
    std::size_t length;  // of the text as typed
    bool endsInSeparator;
    bool admitted;
  } cases[] = {
      {258, false, true}, {259, false, false}, {260, false, false},
      {258, true, true},  {259, true, true},   {260, true, false},
  };
  for (const auto& c : cases) {
    const std::wstring text = std::wstring(c.length - (c.endsInSeparator ? 1 : 0), L'a') +
                              (c.endsInSeparator ? kSep : std::wstring());
    SCOPED_TRACE(::testing::Message() << text.size() << " characters" << (c.endsInSeparator ? " with" : " without")
                                      << " separator");
    const auto admitted = AdmitPathLength(text);
    ASSERT_EQ(admitted.has_value(), c.admitted);
    if (admitted) {
      EXPECT_EQ(*admitted, c.endsInSeparator ? text : text + kSep);
      EXPECT_LE(admitted->size(), kMaxInstallPathLength);
    }
  }
}

TEST(InstallPathLength, RootsOfFullPaths) {
  const struct {
    const wchar_t* path;
    std::size_t root;
  } cases[] = {
#ifdef _WIN32
      {L"C:\\Program Files\\", 3}, {L"c:/x", 3},      {L"C:x\\", 0},           {L"\\x\\", 0},
      {L"x\\y", 0},                {L"\\\\server\\share\\x\\", 15}, {L"\\\\server\\share", 14},
      {L"\\\\server\\", 0},        {L"\\\\\\share\\", 0}, {L"", 0},
#else
      {L"/opt/x/", 1}, {L"opt/x", 0}, {L"", 0},
#endif
  };
  for (const auto& c : cases) EXPECT_EQ(PathRootLength(c.path), c.root) << testing::PrintToString(std::wstring(c.path));
}

class InstallPathCheckTest : public ::testing::Test {
 protected:
  // The folder's entries, to show the probe file left nothing behind.
  std::size_t Entries() const {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(encoding::ToPath(folder_.path()))) {
      ++count;
    }
    return count;
  }

  TempFolder folder_{L"install path"};
};

TEST_F(InstallPathCheckTest, AcceptedPathsEndInTheSeparatorAndLeaveNoTrace) {
  const std::wstring base = folder_.path();
  const struct {
    std::wstring typed;
    std::wstring path;
  } cases[] = {
      {base, base},
      {base.substr(0, base.size() - 1), base},  // without its separator
      {base + L"Vandrel", base + L"Vandrel" + kSep},  // a last folder that does not exist yet
      {base + L"\u00e9t\u00e9 \u5b89\u88c5", base + L"\u00e9t\u00e9 \u5b89\u88c5" + kSep},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.typed));
    const InstallPathCheck check = CheckInstallPath(c.typed);
    EXPECT_EQ(check.refusal, PathRefusal::kNone) << DescribePathRefusal(check.refusal);
    EXPECT_EQ(check.path, c.path);
    EXPECT_EQ(Entries(), 0u) << "the probe file or the folder itself was left behind";
  }
}

TEST_F(InstallPathCheckTest, RefusalsInTheirOrder) {
  const std::wstring base = folder_.path();
  testsupport::WriteFileBytes(base + L"file", "x");
  const std::wstring tooLong = base + std::wstring(kMaxInstallPathLength - base.size(), L'x');
  const struct {
    const char* what;
    std::wstring typed;
    PathRefusal refusal;
  } cases[] = {
      {"259 characters before its separator", tooLong, PathRefusal::kTooLong},
      {"300 characters", base + std::wstring(300, L'y'), PathRefusal::kTooLong},
      {"empty", L"", PathRefusal::kNotFullPath},
      {"relative", L"Vandrel" + kSep + L"Data", PathRefusal::kNotFullPath},
      {"a character no name may hold", base + L"a<b", PathRefusal::kInvalidName},
      {"a control character", base + L"a\tb", PathRefusal::kInvalidName},
      {"missing parent", base + L"missing" + kSep + L"child", PathRefusal::kNotUsable},
      {"a file for the folder", base + L"file", PathRefusal::kFileInTheWay},
      {"a file for a parent", base + L"file" + kSep + L"child", PathRefusal::kNotUsable},
#ifdef _WIN32
      {"unmapped drive", L"Q:\\x", PathRefusal::kNotUsable},
      {"folder that refuses new files", L"Z:\\proc\\Vandrel", PathRefusal::kNotWritable},
#else
      {"folder that refuses new files", L"/proc/Vandrel", PathRefusal::kNotWritable},
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const InstallPathCheck check = CheckInstallPath(c.typed);
    EXPECT_EQ(check.refusal, c.refusal) << DescribePathRefusal(check.refusal);
    EXPECT_FALSE(check.accepted());
    // Refused for its length, the text is kept exactly as typed, never cut.
    if (c.refusal == PathRefusal::kTooLong) {
      EXPECT_EQ(check.path, c.typed);
    }
  }
  EXPECT_EQ(Entries(), 1u) << "only the file the test wrote";
}

}  // namespace
