#include "common/PathText.h"

namespace pathtext {

namespace {
size_t LastSeparator(std::wstring_view path) {
  for (size_t i = path.size(); i > 0; --i) {
    if (IsSeparator(path[i - 1])) return i - 1;
  }
  return std::wstring_view::npos;
}
}  // namespace

std::wstring FileNamePart(std::wstring_view path) {
  const size_t sep = LastSeparator(path);
  return std::wstring(sep == std::wstring_view::npos ? path : path.substr(sep + 1));
}

std::wstring FolderPart(std::wstring_view path) {
  const size_t sep = LastSeparator(path);
  return sep == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, sep));
}

std::wstring StemBeforeLastDot(std::wstring_view name) {
  return std::wstring(name.substr(0, name.rfind(L'.')));
}

std::wstring StemBeforeFirstDot(std::wstring_view name) {
  return std::wstring(name.substr(0, name.find(L'.')));
}

std::wstring NormalizeSeparators(std::wstring_view path) {
  std::wstring out;
  out.reserve(path.size());
  for (wchar_t c : path) {
    if (IsSeparator(c)) {
      if (!out.empty() && out.back() == kSeparator) continue;
      out += kSeparator;
    } else {
      out += c;
    }
  }
  return out;
}

std::wstring WithTrailingSeparator(std::wstring_view folder) {
  std::wstring out(folder);
  while (!out.empty() && IsSeparator(out.back())) out.pop_back();
  out += kSeparator;
  return out;
}

}  // namespace pathtext
