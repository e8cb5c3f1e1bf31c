#include <gtest/gtest.h>

#include <filesystem>

#include "common/Encoding.h"
#include "common/LanguageManager.h"
#include "common/PathText.h"
#include "tests/support/TestFiles.h"

namespace {

using testsupport::WriteFileBytes;

// A configuration folder with English and Arabic texts; German is listed but has no folder.
class LanguageManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = folder_.path();
    WriteFileBytes(base_ + L"language.ini", "[Language]\r\n1033=English\r\n1025=Arabic\r\n1031=German\r\n");
    WriteProduct(L"STR_PRODUCT_NAME=Vandrel Data Recovery\r\nSTR_BRAND_NAME=Vandrel\r\nSTR_LISENCE_COLOR=#4858EC\r\n"
                 L"STR_DIR1_NAME=Vandrel\r\nSTR_DIR2_NAME=Vandrel\r\nSTR_EXE_NAME=Vandrel.exe\r\nSTR_PID=16\r\n");
    for (const wchar_t* language : {L"English", L"Arabic"}) {
      const std::wstring folder = base_ + language + pathtext::kSeparator;
      std::filesystem::create_directories(encoding::ToPath(folder));
      WriteFileBytes(folder + L"UrlInfo.ini",
                     testsupport::Utf16IniBytes(L"[URL]\r\nSTR_DOWN_URL=https://dl/x86.exe\r\nSTR_DOWN_URL_X64=https://dl/x64.exe\r\n"
                               L"STR_LICENCE_URL=https://api/producturl?key=license_agreement&pid=16&lang=" +
                               std::wstring(language) + L"\r\nSTR_INSTALL_URL=https://api/installed.html\r\n"));
    }
    WriteFileBytes(base_ + L"Arabic" + pathtext::kSeparator + L"text.ini",
                   testsupport::Utf16IniBytes(L"[LANSTR]\r\nSTR_INSTALL = \u062a\u062b\u0628\u064a\u062a\r\n"));
  }

  void WriteProduct(const std::wstring& lines) {
    WriteFileBytes(base_ + L"productInfo.ini", testsupport::Utf16IniBytes(L"[PRODUCT]\r\n" + lines));
  }

  testsupport::TempFolder folder_{L"language"};
  std::wstring base_;
  LanguageManager manager_;
};

TEST_F(LanguageManagerTest, UiLanguageSelectsTheFolder) {
  const struct {
    const wchar_t* ui;
    const wchar_t* language;
    bool rightToLeft;
    const wchar_t* install;
  } cases[] = {
      {L"1025", L"Arabic", true, L"\u062a\u062b\u0628\u064a\u062a"},
      {L"1033", L"English", false, L"Install"},
      {L"2057", L"English", false, L"Install"},  // regional variant, not listed
  };
  for (const auto& c : cases) {
    LanguageManager manager;
    manager.Init(base_, c.ui);
    EXPECT_EQ(manager.GetLanguage(), c.language) << c.ui;
    EXPECT_EQ(manager.IsRightToLeft(), c.rightToLeft) << c.ui;
    EXPECT_EQ(manager.GetLangText(L"STR_INSTALL"), c.install) << c.ui;
    // Keys the folder lacks keep their built-in texts.
    EXPECT_EQ(manager.GetLangText(L"STR_BROWSE"), L"Browse") << c.ui;
    EXPECT_EQ(manager.GetInstallerUrl(false), L"https://dl/x86.exe") << c.ui;
  }
}

TEST_F(LanguageManagerTest, ListedLanguageWithoutFolderHasTextsButNoAddresses) {
  manager_.Init(base_, L"1031");
  EXPECT_EQ(manager_.GetLanguage(), L"German");
  EXPECT_EQ(manager_.GetLangText(L"STR_INSTALL"), L"Install");
  EXPECT_EQ(manager_.GetLangText(L"STR_MSG_BtnYesText"), L"");
  EXPECT_EQ(manager_.GetInstallerUrl(true), L"");
  EXPECT_EQ(manager_.GetLicenceUrl(), L"");
}

