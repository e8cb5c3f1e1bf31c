// Picture bitmaps are DIB sections, so the cache fills their pixels directly and GDI draws
// them; resources are read from the module that holds the toolkit's resources.

#include <windows.h>

#include "skin_ui/NativeDrawOps.h"
#include "skin_ui/ValueSyntax.h"

namespace SkinUI::native {

namespace {

// A resource name or type as the resource functions take it: numeric when it is a number
// already or a text that starts with a digit.
const wchar_t* ResourceKey(const wchar_t* text) {
  if (IS_INTRESOURCE(text)) return text;
  if (*text >= L'0' && *text <= L'9') return MAKEINTRESOURCEW(static_cast<WORD>(ParseNumber(text)));
  return text;
}

}  // namespace

NativeBitmap CreatePixelBitmap(int32_t width, int32_t height, uint32_t** pixels) {
  if (width <= 0 || height <= 0) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) {
    if (bitmap) DeleteObject(bitmap);
    return nullptr;
  }
  *pixels = static_cast<uint32_t*>(bits);
  return bitmap;
}

void DeletePixelBitmap(NativeBitmap bitmap) {
  if (bitmap) DeleteObject(static_cast<HBITMAP>(bitmap));
}

bool LoadTypedResource(void* module, const wchar_t* name, const wchar_t* type, std::string& bytes) {
  if (!name || !type || (!IS_INTRESOURCE(name) && !*name) || (!IS_INTRESOURCE(type) && !*type)) return false;
  HMODULE owner = module ? static_cast<HMODULE>(module) : GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(owner, ResourceKey(name), ResourceKey(type));
  if (!resource) return false;
  HGLOBAL loaded = LoadResource(owner, resource);
  const DWORD size = SizeofResource(owner, resource);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data || size == 0) return false;
  bytes.assign(static_cast<const char*>(data), size);
  return true;
}

}  // namespace SkinUI::native
