#pragma once
// The settings and texts of the chosen language: which language folder the user's UI language
// selects, the product and address settings, and every visible text by key with the product,
// colour and brand placeholders filled in. Filled once at start-up, read-only afterwards.

#include <map>
#include <string>

class LanguageManager {
 public:
  using Table = std::map<std::wstring, std::wstring>;

  // `basePath` is the extracted configuration folder, ending in the separator; `uiLanguage` the
  // user's default UI language identifier in decimal.
  void Init(const std::wstring& basePath, const std::wstring& uiLanguage);
  void InitCurrentLanguage(const std::wstring& uiLanguage);

  // Texts: the resolved text or empty for an unknown key.
  std::wstring GetLangText(const std::wstring& key) const;
  const std::wstring& GetLanguage() const { return language_; }
  bool IsRightToLeft() const { return rightToLeft_; }
  const std::wstring& GetBasePath() const { return basePath_; }

  // Settings by key, empty when missing.
  std::wstring GetProductSetting(const std::wstring& key) const;
  std::wstring GetAddressSetting(const std::wstring& key) const;

  std::wstring GetBrandName() const;
  std::wstring GetInstallerUrl(bool windows64Bit) const;
  std::wstring GetAlternativeInstallerUrl() const;
  std::wstring GetLicenceUrl() const;
  std::wstring GetInstalledPageUrl() const;
  // "https://" `host` "/downloader/carousel?pid=" STR_PID "&lang=" language folder, unencoded.
  std::wstring GetBannerFeedUrl(const std::wstring& host) const;
  // "DIR1\DIR2\" relative to the installation path, levels left out when not set.
  std::wstring GetProductFolder() const;
  std::wstring GetProductExecutable() const;
  bool IsRunAsAdmin() const;
  std::wstring GetAnalyticsTitle() const;

  const std::wstring& GetDomainCode() const { return domainCode_; }
  void SetDomainCode(const std::wstring& code) { domainCode_ = code; }

  int GetDownloadRatio() const { return 90; }
  int GetReadFileTimeout() const { return 1500; }

  // The 19 built-in English texts every language starts from.
  static const Table& BuiltInTexts();

 private:
  void LoadTexts();

  Table texts_;
  Table addresses_;
  Table product_;
  std::wstring basePath_;
  std::wstring language_;
  std::wstring domainCode_;
  bool rightToLeft_ = false;
};
