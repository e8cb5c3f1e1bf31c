#include <gtest/gtest.h>

#include "common/PathText.h"

namespace {

const std::wstring S(1, pathtext::kSeparator);

TEST(PathText, SplitsAtTheLastSeparatorOfEitherKind) {
  EXPECT_EQ(pathtext::FileNamePart(L"C:\\a\\b/setup.x.exe"), L"setup.x.exe");
  EXPECT_EQ(pathtext::FolderPart(L"C:\\a\\b/setup.x.exe"), L"C:\\a\\b");
  EXPECT_EQ(pathtext::FileNamePart(L"plain"), L"plain");
  EXPECT_EQ(pathtext::FolderPart(L"plain"), L"");
}

TEST(PathText, StemRules) {
  EXPECT_EQ(pathtext::StemBeforeLastDot(L"setup.x.exe"), L"setup.x");
  EXPECT_EQ(pathtext::StemBeforeFirstDot(L"a.b.exe"), L"a");
  EXPECT_EQ(pathtext::StemBeforeLastDot(L"noext"), L"noext");
  EXPECT_EQ(pathtext::StemBeforeFirstDot(L"noext"), L"noext");
}

TEST(PathText, NormalisesAndCollapsesSeparators) {
  EXPECT_EQ(pathtext::NormalizeSeparators(L"C:/a//b\\\\c/"), L"C:" + S + L"a" + S + L"b" + S + L"c" + S);
  EXPECT_EQ(pathtext::WithTrailingSeparator(L"x"), L"x" + S);
  EXPECT_EQ(pathtext::WithTrailingSeparator(L"x\\\\"), L"x" + S);
}

}  // namespace
