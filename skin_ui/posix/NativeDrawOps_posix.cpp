// The portable build keeps picture pixels in plain memory: the "bitmap" is the pixel buffer
// itself. There are no module resources.

#include <new>

#include "skin_ui/NativeDrawOps.h"

namespace SkinUI::native {

NativeBitmap CreatePixelBitmap(int32_t width, int32_t height, uint32_t** pixels) {
  if (width <= 0 || height <= 0) return nullptr;
  auto* memory = new (std::nothrow) uint32_t[static_cast<size_t>(width) * static_cast<size_t>(height)]();
  *pixels = memory;
  return memory;
}

void DeletePixelBitmap(NativeBitmap bitmap) { delete[] static_cast<uint32_t*>(bitmap); }

bool LoadTypedResource(void*, const wchar_t*, const wchar_t*, std::string&) { return false; }

}  // namespace SkinUI::native
