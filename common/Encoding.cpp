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

std::wstring Utf16LeToWide(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size() / 2);
  const size_t units = bytes.size() / 2;
  auto unit = [&](size_t i) {
    return static_cast<char32_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                 static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  };
  for (size_t i = 0; i < units; ++i) {
    const char32_t c = unit(i);
    if (IsHighSurrogate(c) && i + 1 < units && IsLowSurrogate(unit(i + 1))) {
      const char32_t low = unit(++i);
      if constexpr (kWideIsUtf16) {
        out += static_cast<wchar_t>(c);
        out += static_cast<wchar_t>(low);
      } else {
        out += static_cast<wchar_t>(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
      }
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      out += L'\uFFFD';
    } else {
      out += static_cast<wchar_t>(c);
    }
  }
  return out;
}

std::string WideToUtf16Le(std::wstring_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  auto put = [&out](char32_t unit) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>((unit >> 8) & 0xFF);
  };
  for (wchar_t w : text) {
    const auto c = static_cast<char32_t>(w);
    if (!kWideIsUtf16 && c >= 0x10000 && c <= 0x10FFFF) {
      put(0xD800 + ((c - 0x10000) >> 10));
      put(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      put(c);
    }
  }
  return out;
}

}  // namespace encoding
