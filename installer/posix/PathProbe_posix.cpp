// The native stand-in: the same questions asked of a POSIX file system.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "common/Encoding.h"
#include "common/PathText.h"
#include "installer/PathProbe.h"
#include "log/Logger.h"

namespace {

std::filesystem::file_type TypeOf(const std::filesystem::path& path, std::error_code& ec) {
  return std::filesystem::status(path, ec).type();
}

}  // namespace

PathKind ProbePath(const std::wstring& path) {
  std::error_code ec;
  const auto type = TypeOf(encoding::ToPath(path), ec);
  if (type == std::filesystem::file_type::not_found) return PathKind::kMissing;
  if (type == std::filesystem::file_type::directory) return PathKind::kFolder;
  if (ec) LOG_INFO("stat of %s failed: %s", encoding::WideToAnsi(path).c_str(), ec.message().c_str());
  return PathKind::kOther;
}

bool IsPathUsable(const std::wstring& path) {
  std::wstring folder = path;
  while (folder.size() > 1 && pathtext::IsSeparator(folder.back())) folder.pop_back();
  std::error_code ec;
  const auto type = TypeOf(encoding::ToPath(folder), ec);
  if (type != std::filesystem::file_type::not_found) return true;
  // As on Windows: only a missing parent (or a parent that is a file) makes the path unusable.
  const std::wstring parent = pathtext::FolderPart(folder);
  return TypeOf(encoding::ToPath(parent.empty() ? std::wstring(1, pathtext::kSeparator) : parent), ec) ==
         std::filesystem::file_type::directory;
}

bool FolderAcceptsNewFile(const std::wstring& folder) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 8; ++attempt) {
    const std::string probe = encoding::ToPath(folder + L"nexvale-probe-" + std::to_wstring(getpid()) + L"-" +
                                               std::to_wstring(counter++) + L".tmp")
                                  .string();
    const int file = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (file >= 0) {
      close(file);
      unlink(probe.c_str());
      return true;
    }
    if (errno == EEXIST) continue;
    LOG_INFO("probe file %s could not be created: %s", probe.c_str(), std::strerror(errno));
    return false;
  }
  LOG_INFO("no free name for a probe file in %s", encoding::WideToAnsi(folder).c_str());
  return false;
}
