#pragma once
// Path texts as the program keeps them: wide strings, folders ending in the separator.
// Windows uses '\'; the native build uses '/', and both accept either when splitting.

#include <string>
#include <string_view>

namespace pathtext {

#ifdef _WIN32
inline constexpr wchar_t kSeparator = L'\\';
#else
inline constexpr wchar_t kSeparator = L'/';
#endif

constexpr bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Text after the last separator (the whole text when it has none).
std::wstring FileNamePart(std::wstring_view path);
// Text before the last separator (empty when it has none).
std::wstring FolderPart(std::wstring_view path);
// "setup.x.exe" -> "setup.x"; a name without a dot stays whole.
std::wstring StemBeforeLastDot(std::wstring_view name);
// "a.b.exe" -> "a"; a name without a dot stays whole.
std::wstring StemBeforeFirstDot(std::wstring_view name);
// Every separator becomes kSeparator and runs of separators collapse to one.
std::wstring NormalizeSeparators(std::wstring_view path);
// The folder text with exactly one trailing separator.
std::wstring WithTrailingSeparator(std::wstring_view folder);

}  // namespace pathtext
