#pragma once
// Keeps a response body to the length its Content-Length announced: pieces that would carry it
// past that length are refused before anything is stored, and a body that ended early is told
// from a complete one.

#include <cstdint>

class AnnouncedBody {
 public:
  explicit AnnouncedBody(uint64_t announced) : announced_(announced) {}

  // Counts a piece of `size` bytes; false (and nothing counted) when it would exceed the
  // announced length.
  bool Accept(uint64_t size);

  uint64_t announced() const { return announced_; }
  uint64_t received() const { return received_; }
  bool complete() const { return received_ == announced_; }

 private:
  uint64_t announced_;
  uint64_t received_ = 0;
};
