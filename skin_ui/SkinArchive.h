#pragma once
// Where skin files come from, for the whole process: a resource folder on disk and, when a zip
// name is set, a skin archive (a ZIP file under the resource folder, or the archive held in
// memory under the name "membuffer"). One skin file is at most 4 MiB.

#include <cstddef>
#include <cstdint>
#include <string>

namespace SkinUI {

inline constexpr wchar_t kSkinMemoryArchiveName[] = L"membuffer";
inline constexpr uint64_t kMaxSkinFileBytes = 4194304;

// The folder prefix for files read from disk; a '\' is appended unless the value is empty or
// already ends in '\' or '/'.
void SetSkinResourcePath(const wchar_t* path);
const std::wstring& GetSkinResourcePath();

// When set (the initial state), an archive is opened once and kept; otherwise it is opened for
// each lookup and closed after it.
void SetSkinArchiveCached(bool cached);
bool IsSkinArchiveCached();

// A ZIP file under the resource folder: any cached archive is closed; with caching the new one
// is opened and kept. An empty name goes back to files on disk. False when a cached archive
// cannot be opened.
bool SetSkinArchiveFile(const wchar_t* zipName);
// The archive held in memory: the bytes are copied into a buffer that lives until the process
// ends. Once the memory archive is in use, later calls change nothing (the first window's
// archive stays). False for empty or unreadable bytes.
bool SetSkinArchiveMemory(const void* bytes, size_t size);
const std::wstring& GetSkinArchiveName();

// Reads one skin file through the rules above: the bytes, or false with the reason ("Error
// opening file", "File is empty", "File too large", "Could not read file", "Error opening zip
// file", "Could not find ziped file", "Could not unzip file"). Pictures pass a limit of their
// own instead of the 4 MiB of a skin file.
bool ReadSkinFile(const wchar_t* fileName, std::string& bytes, std::wstring& error,
                  uint64_t limit = kMaxSkinFileBytes);

// Reads a file by its own path, with the same reasons for failing.
bool ReadLocalFile(const wchar_t* path, std::string& bytes, std::wstring& error, uint64_t limit);

// Back to the initial state: no folder, no archive, caching on. For the end of a test.
void ResetSkinSource();

}  // namespace SkinUI
