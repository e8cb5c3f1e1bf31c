// libFuzzer target: the banner feed's parser on arbitrary answers.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/BannerFeed.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int code = 0;
  std::string message;
  std::vector<ImageInfo> images;
  const bool parsed = ParseBannerFeed(std::string_view(reinterpret_cast<const char*>(data), size), code, message, images);
  if (!parsed && (code != -1 || !images.empty())) __builtin_trap();
  return 0;
}
