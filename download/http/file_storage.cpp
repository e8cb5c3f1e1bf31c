#include "download/http/storage.h"

// The position-based operations, on top of the offset-based ones each platform provides.

namespace httpdl {

std::size_t file_storage::write(const char* buffer, std::size_t size) {
  const std::size_t written = write(buffer, position_, size);
  position_ += static_cast<std::int64_t>(written);
  return written;
}

std::size_t file_storage::read(char* buffer, std::size_t size) {
  const std::size_t got = read(buffer, position_, size);
  position_ += static_cast<std::int64_t>(got);
  return got;
}

bool file_storage::eof() {
  char byte = 0;
  return read(&byte, position_, 1) == 0;
}

}  // namespace httpdl
