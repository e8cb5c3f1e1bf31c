#include "log/posix/WideFormatRewrite.h"

#include <cwchar>

namespace logplatform {

std::wstring RewriteWideFormatForC99(const wchar_t* format) {
  std::wstring out;
  const size_t length = std::wcslen(format);
  out.reserve(length + 8);
  size_t i = 0;
  while (i < length) {
    const wchar_t c = format[i++];
    out += c;
    if (c != L'%') continue;
    if (i < length && format[i] == L'%') {
      out += format[i++];
      continue;
    }
    // Flags, width and precision pass through unchanged.
    while (i < length && std::wcschr(L"-+ #0123456789.*", format[i])) out += format[i++];
    if (i >= length) break;
    if (format[i] == L'h' && i + 1 < length && format[i + 1] == L's') {
      out += L's';
      i += 2;
    } else if (format[i] == L'l' && i + 1 < length && format[i + 1] == L's') {
      out += L"ls";
      i += 2;
    } else if (format[i] == L's') {
      out += L"ls";
      ++i;
    } else if (format[i] == L'S') {
      out += L's';
      ++i;
    }
  }
  return out;
}

}  // namespace logplatform
