#include "common/Encoding.h"

#include "common/EncodingPlatform.h"

namespace encoding {

namespace {
constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
}  // namespace

bool IsWellFormed(std::wstring_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<char32_t>(text[i]);
    if constexpr (kWideIsUtf16) {
      if (IsHighSurrogate(c)) {
        if (i + 1 == text.size() || !IsLowSurrogate(static_cast<char32_t>(text[i + 1]))) return false;
        ++i;
      } else if (IsLowSurrogate(c)) {
        return false;
      }
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c) || c > 0x10FFFF) {
      return false;
    }
  }
  return true;
}

bool Encode(CodePage page, std::wstring_view text, std::string& out) {
  if (!IsWellFormed(text)) return false;
  return platform::Narrow(page, text, out);
}

bool Decode(CodePage page, std::string_view bytes, std::wstring& out) {
  return platform::Widen(page, bytes, out, platform::Invalid::kFail);
}

namespace {
std::string NarrowLossy(CodePage page, std::wstring_view text) {
  std::string out;
  if (!platform::Narrow(page, text, out)) out.clear();
  return out;
}

std::wstring WidenLossy(CodePage page, std::string_view bytes) {
  std::wstring out;
  if (!platform::Widen(page, bytes, out, platform::Invalid::kReplace)) out.clear();
  return out;
}
}  // namespace

std::string WideToAnsi(std::wstring_view text) { return NarrowLossy(CodePage::kAnsi, text); }
std::wstring AnsiToWide(std::string_view bytes) { return WidenLossy(CodePage::kAnsi, bytes); }
std::string WideToOem(std::wstring_view text) { return NarrowLossy(CodePage::kOem, text); }
std::string WideToUtf8(std::wstring_view text) { return NarrowLossy(CodePage::kUtf8, text); }
std::wstring Utf8ToWide(std::string_view bytes) { return WidenLossy(CodePage::kUtf8, bytes); }

}  // namespace encoding
