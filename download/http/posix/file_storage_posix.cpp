#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/Encoding.h"
#include "download/http/storage.h"

namespace httpdl {

namespace {

boost::system::error_code system_error_now() { return {errno, boost::system::system_category()}; }

const boost::system::error_code kNothingMoved = boost::system::errc::make_error_code(boost::system::errc::io_error);

}  // namespace

void file_storage::open(const std::wstring& path, boost::system::error_code& ec) {
  close();
  ec.clear();
  const int fd = ::open(encoding::ToPath(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    ec = system_error_now();
    return;
  }
  handle_ = fd;
  position_ = 0;
}

void file_storage::close() {
  if (!is_open()) return;
  ::close(static_cast<int>(handle_));
  handle_ = kInvalidHandle;
}

std::size_t file_storage::write(const char* buffer, std::int64_t offset, std::size_t size) {
  if (!is_open() || offset < 0) {
    write_error_ = boost::system::errc::make_error_code(is_open() ? boost::system::errc::invalid_argument
                                                                  : boost::system::errc::bad_file_descriptor);
    return 0;
  }
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pwrite(static_cast<int>(handle_), buffer + done, size - done,
                               static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      write_error_ = n < 0 ? system_error_now() : kNothingMoved;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  return done;
}

std::size_t file_storage::read(char* buffer, std::int64_t offset, std::size_t size) {
  if (!is_open() || offset < 0) return 0;
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(static_cast<int>(handle_), buffer + done, size - done,
                              static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

boost::system::error_code file_storage::truncate(std::int64_t size) {
  if (!is_open()) return boost::system::errc::make_error_code(boost::system::errc::bad_file_descriptor);
  if (::ftruncate(static_cast<int>(handle_), static_cast<off_t>(size)) != 0) return system_error_now();
  return {};
}

std::int64_t file_storage::size() {
  struct stat info {};
  if (!is_open() || ::fstat(static_cast<int>(handle_), &info) != 0) return -1;
  return static_cast<std::int64_t>(info.st_size);
}

}  // namespace httpdl
