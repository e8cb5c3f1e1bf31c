#pragma once
// The arithmetic and text rules behind the system services, free of system calls.

#include <cstdint>
#include <string>
#include <string_view>

// Program Files folder + "nexvale_down" + the executable's name up to its last dot, each
// followed by the separator.
std::wstring ComposeWorkFolder(std::wstring_view programFilesFolder, std::wstring_view executablePath);

// Free bytes to whole megabytes (shifted right by 20 bits), kept as a signed 32-bit value
// that saturates instead of wrapping.
int32_t WholeMegabytes(uint64_t bytes);

// Sixteen digest bytes as 32 lower-case hexadecimal digits.
std::string HexDigest(const unsigned char* bytes, size_t count);
