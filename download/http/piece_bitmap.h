#pragma once
// A bit per piece of a file, stored most significant bit first: bit i lives in byte i / 8 under
// the mask 0x80 >> (i % 8). The unused bits of the last byte are always 0, so two bitmaps of the
// same pieces have the same bytes.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace httpdl {

class piece_bitmap {
 public:
  piece_bitmap() = default;
  explicit piece_bitmap(std::int64_t bits) : bits_(bits < 0 ? 0 : bits), bytes_(byte_count(bits_), '\0') {}

  // Takes the first `bits` bits of `bytes`; missing bytes read as 0 and bits past `bits` are
  // dropped.
  static piece_bitmap from_bytes(std::string_view bytes, std::int64_t bits) {
    piece_bitmap map(bits);
    const std::size_t n = bytes.size() < map.bytes_.size() ? bytes.size() : map.bytes_.size();
    map.bytes_.replace(0, n, bytes.substr(0, n));
    if (map.bits_ % 8 != 0 && !map.bytes_.empty()) {
      map.bytes_.back() = static_cast<char>(static_cast<unsigned char>(map.bytes_.back()) & (0xFF00 >> (map.bits_ % 8)));
    }
    return map;
  }

  // More bits than any file of the engine has pieces (2^26 at most); the byte count of a
  // larger bitmap would not fit a 32-bit size_t and would wrap to a smaller buffer.
  static constexpr std::int64_t kMaxBits = std::int64_t{1} << 31;

  // Throws std::length_error for more than kMaxBits, as a string throws for more than it holds.
  static std::size_t byte_count(std::int64_t bits) {
    if (bits <= 0) return 0;
    if (bits > kMaxBits) throw std::length_error("piece bitmap of more than 2^31 bits");
    return static_cast<std::size_t>(bits / 8 + (bits % 8 != 0 ? 1 : 0));
  }

  std::int64_t size() const { return bits_; }
  bool test(std::int64_t i) const {
    return i >= 0 && i < bits_ && (static_cast<unsigned char>(bytes_[static_cast<std::size_t>(i / 8)]) & mask(i)) != 0;
  }
  void set(std::int64_t i) {
    if (i >= 0 && i < bits_) bytes_[static_cast<std::size_t>(i / 8)] = static_cast<char>(bytes_[static_cast<std::size_t>(i / 8)] | mask(i));
  }
  const std::string& bytes() const { return bytes_; }

 private:
  static unsigned char mask(std::int64_t i) { return static_cast<unsigned char>(0x80u >> (i % 8)); }

  std::int64_t bits_ = 0;
  std::string bytes_;
};

}  // namespace httpdl
