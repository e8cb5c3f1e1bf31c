#pragma once
// Small, stateless questions the setup asks of Windows. Each answers failure with its neutral
// value (empty text, false, or a folder that is only "\") and reports nothing; callers decide.

#include <cstdint>
#include <string>

// The shell's Program Files folder followed by "\", or only "\" when the shell reports nothing.
std::wstring GetProgramFilesFolder();
// Program Files + "nexvale_down\" + the executable's name without extension + "\"; not created.
std::wstring GetWorkFolder();
// Total free bytes of the volume of `drive` (such as "C:") in whole megabytes.
bool GetDiskFreeMB(const std::wstring& drive, int32_t& megabytes);
bool FileExists(const std::wstring& path);
// "a.b.c.d" from the file's fixed version record; empty without a translation table.
std::wstring GetFileVersionText(const std::wstring& path);
std::wstring GetWindowsProductName();
bool IsWindows64Bit();
// The user's default UI language identifier in decimal.
std::wstring GetUILanguageText();
// 32 lower-case hexadecimal digits, or empty.
std::string GetFileMd5(const std::wstring& path);
