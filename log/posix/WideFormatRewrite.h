#pragma once

#include <string>

namespace logplatform {

// Maps a wide format written for the Windows runtime (%s wide, %S and %hs narrow) onto C99
// wide printf (%ls wide, %s narrow). Everything else is copied unchanged.
std::wstring RewriteWideFormatForC99(const wchar_t* format);

}  // namespace logplatform
