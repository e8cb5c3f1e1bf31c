#include "skin_ui/TextFormat.h"

#include <climits>
#include <cwchar>
#include <string>

namespace SkinUI {

namespace {

// The first of the words that occurs in the value decides.
uint32_t StyleForWords(uint32_t style, const wchar_t* value, const wchar_t* const (&words)[3],
                       const uint32_t (&bits)[3], uint32_t mask) {
  if (!value) return style;
  for (int i = 0; i < 3; ++i)
    if (wcsstr(value, words[i])) return (style & ~mask) | bits[i];
  return style;
}

bool IsRightToLeftLetter(wchar_t ch) {
  return (ch >= 0x0590 && ch <= 0x08FF) || (ch >= 0xFB1D && ch <= 0xFDFF) || (ch >= 0xFE70 && ch <= 0xFEFF);
}

bool IsLeftToRightLetter(wchar_t ch) {
  if ((ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z')) return true;
  if (ch < 0xC0 || IsRightToLeftLetter(ch)) return false;
  if (ch >= 0x2000 && ch <= 0x2BFF) return false;  // punctuation, symbols, arrows, shapes
  if (ch >= 0x3000 && ch <= 0x303F) return false;  // CJK punctuation
  if (ch >= 0xFF00 && ch <= 0xFF20) return false;  // full-width punctuation and digits
  return !(ch >= 0xD800 && ch <= 0xDFFF);
}

}  // namespace

TextDirection FirstLetterDirection(const wchar_t* text, size_t length) {
  for (size_t i = 0; text && i < length; ++i) {
    if (IsRightToLeftLetter(text[i])) return TextDirection::kRightToLeft;
    if (IsLeftToRightLetter(text[i])) return TextDirection::kLeftToRight;
  }
  return TextDirection::kNone;
}

uint32_t StyleForAlign(uint32_t style, const wchar_t* value) {
  return StyleForWords(style, value, {L"left", L"center", L"right"}, {0, kTextCenter, kTextRight},
                       kTextCenter | kTextRight);
}

uint32_t StyleForVAlign(uint32_t style, const wchar_t* value) {
  return StyleForWords(style, value, {L"top", L"vcenter", L"bottom"}, {0, kTextVCenter, kTextBottom},
                       kTextVCenter | kTextBottom);
}

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
