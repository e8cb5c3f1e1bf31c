#pragma once

#include <string>

// The name of the single-instance mutex: the FileDescription of the executable's version
// resource (string block "040904b0"), or the file name up to its last dot when there is none.
std::wstring GetInstanceName(const std::wstring& executablePath);
