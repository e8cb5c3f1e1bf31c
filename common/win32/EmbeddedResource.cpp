#include "common/win32/EmbeddedResource.h"

#include <windows.h>

std::optional<std::string_view> FindEmbeddedResource(int id, const wchar_t* type) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), type);
  if (!resource) return std::nullopt;
  HGLOBAL loaded = LoadResource(module, resource);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return std::nullopt;
  return std::string_view(static_cast<const char*>(data), SizeofResource(module, resource));
}
