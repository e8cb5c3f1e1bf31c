#pragma once
// What every window of the process shares: the module instance, the control factories, the
// list of window managers, the shared fonts and default attribute lists, and the
// multi-language strings. Reset at the end of the process (or of a test).

#include <map>
#include <string>
#include <vector>

#include "skin_ui/FontTable.h"
#include "skin_ui/UIString.h"

namespace SkinUI {

class CControlUI;
class CWindowManagerUI;

// Creates a control for an element name, or null.
using ControlFactory = CControlUI* (*)(const wchar_t* elementName);

using UIDefaultAttributeLists = std::map<std::wstring, std::wstring, std::less<>>;

class CSkinResources {
 public:
  static CSkinResources& Shared();

  void* instance = nullptr;
  std::vector<ControlFactory> factories;
  std::vector<CWindowManagerUI*> managers;
  UIFontTable fonts;
  UIDefaultAttributeLists defaultAttributes;
  std::map<int, CUIString> multiLanguage;

  CControlUI* CreateControl(const wchar_t* elementName) const;
  // The multi-language string `id`, or null.
  const wchar_t* GetMultiLanguageString(int id) const;
  // Replaces every "%{n}" (decimal n) with multi-language string n; unknown numbers give an
  // empty text.
  CUIString ExpandMultiLanguage(const wchar_t* text) const;
  // Drops the fonts, default attribute lists, multi-language strings and factories.
  void Reset();
};

}  // namespace SkinUI
