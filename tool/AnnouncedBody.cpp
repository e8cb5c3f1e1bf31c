#include "tool/AnnouncedBody.h"

bool AnnouncedBody::Accept(uint64_t size) {
  if (size > announced_ - received_) return false;
  received_ += size;
  return true;
}

std::optional<uint64_t> ParseDecimal(std::string_view text, uint64_t limit) {
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (limit - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}
