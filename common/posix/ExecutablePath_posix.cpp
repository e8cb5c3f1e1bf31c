#include <filesystem>
#include <system_error>

#include "common/Encoding.h"
#include "common/ExecutablePath.h"

std::wstring GetExecutablePath() {
  std::error_code error;
  const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::wstring() : encoding::FromPath(path);
}
