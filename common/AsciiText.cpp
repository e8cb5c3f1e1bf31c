#include "common/AsciiText.h"

namespace asciitext {

namespace {

// One implementation for narrow and wide text.
template <typename Char>
bool EqualsIgnoringCaseOf(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (ToLower(a[i]) != ToLower(b[i])) return false;
  }
  return true;
}

template <typename Char>
std::basic_string_view<Char> TrimBlanksOf(std::basic_string_view<Char> text) {
  const auto blank = [](Char c) { return c == Char(' ') || c == Char('\t'); };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string Lowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ToLower(c);
  return out;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) { return EqualsIgnoringCaseOf(a, b); }
bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) { return EqualsIgnoringCaseOf(a, b); }

std::string_view TrimBlanks(std::string_view text) { return TrimBlanksOf(text); }
std::wstring_view TrimBlanks(std::wstring_view text) { return TrimBlanksOf(text); }

std::optional<std::uint64_t> ParseDecimal(std::string_view text, std::uint64_t limit) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    // value * 10 + digit <= limit, checked without computing a product that could wrap.
    if (digit > limit || value > (limit - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

}  // namespace asciitext
