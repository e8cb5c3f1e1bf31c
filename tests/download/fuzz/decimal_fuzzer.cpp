// The one decimal parser of the program, which reads sizes, ports, status codes and ages from
// the network: it agrees with a reference that counts in 128 bits. The first eight bytes are
// the limit, the rest the text.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "common/AsciiText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 8) return 0;
  std::uint64_t limit = 0;
  std::memcpy(&limit, data, 8);
  const std::string_view text(reinterpret_cast<const char*>(data + 8), size - 8);

  bool digits = !text.empty();
  unsigned __int128 value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') {
      digits = false;
      break;
    }
    value = value * 10 + static_cast<unsigned>(c - '0');
    if (value > limit) break;  // stays above the limit whatever follows
  }
  const bool fits = digits && value <= limit;

  const auto parsed = asciitext::ParseDecimal(text, limit);
  if (parsed.has_value() != fits) std::abort();
  if (parsed && *parsed != static_cast<std::uint64_t>(value)) std::abort();
  return 0;
}
