#pragma once
// A file's version resource, read once and queried for its parts.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

class VersionResource {
 public:
  // Empty when the file has no version resource.
  static std::optional<VersionResource> Read(const std::wstring& path);

  bool HasTranslationTable() const;
  std::optional<VS_FIXEDFILEINFO> FixedInfo() const;
  // A string of one string block, such as ("040904b0", "FileDescription"); empty when missing.
  std::wstring String(const wchar_t* block, const wchar_t* name) const;

 private:
  explicit VersionResource(std::vector<BYTE> data) : data_(std::move(data)) {}
  std::vector<BYTE> data_;
};
