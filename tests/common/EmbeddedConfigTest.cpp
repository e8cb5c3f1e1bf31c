// The configuration archives the build embeds, read back the way the program reads them:
// extracted, then through the same capped section reader.
#include <gtest/gtest.h>

#include <set>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include "common/ConfigExtraction.h"
#include "common/Encoding.h"
#include "common/IniFile.h"
#include "common/PathText.h"
#include "resources/ResourceIds.h"
#include "tests/support/TestFiles.h"

namespace {

const wchar_t* const kLanguages[] = {L"Arabic", L"Chinese", L"ChineseTW", L"Dutch",    L"English",
                                     L"French", L"German",  L"Italian",   L"Japanese", L"Korean",
                                     L"Portuguese", L"Spanish", L"Swedish", L"Thai"};
const wchar_t* const kTextKeys[] = {
    L"STR_INSTALL",      L"STR_BROWSE",         L"STR_LISENCE",       L"STR_CUSTOMIZE_INSTALL", L"STR_INSTALL_PATH",
    L"STR_SELECT_FOLDER", L"STR_STORAGE",       L"STR_PATH_INVALID",  L"STR_INSTALLING",        L"STR_HIDE",
    L"STR_MESSAGEBOX_TITLE", L"STR_NETWORK_ERROR", L"STR_OPERATE_TIP", L"STR_SOFT_RUN",         L"STR_CLOSE_TIP1",
    L"STR_CLOSE_TIP2",   L"STR_START",          L"STR_MB",            L"STR_MSB_Title",         L"STR_BTN_STOP_Text",
    L"STR_MSG_Context",  L"STR_MSG_BtnYesText", L"STR_MSG_BtnNoText", L"STR_INSTALLER_START_FAILED"};
const wchar_t* const kAddressKeys[] = {L"STR_DOWN_URL", L"STR_DOWN_URL_X64", L"STR_DOWN_URLEX", L"STR_LICENCE_URL",
                                       L"STR_INSTALL_URL"};

// The archive of one deployment as the build embeds it.
std::string EmbeddedArchive(const std::wstring& deployment) {
#ifdef _WIN32
  // Read from the setup executable itself.
  const std::wstring exe = testsupport::BuildBinFolder() +
                           (deployment == L"local" ? L"VandrelSetup-local.exe" : L"VandrelSetup.exe");
  HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return std::string();
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(IDR_CONFIG_ARCHIVE), RT_RCDATA);
  HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
  const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  std::string bytes = data ? std::string(data, SizeofResource(module, resource)) : std::string();
  FreeLibrary(module);
  return bytes;
#else
  return testsupport::ReadFileBytes(encoding::Utf8ToWide(NEXVALE_EMBEDDED_DATA_DIR) + L"/" + deployment +
                                    L"/config.zip");
#endif
}

// Every "{c ...}" has its "{/c}", and braces pair up.
bool MarkupBalanced(const std::wstring& text) {
  int open = 0;
  int colour = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'{') {
      if (++open > 1) return false;
      if (text.compare(i, 3, L"{c ") == 0) ++colour;
      if (text.compare(i, 4, L"{/c}") == 0 && --colour < 0) return false;
    } else if (text[i] == L'}') {
      if (--open < 0) return false;
    }
  }
  return open == 0 && colour == 0;
}

class EmbeddedConfigTest : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(EmbeddedConfigTest, EveryLanguageHasEveryKeyInTheRightEncoding) {
  const std::wstring deployment = GetParam();
  const std::string archive = EmbeddedArchive(deployment);
  ASSERT_FALSE(archive.empty());
  testsupport::TempFolder folder(L"embedded");
  const std::wstring base = folder.path();
  const ExtractionResult result = ExtractArchive(archive.data(), static_cast<uint32_t>(archive.size()), base);
  ASSERT_TRUE(result.opened);
  EXPECT_EQ(result.skipped, 0);
  const std::wstring S(1, pathtext::kSeparator);

  const std::string languageIni = testsupport::ReadFileBytes(base + L"language.ini");
  EXPECT_EQ(languageIni.find_first_of(std::string("\x80\xFF\0", 3)), std::string::npos) << "language.ini is ASCII";
  const ini::SectionTable languages = ini::ReadSection(base + L"language.ini", L"Language");
  EXPECT_EQ(languages.size(), 14u);
  EXPECT_EQ(languages.at(L"1025"), L"Arabic");
  EXPECT_EQ(languages.at(L"1033"), L"English");

  const std::string product = testsupport::ReadFileBytes(base + L"productInfo.ini");
  EXPECT_EQ(product.substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(ini::ReadSection(base + L"productInfo.ini", L"PRODUCT").at(L"STR_PRODUCT_NAME"), L"Vandrel Data Recovery");

  std::set<std::wstring> listed;
  for (const auto& [id, language] : languages) listed.insert(language);
  for (const wchar_t* language : kLanguages) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(language)));
    EXPECT_EQ(listed.count(language), 1u);
    const std::wstring dir = base + language + S;
    for (const wchar_t* file : {L"text.ini", L"UrlInfo.ini"}) {
      const std::string bytes = testsupport::ReadFileBytes(dir + file);
      EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << "UTF-16LE with byte-order mark";
      EXPECT_NE(bytes.find(std::string("\r\0\n\0", 4)), std::string::npos) << "CR LF line ends";
    }
    const std::wstring sectionText =
        ini::SectionText(ini::DecodeIniBytes(testsupport::ReadFileBytes(dir + L"text.ini")), L"LANSTR");
    EXPECT_LT(sectionText.size(), ini::kSectionCapacity - 2) << "the texts fit the section reader";
    const ini::SectionTable texts = ini::ParseSectionText(sectionText);
    for (const wchar_t* key : kTextKeys) {
      const auto found = texts.find(key);
      ASSERT_NE(found, texts.end()) << testing::PrintToString(std::wstring(key));
      EXPECT_FALSE(found->second.empty());
      EXPECT_TRUE(MarkupBalanced(found->second)) << testing::PrintToString(found->second);
    }
    EXPECT_NE(texts.at(L"STR_MESSAGEBOX_TITLE").find(L"PRODUCT"), std::wstring::npos);
    EXPECT_NE(texts.at(L"STR_LISENCE").find(L"{c COLOR}"), std::wstring::npos);
    EXPECT_NE(texts.at(L"STR_LISENCE").find(L"BRAND"), std::wstring::npos);

    const ini::SectionTable addresses = ini::ReadSection(dir + L"UrlInfo.ini", L"URL");
    for (const wchar_t* key : kAddressKeys) {
      const std::wstring address = addresses.count(key) ? addresses.at(key) : L"";
      const std::wstring host = deployment == L"local" ? L"https://localhost/" : L"https://";
      EXPECT_EQ(address.rfind(host, 0), 0u) << testing::PrintToString(address);
      EXPECT_EQ(address.find(L".example") != std::wstring::npos, deployment != L"local")
          << testing::PrintToString(address);
    }

    const std::string png = testsupport::ReadFileBytes(dir + L"install_tips.png");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(png.substr(16, 8), std::string("\0\0\x02\x08\0\0\0\x24", 8)) << "520 x 36";
  }
}

INSTANTIATE_TEST_SUITE_P(Deployments, EmbeddedConfigTest, ::testing::Values(L"product", L"local"),
                         [](const auto& info) { return std::string(info.param == std::wstring(L"local") ? "local" : "product"); });

}  // namespace
