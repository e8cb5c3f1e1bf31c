#include <windows.h>

#include <cwchar>

#include "log/LogPlatform.h"

namespace logplatform {

const char kLineBreak[] = "\r\n";

LocalTime Now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

namespace {
HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
}  // namespace

bool AppendFile::Open(const std::wstring& path) {
  Close();
  // Shared for reading, writing and deletion: a second instance of the setup appends to the same
  // file, and rolling renames it.
  HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  handle_ = reinterpret_cast<intptr_t>(file);
  return true;
}

void AppendFile::Close() {
  if (IsOpen()) CloseHandle(AsHandle(handle_));
  handle_ = -1;
}

bool AppendFile::IsOpen() const { return AsHandle(handle_) != INVALID_HANDLE_VALUE; }

bool AppendFile::Write(std::string_view bytes) {
  if (!IsOpen()) return false;
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
    if (!WriteFile(AsHandle(handle_), bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

int64_t AppendFile::Size() const {
  LARGE_INTEGER size;
  if (!IsOpen() || !GetFileSizeEx(AsHandle(handle_), &size)) return -1;
  return size.QuadPart;
}

std::optional<std::wstring> FormatWide(const wchar_t* format, va_list args) {
  // The C runtime's own wide formatting: %s is a wide string, %S a narrow one.
  va_list measure;
  va_copy(measure, args);
  const int needed = _vscwprintf(format, measure);
  va_end(measure);
  if (needed < 0) return std::nullopt;
  std::wstring text(static_cast<size_t>(needed) + 1, L'\0');
  if (_vsnwprintf(text.data(), text.size(), format, args) != needed) return std::nullopt;
  text.resize(static_cast<size_t>(needed));
  return text;
}

}  // namespace logplatform
