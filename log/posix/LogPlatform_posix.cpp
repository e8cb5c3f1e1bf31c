#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cwchar>
#include <ctime>

#include "common/Encoding.h"
#include "log/LogPlatform.h"
#include "log/posix/WideFormatRewrite.h"

namespace logplatform {

const char kLineBreak[] = "\n";

LocalTime Now() {
  timeval now{};
  gettimeofday(&now, nullptr);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
          local.tm_min,         local.tm_sec,     static_cast<int>(now.tv_usec / 1000)};
}

bool AppendFile::Open(const std::wstring& path) {
  Close();
  const std::string name = encoding::ToPath(path).native();
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  handle_ = fd;
  return true;
}

void AppendFile::Close() {
  if (IsOpen()) ::close(static_cast<int>(handle_));
  handle_ = -1;
}

bool AppendFile::IsOpen() const { return handle_ >= 0; }

bool AppendFile::Write(std::string_view bytes) {
  if (!IsOpen()) return false;
  while (!bytes.empty()) {
    const ssize_t written = ::write(static_cast<int>(handle_), bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

int64_t AppendFile::Size() const {
  struct stat info {};
  if (!IsOpen() || ::fstat(static_cast<int>(handle_), &info) != 0) return -1;
  return info.st_size;
}

std::optional<std::wstring> FormatWide(const wchar_t* format, va_list args) {
  // glibc follows C99 (%s narrow, %ls wide); the program's formats follow the Windows rule.
  const std::wstring c99 = RewriteWideFormatForC99(format);
  // vswprintf cannot measure; grow until the text fits, within a sane bound.
  for (size_t capacity = 256; capacity <= (size_t{1} << 26); capacity *= 2) {
    std::wstring text(capacity, L'\0');
    va_list attempt;
    va_copy(attempt, args);
    const int written = std::vswprintf(text.data(), capacity, c99.c_str(), attempt);
    va_end(attempt);
    if (written >= 0) {
      text.resize(static_cast<size_t>(written));
      return text;
    }
    // -1 means either "too small" or an encoding failure; only the first goes away with room.
    if (errno == EILSEQ) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace logplatform
