// Whole-file reads and writes, renames, copies, removal and folder creation through the system
// calls of each build.

#include <gtest/gtest.h>

#include "common/FileOps.h"
#include "common/PathText.h"
#include "tests/support/TestFiles.h"

namespace {

using fileops::CopyReplacing;
using fileops::CreateFolders;
using fileops::Exists;
using fileops::ReadFileStart;
using fileops::ReadStep;
using fileops::ReadWholeFile;
using fileops::RemoveFile;
using fileops::RenameReplacing;
using fileops::ReplaceWholeFile;
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

// The new content arrives whole under the name, and nothing is left beside it either way.
TEST(FileOps, ReplaceWholeFileLeavesTheNewFileOrTheOldOne) {
  TempFolder folder(L"replace");
  const std::wstring path = folder.path() + L"data.ini";
  WriteFileBytes(path, "an older and longer content");
  ASSERT_FALSE(ReplaceWholeFile(path, "new"));
  EXPECT_EQ(ReadFileBytes(path), "new");
  ASSERT_FALSE(CreateFolders(folder.path() + L"taken"));
  EXPECT_TRUE(ReplaceWholeFile(folder.path() + L"taken", "x")) << "a folder is not replaced";
  EXPECT_TRUE(ReplaceWholeFile(folder.path() + L"missing/data.ini", "x"));
  const std::wstring part = L"." + std::to_wstring(fileops::platform::ProcessId()) + L".part";
  EXPECT_FALSE(testsupport::PathExists(path + part));
  EXPECT_FALSE(testsupport::PathExists(folder.path() + L"taken" + part));
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

TEST(FileOps, ReadWholeFileReturnsEveryByteOrTheStepThatFailed) {
  TempFolder folder(L"read \u00e9");
  const std::wstring path = folder.path() + L"data \u00e9.bin";
  // More than one read of the portable build's and larger than a small buffer would take.
  std::string content("\0\r\n\xff\x1a", 5);
  while (content.size() < 300000) content += content;
  WriteFileBytes(path, content);
  std::string bytes = "stale";
  ASSERT_FALSE(ReadWholeFile(path, bytes));
  EXPECT_EQ(bytes, content);
  ASSERT_FALSE(ReadWholeFile(path, bytes, content.size())) << "a limit equal to the size is met";
  EXPECT_EQ(bytes, content);

  const fileops::ReadFailure large = ReadWholeFile(path, bytes, content.size() - 1);
  ASSERT_TRUE(large);
  EXPECT_EQ(large.step, ReadStep::kTooLarge);
  EXPECT_EQ(large.code, 0) << "not the system's failure";
  EXPECT_TRUE(bytes.empty());

  const fileops::ReadFailure missing = ReadWholeFile(folder.path() + L"missing", bytes);
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing.step, ReadStep::kOpen);
  EXPECT_NE(missing.code, 0) << missing.text;
  ASSERT_FALSE(CreateFolders(folder.path() + L"folder"));
  EXPECT_TRUE(ReadWholeFile(folder.path() + L"folder", bytes)) << "a folder is not a file";

  WriteFileBytes(path, "");
  ASSERT_FALSE(ReadWholeFile(path, bytes));
  EXPECT_TRUE(bytes.empty());
}

TEST(FileOps, ReadFileStartStopsAtTheCountOrTheEnd) {
  TempFolder folder(L"start");
  const std::wstring path = folder.path() + L"progress";
  WriteFileBytes(path, "0123456789abc");
  std::string bytes;
  ASSERT_FALSE(ReadFileStart(path, 10, bytes));
  EXPECT_EQ(bytes, "0123456789");
  ASSERT_FALSE(ReadFileStart(path, 100, bytes));
  EXPECT_EQ(bytes, "0123456789abc");
  EXPECT_TRUE(ReadFileStart(folder.path() + L"missing", 10, bytes));
  EXPECT_TRUE(bytes.empty());
}

TEST(FileOps, CopyRemoveAndExistsReportWhatTheSystemDid) {
  TempFolder folder(L"copy");
  const std::wstring source = folder.path() + L"source";
  const std::string content(200000, '\x5a');
  WriteFileBytes(source, content);
  WriteFileBytes(folder.path() + L"target", "old and longer than nothing");
  ASSERT_FALSE(CopyReplacing(source, folder.path() + L"target"));
  EXPECT_EQ(ReadFileBytes(folder.path() + L"target"), content);
  EXPECT_EQ(ReadFileBytes(source), content);
  EXPECT_TRUE(CopyReplacing(folder.path() + L"missing", folder.path() + L"other"));
  EXPECT_FALSE(Exists(folder.path() + L"other"));

  EXPECT_TRUE(Exists(source));
  ASSERT_FALSE(RemoveFile(source));
  EXPECT_FALSE(Exists(source));
  EXPECT_FALSE(RemoveFile(source)) << "a file already gone is what was wanted";
  EXPECT_FALSE(RemoveFile(folder.path() + L"no folder/file"));
  ASSERT_FALSE(CreateFolders(folder.path() + L"folder"));
  EXPECT_TRUE(Exists(folder.path() + L"folder"));
  const fileops::Failure folderRemoval = RemoveFile(folder.path() + L"folder");
  EXPECT_TRUE(folderRemoval) << "a folder is not removed as a file";
  EXPECT_NE(folderRemoval.code, 0);
  EXPECT_TRUE(IsFolder(folder.path() + L"folder"));
}

}  // namespace
