#include "skin_ui/preview/win32/EmbeddedArchives.h"

#include <windows.h>

#include "common/ConfigExtraction.h"
#include "common/IniFile.h"
#include "common/win32/EmbeddedResource.h"
#include "resources/ResourceIds.h"
#include "skin_ui/SkinArchive.h"

namespace {

// The configuration archive extracted as the setup extracts it; the folder, ending in the
// separator, or empty.
std::wstring ExtractConfiguration(const std::wstring& folderName) {
  const auto archive = FindEmbeddedResource(IDR_CONFIG_ARCHIVE, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (!archive) return L"";
  wchar_t temp[MAX_PATH];
  if (!GetTempPathW(MAX_PATH, temp)) return L"";
  const std::wstring folder = std::wstring(temp) + folderName + L"\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  const ExtractionResult result = ExtractArchive(archive->data(), static_cast<uint32_t>(archive->size()), folder);
  return result.opened && result.skipped == 0 ? folder : L"";
}

// The UI language identifier language.ini maps to `language`, or empty.
std::wstring LanguageId(const std::wstring& configFolder, const std::wstring& language) {
  for (const auto& [id, name] : ini::ReadSection(configFolder + L"language.ini", L"Language"))
    if (name == language) return id;
  return L"";
}

}  // namespace

bool LoadEmbeddedArchives(const std::wstring& language, const std::wstring& folderName, LanguageManager& texts,
                          std::wstring& error) {
  const auto skins = FindEmbeddedResource(IDR_SKIN_ARCHIVE, L"ZIPRES");
  if (!skins || !SkinUI::SetSkinArchiveMemory(skins->data(), skins->size())) {
    error = L"no skin archive in the program";
    return false;
  }
  const std::wstring config = ExtractConfiguration(folderName);
  if (config.empty()) {
    error = L"the configuration archive could not be extracted";
    return false;
  }
  const std::wstring id = LanguageId(config, language);
  if (id.empty()) {
    error = L"language.ini names no language " + language;
    return false;
  }
  texts.Init(config, id);
  return true;
}
