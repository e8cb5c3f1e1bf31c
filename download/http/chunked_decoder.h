#pragma once
// Decoder of the chunked transfer coding (RFC 7230 section 4.1): size lines in hexadecimal with
// optional extensions, chunk data each followed by CR LF, a last chunk of size 0, and an
// optional trailer ended by an empty line. Fed with whatever bytes have arrived; copies out only
// the data. Extensions and trailer fields are skipped.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace httpdl {

class chunked_decoder {
 public:
  enum class result {
    need_more,  // everything given was used; the body goes on
    done,       // the body ended with its trailer and final CR LF; nothing after it was taken
    failed,     // a malformed frame or a size that does not fit 63 bits
  };

  // Takes bytes from the front of `in` (`consumed`) and copies chunk data into `out`, at most
  // `out_size` bytes (`produced`). Stops early when `out` is full.
  result decode(std::string_view in, char* out, std::size_t out_size, std::size_t& consumed,
                std::size_t& produced);

  bool finished() const { return phase_ == phase::done; }

 private:
  enum class phase {
    size, size_space, extension, size_lf, data, data_cr, data_lf,
    trailer_line_start, trailer_line, trailer_lf, final_lf, done, failed,
  };
  bool step(char c);

  phase phase_ = phase::size;
  std::int64_t size_ = 0;
  int size_digits_ = 0;
  std::int64_t remaining_ = 0;
};

}  // namespace httpdl
