// The image-description scanner on any text: every byte becomes one character of an exactly
// sized, terminated buffer, so a read past the end is caught. What it reads stays within the
// text, and fade stays within 0..255.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "skin_ui/ImageDescription.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<wchar_t> text(data, data + size);
  text.push_back(L'\0');
  SkinUI::UIImageDescription description;
  SkinUI::ParseImageDescription(text.data(), description);
  if (static_cast<std::size_t>(description.name.GetLength()) > size) std::abort();
  if (static_cast<std::size_t>(description.type.GetLength()) > size &&
      description.type != SkinUI::kColorImageType)
    std::abort();
  return 0;
}
