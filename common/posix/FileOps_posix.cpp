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
Failure SystemError(int code) { return {std::strerror(code)}; }
Failure LastError() { return SystemError(errno); }

}  // namespace

Failure WriteWholeFile(const std::wstring& path, std::string_view bytes) {
  const int fd = ::open(Native(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return LastError();
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      Failure failure = written < 0 ? LastError() : Failure{"nothing written"};
      ::close(fd);
      return failure;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  // A full disk or a lost network volume may only show when the data leaves the cache.
  if (::close(fd) != 0) return LastError();
  return {};
}

Failure RenameReplacing(const std::wstring& from, const std::wstring& to) {
  if (std::rename(Native(from).c_str(), Native(to).c_str()) != 0) return LastError();
  return {};
}

namespace platform {

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

}  // namespace platform

}  // namespace fileops
