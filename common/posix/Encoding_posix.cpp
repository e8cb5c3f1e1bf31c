// The native build has no code pages: ANSI, OEM and UTF-8 are all UTF-8 here, and wchar_t
// holds UTF-32.
#include "common/EncodingPlatform.h"

namespace encoding {

namespace {

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsScalarValue(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

// UTF-8 decoder as a small state machine: `pending` counts the continuation bytes still
// expected, `lower`/`upper` bound the next one so overlong forms, surrogates and values above
// U+10FFFF are rejected at the byte where they become certain.
class Utf8Decoder {
 public:
  enum class Step { kNeedMore, kDone, kError };

  Step Feed(unsigned char byte) {
    if (pending_ == 0) return Start(byte);
    if (byte < lower_ || byte > upper_) return Reset(Step::kError);
    value_ = (value_ << 6) | (byte & 0x3F);
    lower_ = 0x80;
    upper_ = 0xBF;
    return --pending_ == 0 ? Step::kDone : Step::kNeedMore;
  }
  bool InSequence() const { return pending_ != 0; }
  char32_t value() const { return value_; }
  void Abandon() { Reset(Step::kError); }

 private:
  Step Start(unsigned char byte) {
    lower_ = 0x80;
    upper_ = 0xBF;
    if (byte < 0x80) {
      value_ = byte;
      return Step::kDone;
    }
    if (byte >= 0xC2 && byte <= 0xDF) {
      value_ = byte & 0x1F;
      pending_ = 1;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
      value_ = byte & 0x0F;
      pending_ = 2;
      if (byte == 0xE0) lower_ = 0xA0;
      if (byte == 0xED) upper_ = 0x9F;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
      value_ = byte & 0x07;
      pending_ = 3;
      if (byte == 0xF0) lower_ = 0x90;
      if (byte == 0xF4) upper_ = 0x8F;
    } else {
      return Step::kError;
    }
    return Step::kNeedMore;
  }
  Step Reset(Step result) {
    pending_ = 0;
    return result;
  }

  char32_t value_ = 0;
  int pending_ = 0;
  unsigned char lower_ = 0x80;
  unsigned char upper_ = 0xBF;
};

}  // namespace

namespace platform {

bool Narrow(CodePage, std::wstring_view text, std::string& out) {
  out.clear();
  out.reserve(text.size());
  for (wchar_t w : text) {
    const auto c = static_cast<char32_t>(w);
    AppendUtf8(IsScalarValue(c) ? c : U'?', out);
  }
  return true;
}

bool Widen(CodePage, std::string_view bytes, std::wstring& out, Invalid invalid) {
  out.clear();
  out.reserve(bytes.size());
  Utf8Decoder decoder;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const bool wasInSequence = decoder.InSequence();
    switch (decoder.Feed(static_cast<unsigned char>(bytes[i]))) {
      case Utf8Decoder::Step::kNeedMore:
        break;
      case Utf8Decoder::Step::kDone:
        out += static_cast<wchar_t>(decoder.value());
        break;
      case Utf8Decoder::Step::kError:
        if (invalid == Invalid::kFail) return false;
        out += L'\uFFFD';
        // A byte that broke a sequence may start the next one.
        if (wasInSequence) --i;
        break;
    }
  }
  if (decoder.InSequence()) {
    if (invalid == Invalid::kFail) return false;
    out += L'\uFFFD';
  }
  return true;
}

}  // namespace platform

std::filesystem::path ToPath(std::wstring_view text) { return std::filesystem::path(WideToUtf8(text)); }

std::wstring FromPath(const std::filesystem::path& path) { return Utf8ToWide(path.native()); }

}  // namespace encoding
