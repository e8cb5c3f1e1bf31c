#include <windows.h>

#include "common/Encoding.h"
#include "common/FileOps.h"

namespace fileops {

namespace {

// "error 5: Access is denied." in the user's code page, which the log's %S expects.
Failure SystemError(DWORD code) {
  std::string text = "error " + std::to_string(code);
  wchar_t* message = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  if (length > 0 && message) {
    std::wstring_view described(message, length);
    while (!described.empty() && (described.back() == L'\n' || described.back() == L'\r' || described.back() == L' ')) {
      described.remove_suffix(1);
    }
    text += ": " + encoding::WideToAnsi(described);
  }
  if (message) LocalFree(message);
  return {text};
}

Failure LastError() { return SystemError(GetLastError()); }

}  // namespace

Failure WriteWholeFile(const std::wstring& path, std::string_view bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return LastError();
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
      Failure failure = LastError();
      CloseHandle(file);
      return failure;
    }
    bytes.remove_prefix(written);
  }
  if (!CloseHandle(file)) return LastError();
  return {};
}

Failure RenameReplacing(const std::wstring& from, const std::wstring& to) {
  if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return LastError();
  return {};
}

namespace platform {

bool IsFolder(const std::wstring& path) {
  // "C:" alone names the drive's current folder; the root is what a path beginning with it means.
  const std::wstring probe = path.size() == 2 && path[1] == L':' ? path + L'\\' : path;
  const DWORD attributes = GetFileAttributesW(probe.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

Failure CreateFolder(const std::wstring& path) {
  if (CreateDirectoryW(path.c_str(), nullptr)) return {};
  const DWORD code = GetLastError();
  // Another process may have made it meanwhile; a file of that name is still a failure.
  if (code == ERROR_ALREADY_EXISTS && IsFolder(path)) return {};
  return SystemError(code);
}

}  // namespace platform

}  // namespace fileops
