#pragma once
// Reading INI files with the rules of the Windows private-profile functions, in one portable
// implementation: UTF-16LE text with a byte-order mark or single-byte text in the ANSI code
// page; section names matched without regard to case; blanks around keys and values dropped;
// ';' lines are comments.

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

namespace ini {

// How much of one section a section read returns, as the profile functions measure it.
inline constexpr size_t kSectionCapacity = 4096;
// Room for one value read by key.
inline constexpr size_t kValueCapacity = 256;

using SectionTable = std::map<std::wstring, std::wstring>;

// The file's bytes as text: UTF-16LE after an FF FE mark, otherwise the ANSI code page.
std::wstring DecodeIniBytes(std::string_view bytes);

// The section as the profile functions return it: one "key=value" (or "key") entry per line,
// each ended by a zero, cut once `capacity` characters (two kept for the final zeros) are used.
std::wstring SectionText(std::wstring_view text, std::wstring_view section, size_t capacity = kSectionCapacity);

// Splits section text into a table: each entry at its first '=', blanks trimmed, a later
// duplicate key replacing an earlier one.
SectionTable ParseSectionText(std::wstring_view sectionText);

// The value of the first `key` in `section` (keys without regard to case), or `fallback`;
// at most capacity - 1 characters.
std::wstring ValueText(std::wstring_view text, std::wstring_view section, std::wstring_view key,
                       std::wstring_view fallback, size_t capacity = kValueCapacity);

// File forms: a missing or unreadable file reads as empty.
SectionTable ReadSection(const std::wstring& path, std::wstring_view section);
std::wstring ReadValue(const std::wstring& path, std::wstring_view section, std::wstring_view key,
                       std::wstring_view fallback, size_t capacity = kValueCapacity);

}  // namespace ini
