#include <gtest/gtest.h>

#include "common/FileOps.h"
#include "log/Logger.h"
#include "log/RollingFileAppender.h"
#include "tests/support/TestFiles.h"

namespace {

using testsupport::PathExists;
using testsupport::ReadFileBytes;

TEST(RollingFileAppender, RollsAfterTheRecordThatReachesTheLimit) {
  testsupport::TempFolder folder(L"roll");
  const std::wstring path = folder.path() + L"roll.log";
  testsupport::WriteFileBytes(path + L".1", "stale backup");

  const std::string chunk(1 << 20, 'x');
  {
    RollingFileAppender appender("roll", path, kLogMaxFileSize);
    ASSERT_TRUE(appender.isOpen());
    for (int i = 0; i < 9; ++i) appender.Append(chunk);
    appender.Append(chunk + "last-before-roll");  // crosses 10 MiB: rolled right after
    appender.Append("first-after-roll");
  }
  const std::string backup = ReadFileBytes(path + L".1");
  EXPECT_EQ(backup.size(), 10u * chunk.size() + 16);
  EXPECT_EQ(backup.substr(backup.size() - 16), "last-before-roll");
  EXPECT_EQ(ReadFileBytes(path), "first-after-roll");
  EXPECT_FALSE(PathExists(path + L".1.1"));
}

TEST(RollingFileAppender, AFileThatCannotRollKeepsItsRecordsAndSaysWhyOnce) {
  testsupport::TempFolder folder(L"stuck");
  const std::wstring path = folder.path() + L"stuck.log";
  // A folder with a folder in it holds the backup's name: no rename can replace it.
  ASSERT_FALSE(fileops::CreateFolders(path + L".1/inner"));
  {
    RollingFileAppender appender("stuck", path, 8);
    for (const char* record : {"first-record|", "second-record|", "third-record|"}) appender.Append(record);
  }
  const std::string text = ReadFileBytes(path);
  EXPECT_EQ(text.find("first-record|"), 0u) << text;
  const size_t failure = text.find("log file could not be rolled over: ");
  ASSERT_NE(failure, std::string::npos) << text;
  EXPECT_EQ(text.find("log file could not be rolled over: ", failure + 1), std::string::npos) << text;
  EXPECT_NE(text.find("second-record|third-record|", failure), std::string::npos) << text;
}

TEST(RollingFileAppender, AppendsToAnExistingFile) {
  testsupport::TempFolder folder(L"append");
  const std::wstring path = folder.path() + L"a.log";
  testsupport::WriteFileBytes(path, "old|");
  RollingFileAppender appender("a", path, kLogMaxFileSize);
  appender.Append("new");
  EXPECT_EQ(ReadFileBytes(path), "old|new");
}

TEST(RollingFileAppender, WithoutAFileRecordsAreDropped) {
  testsupport::TempFolder folder(L"nofile");
  RollingFileAppender appender("n", folder.path() + L"missing" + L"/sub/x.log", kLogMaxFileSize);
  EXPECT_FALSE(appender.isOpen());
  appender.Append("dropped");  // must not crash or create anything
  EXPECT_FALSE(PathExists(folder.path() + L"missing"));
}

}  // namespace
