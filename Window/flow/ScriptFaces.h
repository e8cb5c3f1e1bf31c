#pragma once
// The Windows faces that carry a language's script, best first (the newest system's UI face,
// then the ones older systems have). Empty for the languages whose script the skins' own faces
// carry (Latin, Arabic, Thai).

#include <string>
#include <vector>

std::vector<std::wstring> ScriptFacesOf(const std::wstring& languageFolder);
