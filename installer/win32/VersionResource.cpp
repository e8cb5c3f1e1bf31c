#include "installer/win32/VersionResource.h"

std::optional<VersionResource> VersionResource::Read(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return std::nullopt;
  return VersionResource(std::move(data));
}

bool VersionResource::HasTranslationTable() const {
  void* value = nullptr;
  UINT length = 0;
  return VerQueryValueW(data_.data(), L"\\VarFileInfo\\Translation", &value, &length) && value && length > 0;
}

std::optional<VS_FIXEDFILEINFO> VersionResource::FixedInfo() const {
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data_.data(), L"\\", &value, &length) || !value || length < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  return *static_cast<const VS_FIXEDFILEINFO*>(value);
}

std::wstring VersionResource::String(const wchar_t* block, const wchar_t* name) const {
  const std::wstring query = std::wstring(L"\\StringFileInfo\\") + block + L"\\" + name;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data_.data(), query.c_str(), &value, &length) || !value || length == 0) return std::wstring();
  // The length counts characters and may include the terminator.
  std::wstring text(static_cast<const wchar_t*>(value), length);
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}
