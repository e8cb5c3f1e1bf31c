#pragma once
// The one place where text changes representation: wide text (UTF-16 on Windows, UTF-32 in the
// native build) to and from the ANSI code page, the OEM code page and UTF-8, and wide text to
// file-system paths. The Windows build uses the system code pages; the native build has no code
// pages and uses UTF-8 as its stand-in for both.

#include <filesystem>
#include <string>
#include <string_view>

namespace encoding {

enum class CodePage { kAnsi, kOem, kUtf8 };

// Strict forms: false, with `out` unspecified, when the input is not well-formed text (a lone
// surrogate, a value outside Unicode, bytes that are invalid in the code page). Characters that
// are valid but missing from a narrow code page become '?' as the system converts them.
bool Encode(CodePage page, std::wstring_view text, std::string& out);
bool Decode(CodePage page, std::string_view bytes, std::wstring& out);

// Lossy forms: ill-formed input is replaced ('?' when encoding, U+FFFD when decoding).
std::string WideToAnsi(std::wstring_view text);
std::wstring AnsiToWide(std::string_view bytes);
std::string WideToOem(std::wstring_view text);
std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view bytes);

// UTF-16 little-endian bytes (no byte-order mark) to wide text and back; an odd last byte is
// dropped and ill-formed sequences become U+FFFD.
std::wstring Utf16LeToWide(std::string_view bytes);
std::string WideToUtf16Le(std::wstring_view text);

// True when every wchar_t sequence is a Unicode scalar value (well-formed UTF-16 on Windows).
bool IsWellFormed(std::wstring_view text);

// Paths: wide text is the program's path representation; these are the only bridges to the
// standard library's file-system types.
std::filesystem::path ToPath(std::wstring_view text);
std::wstring FromPath(const std::filesystem::path& path);

}  // namespace encoding
