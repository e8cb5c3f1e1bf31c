#pragma once
// Process names as the system's process list reports them: the executable's file name with its
// extension and without its folder.

#include <cstddef>
#include <string_view>

// True when the name held in `listed` (a fixed buffer of `capacity` characters, terminated
// inside it or filling it entirely) is exactly `wanted`: whole names, letter case included.
bool IsProcessNamed(const wchar_t* listed, std::size_t capacity, std::wstring_view wanted);
