#pragma once
// What the banner fetch asks of the system: the network and the cache folder's files
// (common/win32).

#include <cstddef>
#include <cstdint>
#include <string>

namespace bannerplatform {

// The answer body of a GET of `url`; empty when none came or it is longer than `limit` (logged).
std::string GetText(const std::wstring& url, size_t limit);
// The answer body of a GET of `url` into the file `path`; false when the body did not arrive
// whole or is longer than `limit`. What was written may stay.
bool DownloadFile(const std::wstring& url, const std::wstring& path, uint64_t limit);
// 32 lower-case hexadecimal digits, or empty when the file cannot be read.
std::string FileMd5(const std::wstring& path);
bool CanOpenForReading(const std::wstring& path);
// True when the file is gone afterwards (also when there was none).
bool RemoveFile(const std::wstring& path);
// Renames `from` over `to` in one step: a reader sees the old file or the new, never a mix.
bool RenameOver(const std::wstring& from, const std::wstring& to);

}  // namespace bannerplatform
