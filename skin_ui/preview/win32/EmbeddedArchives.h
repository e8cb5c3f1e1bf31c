#pragma once
// The archives a Windows program of the build carries as the setup does (skins as ZIPRES,
// configuration as RCDATA): the skin archive becomes the skins' source, the configuration is
// extracted into a folder of the temporary folder and the named language's texts are loaded
// from it through the setup's own LanguageManager.

#include <string>

#include "common/LanguageManager.h"

// `language` is a name of language.ini ("English", "Arabic"); `folderName` the folder of the
// temporary folder the configuration goes to. False with the reason in `error`.
bool LoadEmbeddedArchives(const std::wstring& language, const std::wstring& folderName, LanguageManager& texts,
                          std::wstring& error);
