#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/Encoding.h"
#include "common/FileOps.h"

namespace fileops {

namespace {

std::string Native(const std::wstring& path) { return encoding::ToPath(path).native(); }
Failure SystemError(int code) { return {std::strerror(code), code}; }
Failure LastError() { return SystemError(errno); }

Failure WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return LastError();
    if (written == 0) return {"nothing written"};
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return {};
}

// Writes what `fill` supplies into a new or truncated file; a full disk or a lost network volume
// may only show when the data leaves the cache, so the close is checked as well.
template <typename Fill>
Failure WriteNewFile(const std::wstring& path, Fill&& fill) {
  const int fd = ::open(Native(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return LastError();
  if (Failure failure = fill(fd)) {
    ::close(fd);
    return failure;
  }
  if (::close(fd) != 0) return LastError();
  return {};
}

}  // namespace

Failure WriteWholeFile(const std::wstring& path, std::string_view bytes) {
  return WriteNewFile(path, [bytes](int fd) { return WriteAll(fd, bytes); });
}

Failure CopyReplacing(const std::wstring& from, const std::wstring& to) {
  platform::ReadingFile source;
  if (Failure failure = source.Open(from)) return failure;
  return WriteNewFile(to, [&source](int fd) {
    char buffer[64 * 1024];
    for (;;) {
      std::size_t got = 0;
      if (Failure failure = source.Read(buffer, sizeof buffer, got)) return failure;
      if (got == 0) return Failure{};
      if (Failure failure = WriteAll(fd, std::string_view(buffer, got))) return failure;
    }
  });
}

Failure RenameReplacing(const std::wstring& from, const std::wstring& to) {
  if (std::rename(Native(from).c_str(), Native(to).c_str()) != 0) return LastError();
  return {};
}

Failure RemoveFile(const std::wstring& path) {
  if (::unlink(Native(path).c_str()) == 0 || errno == ENOENT) return {};
  return LastError();
}

bool Exists(const std::wstring& path) {
  struct stat info {};
  return ::stat(Native(path).c_str(), &info) == 0;
}

namespace platform {

unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }

bool IsFolder(const std::wstring& path) {
  struct stat info {};
  return ::stat(Native(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

Failure CreateFolder(const std::wstring& path) {
  if (::mkdir(Native(path).c_str(), 0755) == 0) return {};
  const int code = errno;
  // Another process may have made it meanwhile; a file of that name is still a failure.
  if (code == EEXIST && IsFolder(path)) return {};
  return SystemError(code);
}

ReadingFile::~ReadingFile() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

Failure ReadingFile::Open(const std::wstring& path) {
  const int fd = ::open(Native(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return LastError();
  handle_ = fd;
  // A folder opens for reading here but not on Windows; both builds refuse it the same way.
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) return SystemError(EISDIR);
  return {};
}

Failure ReadingFile::Size(std::uint64_t& size) const {
  struct stat info {};
  if (::fstat(static_cast<int>(handle_), &info) != 0) return LastError();
  size = static_cast<std::uint64_t>(info.st_size);
  return {};
}

Failure ReadingFile::Read(char* into, std::size_t count, std::size_t& got) {
  for (;;) {
    const ssize_t read = ::read(static_cast<int>(handle_), into, count);
    if (read < 0 && errno == EINTR) continue;
    if (read < 0) return LastError();
    got = static_cast<std::size_t>(read);
    return {};
  }
}

}  // namespace platform

}  // namespace fileops
