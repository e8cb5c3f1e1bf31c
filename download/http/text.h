#pragma once
// Small text helpers shared by the message parsers: ASCII case folding, trimming and bounded
// number parsing. Locale-independent on purpose: header names and values are bytes.

#include <cstdint>
#include <string>
#include <string_view>

namespace httpdl {

inline char to_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string to_lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = to_lower(c);
  return out;
}

inline bool iequals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (to_lower(a[i]) != to_lower(b[i])) return false;
  }
  return true;
}

inline bool is_space_or_tab(char c) { return c == ' ' || c == '\t'; }

inline std::string_view trim(std::string_view text) {
  while (!text.empty() && is_space_or_tab(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_space_or_tab(text.back())) text.remove_suffix(1);
  return text;
}

inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Reads a non-empty run of decimal digits whose value is at most `max`; anything else
// (empty, a sign, another character, a larger value) fails and leaves `out` alone.
template <typename Unsigned>
bool parse_decimal(std::string_view text, Unsigned max, Unsigned& out) {
  if (text.empty()) return false;
  Unsigned value = 0;
  for (char c : text) {
    if (!is_digit(c)) return false;
    const auto digit = static_cast<Unsigned>(c - '0');
    if (value > (max - digit) / 10) return false;
    value = static_cast<Unsigned>(value * 10 + digit);
  }
  out = value;
  return true;
}

// A byte count such as a Content-Length: decimal digits fitting a signed 64-bit number, else -1.
inline std::int64_t parse_length(std::string_view text) {
  std::uint64_t value = 0;
  if (!parse_decimal<std::uint64_t>(text, INT64_MAX, value)) return -1;
  return static_cast<std::int64_t>(value);
}

}  // namespace httpdl
