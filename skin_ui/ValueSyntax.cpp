#include "skin_ui/ValueSyntax.h"

#include <cmath>
#include <cwchar>

namespace SkinUI {

namespace {

bool IsSpace(wchar_t ch) { return ch == L' ' || (ch >= L'\t' && ch <= L'\r'); }

int HexDigit(wchar_t ch) {
  if (ch >= L'0' && ch <= L'9') return ch - L'0';
  if (ch >= L'a' && ch <= L'f') return ch - L'a' + 10;
  if (ch >= L'A' && ch <= L'F') return ch - L'A' + 10;
  return -1;
}

// Reads one number; `digits` tells whether any digit was seen.
int32_t ReadNumber(const wchar_t* text, const wchar_t** end, bool* digits) {
  const wchar_t* p = text;
  while (IsSpace(*p)) ++p;
  bool negative = false;
  if (*p == L'+' || *p == L'-') negative = *p++ == L'-';
  int64_t value = 0;
  const wchar_t* firstDigit = p;
  for (; *p >= L'0' && *p <= L'9'; ++p)
    if (value <= INT32_MAX + int64_t{1}) value = value * 10 + (*p - L'0');
  *digits = p != firstDigit;
  if (!*digits) p = text;  // nothing read
  if (end) *end = p;
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

}  // namespace

int32_t ParseNumber(const wchar_t* text, const wchar_t** end) {
  bool digits = false;
  if (!text) {
    if (end) *end = text;
    return 0;
  }
  return ReadNumber(text, end, &digits);
}

int ParseNumberList(const wchar_t* text, int32_t* out, int count) {
  int read = 0;
  const wchar_t* p = text ? text : L"";
  for (int i = 0; i < count; ++i) {
    bool digits = false;
    const wchar_t* end = p;
    out[i] = ReadNumber(p, &end, &digits);
    if (digits) ++read;
    p = *end ? end + 1 : end;
  }
  return read;
}

UIRect ParseRect(const wchar_t* text) {
  int32_t v[4];
  ParseNumberList(text, v, 4);
  return UIRect{v[0], v[1], v[2], v[3]};
}

UISize ParseSize(const wchar_t* text) {
  int32_t v[2];
  ParseNumberList(text, v, 2);
  return UISize{v[0], v[1]};
}

bool ParseBool(const wchar_t* text, bool anyCase) {
  if (!text) return false;
  static const wchar_t kTrue[] = L"true";
  for (int i = 0; i < 4; ++i) {
    wchar_t ch = text[i];
    if (anyCase && ch >= L'A' && ch <= L'Z') ch = static_cast<wchar_t>(ch + 32);
    if (ch != kTrue[i]) return false;
  }
  return text[4] == L'\0';
}

UIColor ParseColor(const wchar_t* text) {
  if (!text) return 0;
  const wchar_t* p = text;
  if (*p == L'#') ++p;
  uint64_t value = 0;
  for (int digit; (digit = HexDigit(*p)) >= 0; ++p) {
    value = value * 16 + static_cast<uint64_t>(digit);
    if (value > 0xFFFFFFFFull) value = 0xFFFFFFFFull;
  }
  return static_cast<UIColor>(value);
}

void ParseFractions(const wchar_t* text, double out[4]) {
  const wchar_t* p = text ? text : L"";
  for (int i = 0; i < 4; ++i) {
    wchar_t* end = nullptr;
    out[i] = wcstod(p, &end);
    if (end == p || !std::isfinite(out[i])) out[i] = 0;
    p = *end ? end + 1 : end;
  }
}

}  // namespace SkinUI
