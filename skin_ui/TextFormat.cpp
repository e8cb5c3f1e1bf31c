#include "skin_ui/TextFormat.h"

#include <climits>
#include <string>

namespace SkinUI {

CUIString ExpandMultiLanguageTokens(const wchar_t* text, MultiLanguageLookup lookup) {
  if (!text) return CUIString();
  std::wstring out;
  const wchar_t* p = text;
  while (*p) {
    if (p[0] == L'%' && p[1] == L'{' && p[2] >= L'0' && p[2] <= L'9') {
      const wchar_t* q = p + 2;
      int64_t id = 0;
      while (*q >= L'0' && *q <= L'9') {
        if (id <= INT_MAX) id = id * 10 + (*q - L'0');
        ++q;
      }
      const wchar_t* replacement = (*q == L'}' && id <= INT_MAX && lookup) ? lookup(static_cast<int>(id)) : nullptr;
      if (replacement) {
        out += replacement;
        p = q + 1;
        continue;
      }
    }
    out += *p++;
  }
  return CUIString(out.c_str(), static_cast<int>(out.size()));
}

}  // namespace SkinUI
