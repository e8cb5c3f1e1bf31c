#pragma once
// What the image cache asks of the platform: 32-bit top-down bitmaps whose pixels it fills, and
// image bytes from the module's resources. Windows makes DIB sections and reads resources
// (win32/NativeDrawOps_win32.cpp); the portable build keeps the pixels in plain memory and has
// no resources (posix/NativeDrawOps_posix.cpp).

#include <cstdint>
#include <string>

#include "skin_ui/UIDefs.h"

namespace SkinUI::native {

// A bitmap of `width` × `height` 32-bit pixels (both above 0); `pixels` receives its memory,
// rows top to bottom. Null when it cannot be made.
NativeBitmap CreatePixelBitmap(int32_t width, int32_t height, uint32_t** pixels);
void DeletePixelBitmap(NativeBitmap bitmap);

// The bytes of resource `name` of `type` in `module` (the process's own module when null). A
// name or type that starts with a digit is a numeric id (as is one made by MAKEINTRESOURCE).
bool LoadTypedResource(void* module, const wchar_t* name, const wchar_t* type, std::string& bytes);

}  // namespace SkinUI::native
