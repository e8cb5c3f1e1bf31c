// Whole-file writes, renames and folder creation through the system calls of each build.

#include <gtest/gtest.h>

#include "common/FileOps.h"
#include "common/PathText.h"
#include "tests/support/TestFiles.h"

namespace {

using fileops::CreateFolders;
using fileops::RenameReplacing;
using fileops::WriteWholeFile;
using fileops::platform::IsFolder;
using testsupport::ReadFileBytes;
using testsupport::TempFolder;
using testsupport::WriteFileBytes;

TEST(FileOps, CreateFoldersMakesEveryMissingFolderAndStopsAtAFileInTheWay) {
  TempFolder folder(L"folders \u00e9");
  // The build's separator and '/', a doubled one and a trailing one, as path texts may hold them.
  ASSERT_FALSE(CreateFolders(folder.path() + L"a" + pathtext::kSeparator + L"b//c/"));
  EXPECT_TRUE(IsFolder(folder.path() + L"a/b/c"));
  EXPECT_FALSE(CreateFolders(folder.path() + L"a/b/c")) << "an existing folder is success";

  WriteFileBytes(folder.path() + L"file", "kept");
  const fileops::Failure below = CreateFolders(folder.path() + L"file/sub/deeper");
  EXPECT_TRUE(below) << "a file where a folder belongs";
  const fileops::Failure itself = CreateFolders(folder.path() + L"file");
  EXPECT_TRUE(itself);
  EXPECT_EQ(ReadFileBytes(folder.path() + L"file"), "kept");
  EXPECT_TRUE(CreateFolders(L""));
}

TEST(FileOps, WriteWholeFileReplacesTheContentOrSaysWhyNot) {
  TempFolder folder(L"write");
  const std::wstring path = folder.path() + L"data.bin";
  WriteFileBytes(path, "an older and longer content");
  const std::string bytes("new\0\r\n\xff", 7);
  ASSERT_FALSE(WriteWholeFile(path, bytes));
  EXPECT_EQ(ReadFileBytes(path), bytes);
  ASSERT_FALSE(WriteWholeFile(path, ""));
  EXPECT_EQ(ReadFileBytes(path), "");

  const fileops::Failure missingFolder = WriteWholeFile(folder.path() + L"missing/data.bin", "x");
  EXPECT_FALSE(missingFolder.text.empty());
  ASSERT_FALSE(CreateFolders(folder.path() + L"taken"));
  EXPECT_TRUE(WriteWholeFile(folder.path() + L"taken", "x")) << "a folder is not overwritten";
  EXPECT_TRUE(IsFolder(folder.path() + L"taken"));
}

TEST(FileOps, RenameReplacesAnExistingTargetAndReportsAMissingSource) {
  TempFolder folder(L"rename");
  WriteFileBytes(folder.path() + L"from", "new");
  WriteFileBytes(folder.path() + L"to", "old and longer");
  ASSERT_FALSE(RenameReplacing(folder.path() + L"from", folder.path() + L"to"));
  EXPECT_EQ(ReadFileBytes(folder.path() + L"to"), "new");
  EXPECT_FALSE(testsupport::PathExists(folder.path() + L"from"));

  EXPECT_TRUE(RenameReplacing(folder.path() + L"from", folder.path() + L"elsewhere"));
  EXPECT_FALSE(testsupport::PathExists(folder.path() + L"elsewhere"));
}

}  // namespace
