#pragma once
// Files and folders for tests: a fresh temporary folder per test, read and written by wide path.

#include <string>

namespace testsupport {

// A new, empty folder under the system's temporary folder, removed with everything in it when
// the object goes. `label` may hold any characters the file system takes, non-ASCII included.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& label = L"test");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder, ending in the path separator.
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool PathExists(const std::wstring& path);
// The bytes of an INI file as Windows writes Unicode ones: UTF-16LE after an FF FE mark.
std::string Utf16IniBytes(const std::wstring& text);
// The folder holding the running test executable (and every program of the build), ending in
// the separator.
std::wstring BuildBinFolder();

}  // namespace testsupport