TEST_F(LanguageManagerTest, PlaceholdersAndSettings) {
  manager_.Init(base_, L"1033");
  EXPECT_EQ(manager_.GetLangText(L"STR_MESSAGEBOX_TITLE"), L"Vandrel Data Recovery Setup");
  EXPECT_EQ(manager_.GetLangText(L"STR_LISENCE"), L"I've read and agreed to {c #4858EC}Vandrel License Agreement{/c}");
  EXPECT_EQ(manager_.GetLangText(L"STR_START"), L"Start\u00a0Now");
  EXPECT_EQ(manager_.GetLangText(L"NO_SUCH_KEY"), L"");
  const std::wstring S(1, pathtext::kSeparator);
  EXPECT_EQ(manager_.GetProductFolder(), L"Vandrel" + S + L"Vandrel" + S);
  EXPECT_EQ(manager_.GetProductExecutable(), L"Vandrel" + S + L"Vandrel" + S + L"Vandrel.exe");
  EXPECT_EQ(manager_.GetInstallerUrl(true), L"https://dl/x64.exe");
  EXPECT_TRUE(manager_.IsRunAsAdmin());
  EXPECT_EQ(manager_.GetDownloadRatio(), 90);
  EXPECT_EQ(manager_.GetReadFileTimeout(), 1500);

  manager_.SetDomainCode(L"com_english");
  EXPECT_EQ(manager_.GetLicenceUrl(),
            L"https://api/producturl?key=license_agreement&pid=16&lang=English&custom=com_english");
  EXPECT_EQ(manager_.GetInstalledPageUrl(), L"https://api/installed.html");
}

TEST_F(LanguageManagerTest, BannerFeedUrlNamesProductAndLanguageFolderUnencoded) {
  manager_.Init(base_, L"1033");
  EXPECT_EQ(manager_.GetBannerFeedUrl(L"api.nexvale.example"),
            L"https://api.nexvale.example/downloader/carousel?pid=16&lang=English");
  manager_.Init(base_, L"1025");
  EXPECT_EQ(manager_.GetBannerFeedUrl(L"localhost"), L"https://localhost/downloader/carousel?pid=16&lang=Arabic");
  WriteProduct(L"STR_PID=1 6&x\r\n");
  manager_.Init(base_, L"1033");
  EXPECT_EQ(manager_.GetBannerFeedUrl(L"h"), L"https://h/downloader/carousel?pid=1 6&x&lang=English");
}

TEST_F(LanguageManagerTest, PlaceholderPassesRunInOrderAndDefaultsApply) {
  // The product name carries the word BRAND: the third pass replaces it. No brand: "Nexvale".
  WriteProduct(L"STR_PRODUCT_NAME=BRAND Tool\r\nSTR_DIR2_NAME=App\r\nSTR_RUN_AS_ADMIN=0\r\n");
  manager_.Init(base_, L"1033");
  EXPECT_EQ(manager_.GetLangText(L"STR_MESSAGEBOX_TITLE"), L"Nexvale Tool Setup");
  EXPECT_EQ(manager_.GetBrandName(), L"Nexvale");
  EXPECT_EQ(manager_.GetProductFolder(), L"App" + std::wstring(1, pathtext::kSeparator));
  EXPECT_FALSE(manager_.IsRunAsAdmin());

  WriteProduct(L"STR_RUN_AS_ADMIN=false\r\n");
  manager_.Init(base_, L"1033");
  EXPECT_EQ(manager_.GetLangText(L"STR_MESSAGEBOX_TITLE"), L" Setup");
  EXPECT_EQ(manager_.GetProductFolder(), L"");
  EXPECT_TRUE(manager_.IsRunAsAdmin());
}

}  // namespace
