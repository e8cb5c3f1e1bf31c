#pragma once
// Sets of byte ranges over a file of known size: which bytes are handed out to connections and
// which are on disk. Every offset is 64-bit.

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include "download/http/piece_bitmap.h"

namespace httpdl {

// Two byte offsets. Inside a range_map the range is half-open [left, right); a range handed to
// a connection is inclusive, `right` being the last byte asked for.
struct range {
  std::int64_t left = 0;
  std::int64_t right = 0;
  friend bool operator==(const range&, const range&) = default;
};

// The bytes per piece for a file: the smallest power of two from 16 KiB to 16 MiB that is at
// least file_size / 2048, so a file never has much more than 2048 pieces.
std::int64_t compute_piece_size(std::int64_t file_size);

// Safe for several threads: each operation runs under the map's own mutex.
class range_map {
 public:
  // Empties the map for a file of `size` bytes.
  void reset(std::int64_t size);
  // Accepted when 0 <= left < right <= size. Overlapping and touching ranges become one.
  bool add(std::int64_t left, std::int64_t right);
  // The first gap (half-open) not covered by the map: the first one wholly after `from`, else
  // the rest of the gap `from` lies in, else the first gap. False when there is none.
  bool next_free(std::int64_t from, std::int64_t& left, std::int64_t& right);
  // One range covering the whole file (a file of 0 bytes is never full).
  bool is_full();
  std::int64_t covered_bytes();
  std::int64_t size();
  // The merged ranges in ascending order.
  std::vector<range> ranges();

  // Bit i is set when piece i (bytes i * piece_size up to the next piece or the file's end)
  // lies wholly inside the map.
  piece_bitmap to_bitmap(std::int64_t piece_size);
  // Empties the map and adds one range per run of set bits, clipped to the file's end.
  void from_bitmap(const piece_bitmap& bitmap, std::int64_t piece_size);

 private:
  std::mutex mutex_;
  std::int64_t size_ = 0;
  std::map<std::int64_t, std::int64_t> ranges_;  // left -> right, half-open, disjoint, never touching
};

}  // namespace httpdl
