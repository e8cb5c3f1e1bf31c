#pragma once
// What each build supplies to the log (log/win32, log/posix).

#include <cstdint>
#include <cstdarg>
#include <optional>
#include <string>
#include <string_view>

namespace logplatform {

struct LocalTime {
  int year, month, day, hour, minute, second, millisecond;
};
LocalTime Now();

// The line break the record pattern's %n writes.
extern const char kLineBreak[];

// A file opened for appending by its wide path, shared so other processes may read, append
// and rename it; created with mode 0644 where modes exist.
class AppendFile {
 public:
  AppendFile() = default;
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;
  ~AppendFile() { Close(); }

  bool Open(const std::wstring& path);
  void Close();
  bool IsOpen() const;
  bool Write(std::string_view bytes);
  // Current size of the file on disk, or -1.
  int64_t Size() const;

 private:
  intptr_t handle_ = -1;
};

// vswprintf with this build's runtime, %s taking a wide string and %S a narrow one; nullopt when
// the runtime reports a formatting failure.
std::optional<std::wstring> FormatWide(const wchar_t* format, va_list args);

}  // namespace logplatform
