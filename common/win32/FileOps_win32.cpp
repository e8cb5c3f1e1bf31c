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
  return {text, static_cast<int>(code)};
}

Failure LastError() { return SystemError(GetLastError()); }

// ReadFile and WriteFile take a DWORD count; larger transfers go in several calls.
DWORD ChunkOf(std::size_t bytes) { return bytes > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes); }

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

Failure WriteWholeFile(const std::wstring& path, std::string_view bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return LastError();
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), ChunkOf(bytes.size()), &written, nullptr) || written == 0) {
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

Failure CopyReplacing(const std::wstring& from, const std::wstring& to) {
  if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) return LastError();
  return {};
}

Failure RemoveFile(const std::wstring& path) {
  if (DeleteFileW(path.c_str())) return {};
  const DWORD code = GetLastError();
  if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return {};
  return SystemError(code);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

namespace platform {

unsigned long ProcessId() { return GetCurrentProcessId(); }

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

ReadingFile::~ReadingFile() {
  if (AsHandle(handle_) != INVALID_HANDLE_VALUE) CloseHandle(AsHandle(handle_));
}

Failure ReadingFile::Open(const std::wstring& path) {
  // Others may go on writing it (a log, a progress file the installer rewrites) or replace it.
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return LastError();
  handle_ = reinterpret_cast<std::intptr_t>(file);
  return {};
}

Failure ReadingFile::Size(std::uint64_t& size) const {
  LARGE_INTEGER bytes{};
  if (!GetFileSizeEx(AsHandle(handle_), &bytes)) return LastError();
  size = static_cast<std::uint64_t>(bytes.QuadPart);
  return {};
}

Failure ReadingFile::Read(char* into, std::size_t count, std::size_t& got) {
  DWORD read = 0;
  if (!ReadFile(AsHandle(handle_), into, ChunkOf(count), &read, nullptr)) return LastError();
  got = read;
  return {};
}

}  // namespace platform

}  // namespace fileops
