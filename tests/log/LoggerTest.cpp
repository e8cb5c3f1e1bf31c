// The log is set up once per process: every test here shares one explicit set-up in a folder
// with a non-ASCII name and looks only at what it appended itself.
#include <gtest/gtest.h>

#include <regex>

#include "common/Encoding.h"
#include "log/Logger.h"
#include "log/LogPlatform.h"
#include "tests/support/TestFiles.h"

namespace {

using testsupport::ReadFileBytes;

class LoggerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new testsupport::TempFolder(L"log-\u00e9\u4e2d");
    logFolder_ = folder_->path() + L"W\u00f6rk" + L"/Log";
    InitLogger(L"nexvale_down.log", logFolder_.c_str());
  }
  static void TearDownTestSuite() {
    delete folder_;
    folder_ = nullptr;
  }

  static std::wstring LogPath() { return logFolder_ + L"/nexvale_down.log"; }

  void SetUp() override { start_ = ReadFileBytes(LogPath()).size(); }
  std::string Appended() const { return ReadFileBytes(LogPath()).substr(start_); }

  static inline testsupport::TempFolder* folder_ = nullptr;
  static inline std::wstring logFolder_;
  size_t start_ = 0;
};

const std::string kStamp = R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2},\d{3} )";
const std::string kBreak = logplatform::kLineBreak;

TEST_F(LoggerTest, RecordsAreStampBlankMessageBreakBlank) {
  LOG_INFO("A");
  LOG_INFOW(L"B%d", 7);
  const std::regex layout(kStamp + "A" + kBreak + " " + kStamp + "B7" + kBreak + " ");
  EXPECT_TRUE(std::regex_match(Appended(), layout)) << Appended();
}

TEST_F(LoggerTest, LaterSetUpsChangeNothing) {
  const std::wstring other = folder_->path() + L"other";
  InitLogger(L"other.log", other.c_str());
  LOG_INFO("still here");
  EXPECT_NE(Appended().find("still here"), std::string::npos);
  EXPECT_FALSE(testsupport::PathExists(other));
}

TEST_F(LoggerTest, DropsEmptyMessagesAndUnknownLevels) {
  WriteLogLine(kLog_Info, "");
  WriteLogLine(4, "level four");
  WriteLogLine(-1, "level minus one");
  LogPrint("f", "file", 1, kLog_Info, "%s", "");
  LOG_PRINT(kLog_Error, "error level");
  LOG_PRINT(kLog_Debug, "debug level");
  const std::string text = Appended();
  EXPECT_EQ(text.find("level four"), std::string::npos);
  EXPECT_EQ(text.find("level minus one"), std::string::npos);
  EXPECT_NE(text.find("error level"), std::string::npos);
  EXPECT_NE(text.find("debug level"), std::string::npos);
  // Only the two real records: two line breaks.
  EXPECT_EQ(std::regex_match(text, std::regex(kStamp + "error level" + kBreak + " " + kStamp + "debug level" +
                                              kBreak + " ")),
            true)
      << text;
}

TEST_F(LoggerTest, NarrowBytesAreWrittenAsTheyAre) {
  LOG_INFO("CMainFrameWnd::OnClickInstall\xA3\xBAstart %s", "\xC3\xEB");
  EXPECT_NE(Appended().find("CMainFrameWnd::OnClickInstall\xA3\xBAstart \xC3\xEB"), std::string::npos);
}

TEST_F(LoggerTest, WideMessagesUseTheOemCodePage) {
  LOG_INFOW(L"path:%s size:%lld", L"C:\\Caf\u00e9", 5000000000LL);
  EXPECT_NE(Appended().find("path:C:\\Caf" + encoding::WideToOem(L"\u00e9") + " size:5000000000"), std::string::npos);
}

TEST_F(LoggerTest, UnconvertibleMessageWritesTheFatalMarkerWithItsCaller) {
  const std::wstring lone(1, static_cast<wchar_t>(0xDC00));
  const int line = __LINE__ + 1;
  LOG_INFOW(L"value:%s", lone.c_str());
  const std::string expected = "[LoggerTest.cpp:" + std::to_string(line) + "][";
  const std::string text = Appended();
  EXPECT_NE(text.find(expected), std::string::npos) << text;
  EXPECT_NE(text.find(std::string("] ") + kLogFatalMarker), std::string::npos) << text;
  EXPECT_EQ(text.find("value:"), std::string::npos);
}

TEST_F(LoggerTest, LongMessagesAreNotCut) {
  const std::string longText(100000, 'q');
  LOG_INFO("%s|end", longText.c_str());
  LOG_INFOW(L"%S|wend", longText.c_str());
  const std::string text = Appended();
  EXPECT_NE(text.find(longText + "|end"), std::string::npos);
  EXPECT_NE(text.find(longText + "|wend"), std::string::npos);
}

}  // namespace
