#include "Window/flow/ScriptFaces.h"

std::vector<std::wstring> ScriptFacesOf(const std::wstring& languageFolder) {
  if (languageFolder == L"Japanese") return {L"Yu Gothic UI", L"Meiryo UI", L"MS UI Gothic"};
  if (languageFolder == L"Chinese") return {L"Microsoft YaHei UI", L"Microsoft YaHei", L"SimSun"};
  if (languageFolder == L"ChineseTW") return {L"Microsoft JhengHei UI", L"Microsoft JhengHei", L"PMingLiU"};
  if (languageFolder == L"Korean") return {L"Malgun Gothic", L"Gulim"};
  return {};
}
