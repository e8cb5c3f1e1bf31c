#pragma once
// ASCII rules for protocol and configuration text: case folding of A-Z only, blanks (space and
// tab) trimmed at both ends, and bounded decimal numbers. Locale-independent on purpose: header
// names, INI keys and numbers from the network mean what their bytes say, whatever the user's
// locale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace asciitext {

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }

constexpr char ToLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr wchar_t ToLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

std::string Lowered(std::string_view text);

bool EqualsIgnoringCase(std::string_view a, std::string_view b);
bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b);

std::string_view TrimBlanks(std::string_view text);
std::wstring_view TrimBlanks(std::wstring_view text);

// A non-empty run of decimal digits whose value is at most `limit`; nothing for anything else
// (no digits, a sign, blanks, another character, a larger value). Never overflows, however
// long the run.
std::optional<std::uint64_t> ParseDecimal(std::string_view text, std::uint64_t limit);

}  // namespace asciitext
