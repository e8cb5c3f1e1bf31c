// Runs as "log.default_setup_test": a record written before any set-up creates the default log,
// named by the executable's name up to its first dot, in the folder "Log" beside it.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/Encoding.h"
#include "log/Logger.h"
#include "tests/support/TestFiles.h"

namespace {

TEST(LoggerDefaultSetUp, FirstRecordCreatesTheDefaultLogAndLaterSetUpsDoNotMoveIt) {
  const std::wstring logFolder = testsupport::BuildBinFolder() + L"Log";
  const std::wstring logPath = logFolder + L"/log.log";
  std::error_code ignored;
  std::filesystem::remove(encoding::ToPath(logPath), ignored);

  LOG_INFO("before any set-up");
  ASSERT_TRUE(testsupport::PathExists(logPath));

  testsupport::TempFolder elsewhere(L"elsewhere");
  InitLogger(L"moved.log", elsewhere.path().c_str());
  LOG_INFO("after the explicit set-up");

  const std::string text = testsupport::ReadFileBytes(logPath);
  EXPECT_NE(text.find("before any set-up"), std::string::npos);
  EXPECT_NE(text.find("after the explicit set-up"), std::string::npos);
  EXPECT_FALSE(testsupport::PathExists(elsewhere.path() + L"moved.log"));
}

}  // namespace
