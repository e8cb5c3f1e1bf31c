#include "download/http/range_map.h"

#include <algorithm>
#include <iterator>

namespace httpdl {

std::int64_t compute_piece_size(std::int64_t file_size) {
  const std::int64_t wanted = file_size / 2048;
  std::int64_t piece = 16 * 1024;
  while (wanted > piece && piece < 16 * 1024 * 1024) piece *= 2;
  return piece;
}

void range_map::reset(std::int64_t size) {
  std::lock_guard lock(mutex_);
  ranges_.clear();
  size_ = size < 0 ? 0 : size;
}

bool range_map::add(std::int64_t left, std::int64_t right) {
  std::lock_guard lock(mutex_);
  if (left < 0 || left >= right || right > size_) return false;
  // The map is kept merged on every add: downloads add one read at a time, nearly always
  // right behind a range already there, so the map stays a handful of entries long.
  auto next = ranges_.upper_bound(left);
  if (next != ranges_.begin()) {
    auto before = std::prev(next);
    if (before->second >= left) {
      left = before->first;
      right = std::max(right, before->second);
      ranges_.erase(before);
    }
  }
  while (next != ranges_.end() && next->first <= right) {
    right = std::max(right, next->second);
    next = ranges_.erase(next);
  }
  ranges_.emplace_hint(next, left, right);
  return true;
}

bool range_map::next_free(std::int64_t from, std::int64_t& left, std::int64_t& right) {
  std::lock_guard lock(mutex_);
  bool found_first = false;
  range first;
  std::int64_t cursor = 0;
  auto consider = [&](std::int64_t gap_left, std::int64_t gap_right) {
    if (gap_left >= gap_right) return false;
    if (!found_first) {
      first = {gap_left, gap_right};
      found_first = true;
    }
    if (gap_left > from) {
      left = gap_left;
      right = gap_right;
      return true;
    }
    if (from >= gap_left && from < gap_right) {
      left = from;
      right = gap_right;
      return true;
    }
    return false;
  };
  for (const auto& [range_left, range_right] : ranges_) {
    if (consider(cursor, range_left)) return true;
    cursor = range_right;
  }
  if (consider(cursor, size_)) return true;
  if (!found_first) return false;
  left = first.left;
  right = first.right;
  return true;
}

bool range_map::is_full() {
  std::lock_guard lock(mutex_);
  return ranges_.size() == 1 && ranges_.begin()->first == 0 && ranges_.begin()->second == size_;
}

std::int64_t range_map::covered_bytes() {
  std::lock_guard lock(mutex_);
  std::int64_t sum = 0;
  for (const auto& [left, right] : ranges_) sum += right - left;
  return sum;
}

std::int64_t range_map::size() {
  std::lock_guard lock(mutex_);
  return size_;
}

std::vector<range> range_map::ranges() {
  std::lock_guard lock(mutex_);
  std::vector<range> out;
  for (const auto& [left, right] : ranges_) out.push_back({left, right});
  return out;
}

piece_bitmap range_map::to_bitmap(std::int64_t piece_size) {
  std::lock_guard lock(mutex_);
  if (piece_size <= 0) return piece_bitmap();
  const std::int64_t pieces = size_ / piece_size + (size_ % piece_size != 0 ? 1 : 0);
  piece_bitmap bitmap(pieces);
  for (const auto& [left, right] : ranges_) {
    // Pieces wholly inside [left, right): the first one starting at or after `left`, up to the
    // last one ending at or before `right` (the short last piece ends at the file's end).
    const std::int64_t first = left / piece_size + (left % piece_size != 0 ? 1 : 0);
    const std::int64_t end = right == size_ ? pieces : right / piece_size;
    for (std::int64_t i = first; i < end; ++i) bitmap.set(i);
  }
  return bitmap;
}

void range_map::from_bitmap(const piece_bitmap& bitmap, std::int64_t piece_size) {
  std::lock_guard lock(mutex_);
  ranges_.clear();
  if (piece_size <= 0) return;
  const std::int64_t pieces = std::min(bitmap.size(), size_ / piece_size + (size_ % piece_size != 0 ? 1 : 0));
  std::int64_t i = 0;
  while (i < pieces) {
    if (!bitmap.test(i)) {
      ++i;
      continue;
    }
    const std::int64_t run_start = i;
    while (i < pieces && bitmap.test(i)) ++i;
    ranges_.emplace(run_start * piece_size, std::min(i * piece_size, size_));
  }
}

}  // namespace httpdl
