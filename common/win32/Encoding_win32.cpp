#include <windows.h>

#include <climits>

#include "common/EncodingPlatform.h"

namespace encoding {

namespace {
UINT SystemCodePage(CodePage page) {
  switch (page) {
    case CodePage::kAnsi: return CP_ACP;
    case CodePage::kOem: return CP_OEMCP;
    case CodePage::kUtf8: return CP_UTF8;
  }
  return CP_ACP;
}
}  // namespace

namespace platform {

bool Narrow(CodePage page, std::wstring_view text, std::string& out) {
  out.clear();
  if (text.empty()) return true;
  if (text.size() > INT_MAX) return false;
  const UINT cp = SystemCodePage(page);
  const int length = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(cp, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return false;
  out.resize(static_cast<size_t>(needed));
  return WideCharToMultiByte(cp, 0, text.data(), length, out.data(), needed, nullptr, nullptr) == needed;
}

bool Widen(CodePage page, std::string_view bytes, std::wstring& out, Invalid invalid) {
  out.clear();
  if (bytes.empty()) return true;
  if (bytes.size() > INT_MAX) return false;
  const UINT cp = SystemCodePage(page);
  const DWORD flags = invalid == Invalid::kFail ? MB_ERR_INVALID_CHARS : 0;
  const int length = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(cp, flags, bytes.data(), length, nullptr, 0);
  if (needed <= 0) return false;
  out.resize(static_cast<size_t>(needed));
  return MultiByteToWideChar(cp, flags, bytes.data(), length, out.data(), needed) == needed;
}

}  // namespace platform

}  // namespace encoding
