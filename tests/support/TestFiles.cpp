#include "tests/support/TestFiles.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "common/Encoding.h"
#include "common/ExecutablePath.h"
#include "common/PathText.h"

namespace testsupport {

TempFolder::TempFolder(const std::wstring& label) {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const std::wstring base = encoding::FromPath(std::filesystem::temp_directory_path());
  path_ = pathtext::WithTrailingSeparator(base) + L"nexvale-" + label + L"-" + std::to_wstring(stamp) + L"-" +
          std::to_wstring(counter++);
  std::filesystem::create_directories(encoding::ToPath(path_));
  path_ += pathtext::kSeparator;
}

namespace {
// One pass over the tree, errors ignored. (The standard remove_all can spin forever on Windows
// when a file below is still open, as a log file stays for the whole process.)
void RemoveTree(const std::filesystem::path& folder) {
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    std::error_code ignored;
    if (entry->is_directory(ignored)) RemoveTree(entry->path());
    std::filesystem::remove(entry->path(), ignored);
  }
  std::filesystem::remove(folder, error);
}
}  // namespace

TempFolder::~TempFolder() { RemoveTree(encoding::ToPath(path_)); }

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(encoding::ToPath(path), std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + encoding::WideToUtf8(path));
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(encoding::ToPath(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + encoding::WideToUtf8(path));
}

bool PathExists(const std::wstring& path) {
  std::error_code ignored;
  return std::filesystem::exists(encoding::ToPath(path), ignored);
}

std::string Utf16IniBytes(const std::wstring& text) { return "\xFF\xFE" + encoding::WideToUtf16Le(text); }

std::wstring BuildBinFolder() { return pathtext::WithTrailingSeparator(pathtext::FolderPart(GetExecutablePath())); }

}  // namespace testsupport
