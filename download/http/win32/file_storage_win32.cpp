#include <windows.h>

#include "download/http/storage.h"

namespace httpdl {

namespace {

boost::system::error_code system_error_now() {
  return {static_cast<int>(::GetLastError()), boost::system::system_category()};
}

HANDLE as_handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// Reads and writes go through OVERLAPPED offsets on a synchronous handle: no shared file
// pointer, so the position-based calls of this class stay independent of them.
OVERLAPPED at(std::int64_t offset) {
  OVERLAPPED place{};
  place.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
  place.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
  return place;
}

// One ReadFile or WriteFile moves at most this much, whatever size_t allows.
constexpr std::size_t kMaxChunk = 1u << 30;

}  // namespace

void file_storage::open(const std::wstring& path, boost::system::error_code& ec) {
  close();
  ec.clear();
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ec = system_error_now();
    return;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  position_ = 0;
}

void file_storage::close() {
  if (!is_open()) return;
  ::CloseHandle(as_handle(handle_));
  handle_ = kInvalidHandle;
}

std::size_t file_storage::write(const char* buffer, std::int64_t offset, std::size_t size) {
  if (!is_open() || offset < 0) {
    write_error_ = {is_open() ? ERROR_NEGATIVE_SEEK : ERROR_INVALID_HANDLE, boost::system::system_category()};
    return 0;
  }
  std::size_t done = 0;
  while (done < size) {
    OVERLAPPED place = at(offset + static_cast<std::int64_t>(done));
    const DWORD chunk = static_cast<DWORD>(size - done < kMaxChunk ? size - done : kMaxChunk);
    DWORD written = 0;
    if (!::WriteFile(as_handle(handle_), buffer + done, chunk, &written, &place)) {
      write_error_ = system_error_now();
      break;
    }
    if (written == 0) {
      write_error_ = {ERROR_WRITE_FAULT, boost::system::system_category()};
      break;
    }
    done += written;
  }
  return done;
}

std::size_t file_storage::read(char* buffer, std::int64_t offset, std::size_t size) {
  if (!is_open() || offset < 0) return 0;
  std::size_t done = 0;
  while (done < size) {
    OVERLAPPED place = at(offset + static_cast<std::int64_t>(done));
    const DWORD chunk = static_cast<DWORD>(size - done < kMaxChunk ? size - done : kMaxChunk);
    DWORD got = 0;
    // Reading at or past the end fails with ERROR_HANDLE_EOF; either way nothing more comes.
    if (!::ReadFile(as_handle(handle_), buffer + done, chunk, &got, &place) || got == 0) break;
    done += got;
  }
  return done;
}

boost::system::error_code file_storage::truncate(std::int64_t size) {
  if (!is_open()) return {ERROR_INVALID_HANDLE, boost::system::system_category()};
  LARGE_INTEGER end{};
  end.QuadPart = size;
  if (!::SetFilePointerEx(as_handle(handle_), end, nullptr, FILE_BEGIN) || !::SetEndOfFile(as_handle(handle_))) {
    return system_error_now();
  }
  return {};
}

std::int64_t file_storage::size() {
  LARGE_INTEGER length{};
  if (!is_open() || !::GetFileSizeEx(as_handle(handle_), &length)) return -1;
  return length.QuadPart;
}

}  // namespace httpdl
