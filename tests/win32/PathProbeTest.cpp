// What the file system says about installation paths, asked of Windows (here: Wine, whose C: is
// writable, Z: the host's root and Q: unmapped).
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/Encoding.h"
#include "installer/PathProbe.h"
#include "tests/support/TestFiles.h"

namespace {

using testsupport::TempFolder;

TEST(PathProbe, IsPathUsable) {
  TempFolder folder(L"usable");
  const std::wstring existing = folder.path();  // ends in '\'
  const struct {
    std::wstring path;
    bool usable;
  } cases[] = {
      {existing, true},
      {existing.substr(0, existing.size() - 1), true},
      {existing + L"NotYet", true},
      {existing + L"NotYet\\", true},
      {existing + L"Missing\\Child", false},
      {L"Q:\\surely\\missing\\drive", false},
      // Wine reports "Q:\x" on an unmapped drive as a missing file, so IsPathUsable takes it;
      // the install path check refuses it when it finds no existing root.
  };
  for (const auto& c : cases) EXPECT_EQ(IsPathUsable(c.path), c.usable) << testing::PrintToString(c.path);
}

TEST(PathProbe, KindsOfPaths) {
  TempFolder folder(L"kinds");
  testsupport::WriteFileBytes(folder.path() + L"file", "x");
  const struct {
    std::wstring path;
    PathKind kind;
  } cases[] = {
      {folder.path(), PathKind::kFolder},
      {folder.path().substr(0, folder.path().size() - 1), PathKind::kFolder},
      {L"C:\\", PathKind::kFolder},
      {folder.path() + L"file", PathKind::kOther},
      {folder.path() + L"missing", PathKind::kMissing},
      {folder.path() + L"missing\\child", PathKind::kMissing},
      {L"Q:\\", PathKind::kMissing},
      // A name Windows refuses is not taken for a folder that may be created.
      {folder.path() + L"a<b", PathKind::kOther},
  };
  for (const auto& c : cases) EXPECT_EQ(ProbePath(c.path), c.kind) << testing::PrintToString(c.path);
}

TEST(PathProbe, ProbeFileIsCreatedAndGoneAgain) {
  TempFolder folder(L"probe");
  EXPECT_TRUE(FolderAcceptsNewFile(folder.path()));
  EXPECT_TRUE(std::filesystem::is_empty(encoding::ToPath(folder.path())));
  EXPECT_FALSE(FolderAcceptsNewFile(folder.path() + L"missing\\"));
  // The host's /proc takes no new files, not even from root.
  EXPECT_FALSE(FolderAcceptsNewFile(L"Z:\\proc\\"));
}

}  // namespace
