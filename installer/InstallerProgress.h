#pragma once
// The progress file the silent installer writes: its percentage as decimal digits at the start.

#include <cstddef>
#include <string>
#include <string_view>

// Only this many bytes at the start of the file are read; the rest is ignored.
inline constexpr std::size_t kProgressBytesRead = 10;

// The percentage in the first kProgressBytesRead bytes of `content`: leading blanks, an optional
// sign, then digits up to the first other byte. No digits give 0. The result is always 0 to 100:
// a negative value gives 0 and anything above 100 (however many digits) gives 100.
int ParseInstallerProgress(std::string_view content);

// Opens `path`, reads its first bytes, closes it again at once and parses them. False when the
// file cannot be opened or read (not written yet, or held exclusively by the installer).
bool ReadInstallerProgressFile(const std::wstring& path, int& percent);
