#include "tool/win32/WinHttpQuery.h"

#include <vector>

#include "common/AsciiText.h"
#include "common/Encoding.h"

bool QueryHeaderText(HINTERNET request, DWORD info, std::wstring& text) {
  DWORD bytes = 0;
  WinHttpQueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &bytes,
                      WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return false;
  std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
  if (!WinHttpQueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, buffer.data(), &bytes,
                           WINHTTP_NO_HEADER_INDEX)) {
    return false;
  }
  text.assign(buffer.data(), bytes / sizeof(wchar_t));
  return true;
}

int QueryStatusCode(HINTERNET request) {
  std::wstring text;
  if (!QueryHeaderText(request, WINHTTP_QUERY_STATUS_CODE, text)) return 0;
  return static_cast<int>(asciitext::ParseDecimal(encoding::WideToAnsi(text), 999).value_or(0));
}

std::optional<uint64_t> QueryContentLength(HINTERNET request) {
  std::wstring text;
  if (!QueryHeaderText(request, WINHTTP_QUERY_CONTENT_LENGTH, text)) return std::nullopt;
  return asciitext::ParseDecimal(encoding::WideToAnsi(text), UINT64_MAX);
}
