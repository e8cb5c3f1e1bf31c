// In a file of their own: every program that converts text links the conversions, but only one
// that names a std::filesystem::path should link the path parser and the locale it brings.

#include "common/Encoding.h"

namespace encoding {

std::filesystem::path ToPath(std::wstring_view text) { return std::filesystem::path(text); }

std::wstring FromPath(const std::filesystem::path& path) { return path.wstring(); }

}  // namespace encoding
