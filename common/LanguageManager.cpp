#include "common/LanguageManager.h"

#include "common/ConfigRules.h"
#include "common/IniFile.h"
#include "common/PathText.h"
#include "log/Logger.h"

namespace {

std::wstring Lookup(const LanguageManager::Table& table, const std::wstring& key) {
  const auto found = table.find(key);
  return found == table.end() ? std::wstring() : found->second;
}

}  // namespace

const LanguageManager::Table& LanguageManager::BuiltInTexts() {
  static const Table texts = {
      {L"STR_INSTALL", L"Install"},
      {L"STR_BROWSE", L"Browse"},
      {L"STR_LISENCE", L"I've read and agreed to {c COLOR}BRAND License Agreement{/c}"},
      {L"STR_CUSTOMIZE_INSTALL", L"Customize Installation"},
      {L"STR_INSTALL_PATH", L"Installation Path"},
      {L"STR_SELECT_FOLDER", L"Select a location to install the program"},
      {L"STR_STORAGE", L"Insuficient storage. Storage required:"},
      {L"STR_PATH_INVALID", L"The installation path is invalid."},
      {L"STR_INSTALLING", L"Installing..."},
      {L"STR_HIDE", L"Hide"},
      {L"STR_MESSAGEBOX_TITLE", L"PRODUCT Setup"},
      {L"STR_NETWORK_ERROR", L"Network error. Please check your network settings."},
      {L"STR_OPERATE_TIP",
       L"Click Abort to cancel installation, Retry to try again, or Ignore to download via browser."},
      {L"STR_SOFT_RUN",
       L"PRODUCT is running. Continuing installation will forcely quit the program. Are you sure to install?"},
      {L"STR_CLOSE_TIP1", L"Are you sure you want to quit?"},
      {L"STR_CLOSE_TIP2", L"Installation is in progress. Are you sure you want to quit?"},
      {L"STR_START", L"Start\u00a0Now"},
      {L"STR_MB", L"MB"},
      {L"STR_INSTALLER_START_FAILED", L"The installer could not be started. Click Install to try again."},
  };
  return texts;
}

void LanguageManager::Init(const std::wstring& basePath, const std::wstring& uiLanguage) {
  domainCode_.clear();
  rightToLeft_ = false;
  basePath_ = basePath;
  InitCurrentLanguage(uiLanguage);
  product_ = ini::ReadSection(basePath_ + L"productInfo.ini", L"PRODUCT");
  addresses_ = ini::ReadSection(basePath_ + language_ + pathtext::kSeparator + L"UrlInfo.ini", L"URL");
  LoadTexts();
}

void LanguageManager::InitCurrentLanguage(const std::wstring& uiLanguage) {
  language_ = L"English";
  LOG_INFOW(L"Language Code:%s", uiLanguage.c_str());
  const std::wstring chosen = ini::ReadValue(basePath_ + L"language.ini", L"Language", uiLanguage, L"");
  if (!chosen.empty()) language_ = chosen;
  if (language_ == L"Arabic") rightToLeft_ = true;
}

void LanguageManager::LoadTexts() {
  texts_ = BuiltInTexts();
  const Table translated = ini::ReadSection(basePath_ + language_ + pathtext::kSeparator + L"text.ini", L"LANSTR");
  for (const auto& [key, text] : translated) texts_[key] = text;

  const std::wstring product = GetProductSetting(L"STR_PRODUCT_NAME");
  const std::wstring colour = GetProductSetting(L"STR_LISENCE_COLOR");
  const std::wstring brand = GetBrandName();
  for (auto& [key, text] : texts_) {
    text = ReplacePlaceholder(ReplacePlaceholder(ReplacePlaceholder(text, L"PRODUCT", product), L"COLOR", colour),
                              L"BRAND", brand);
  }
}

std::wstring LanguageManager::GetLangText(const std::wstring& key) const { return Lookup(texts_, key); }
std::wstring LanguageManager::GetProductSetting(const std::wstring& key) const { return Lookup(product_, key); }
std::wstring LanguageManager::GetAddressSetting(const std::wstring& key) const { return Lookup(addresses_, key); }

std::wstring LanguageManager::GetBrandName() const {
  const std::wstring brand = GetProductSetting(L"STR_BRAND_NAME");
  return brand.empty() ? L"Nexvale" : brand;
}

std::wstring LanguageManager::GetInstallerUrl(bool windows64Bit) const {
  return GetAddressSetting(windows64Bit ? L"STR_DOWN_URL_X64" : L"STR_DOWN_URL");
}

std::wstring LanguageManager::GetAlternativeInstallerUrl() const {
  return ApplyCustomCode(GetAddressSetting(L"STR_DOWN_URLEX"), domainCode_);
}

std::wstring LanguageManager::GetLicenceUrl() const {
  return ApplyCustomCode(GetAddressSetting(L"STR_LICENCE_URL"), domainCode_);
}

std::wstring LanguageManager::GetInstalledPageUrl() const {
  return ApplyCustomCode(GetAddressSetting(L"STR_INSTALL_URL"), domainCode_);
}

std::wstring LanguageManager::GetBannerFeedUrl(const std::wstring& host) const {
  return L"https://" + host + L"/downloader/carousel?pid=" + GetProductSetting(L"STR_PID") + L"&lang=" + language_;
}

std::wstring LanguageManager::GetProductFolder() const {
  std::wstring folder;
  for (const wchar_t* key : {L"STR_DIR1_NAME", L"STR_DIR2_NAME"}) {
    const std::wstring level = GetProductSetting(key);
    if (level.empty()) continue;
    folder += level;
    folder += pathtext::kSeparator;
  }
  return folder;
}

std::wstring LanguageManager::GetProductExecutable() const {
  return GetProductFolder() + GetProductSetting(L"STR_EXE_NAME");
}

bool LanguageManager::IsRunAsAdmin() const { return GetProductSetting(L"STR_RUN_AS_ADMIN") != L"0"; }

std::wstring LanguageManager::GetAnalyticsTitle() const { return GetProductSetting(L"STR_GA_TTTLE"); }
