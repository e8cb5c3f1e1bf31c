#include "skin_ui/SkinResources.h"

#include <cwctype>

namespace SkinUI {

CSkinResources& CSkinResources::Shared() {
  static CSkinResources resources;
  return resources;
}

CControlUI* CSkinResources::CreateControl(const wchar_t* elementName) const {
  for (ControlFactory factory : factories)
    if (CControlUI* control = factory(elementName)) return control;
  return nullptr;
}

const wchar_t* CSkinResources::GetMultiLanguageString(int id) const {
  auto it = multiLanguage.find(id);
  return it == multiLanguage.end() ? nullptr : it->second.GetData();
}

CUIString CSkinResources::ExpandMultiLanguage(const wchar_t* text) const {
  CUIString out;
  if (!text) return out;
  for (const wchar_t* p = text; *p;) {
    if (p[0] == L'%' && p[1] == L'{' && iswdigit(p[2])) {
      const wchar_t* q = p + 2;
      int64_t id = 0;
      while (iswdigit(*q)) {
        if (id <= INT32_MAX) id = id * 10 + (*q - L'0');
        ++q;
      }
      if (*q == L'}') {
        const wchar_t* replacement = id <= INT32_MAX ? GetMultiLanguageString(static_cast<int>(id)) : nullptr;
        if (replacement) out += replacement;
        p = q + 1;
        continue;
      }
    }
    out += *p++;
  }
  return out;
}

void CSkinResources::Reset() {
  factories.clear();
  fonts.Clear();
  defaultAttributes.clear();
  multiLanguage.clear();
}

}  // namespace SkinUI
