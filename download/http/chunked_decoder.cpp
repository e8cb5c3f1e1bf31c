#include "download/http/chunked_decoder.h"

#include <algorithm>
#include <cstring>

namespace httpdl {

namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

// One framing byte; false when it breaks the frame.
bool chunked_decoder::step(char c) {
  switch (phase_) {
    case phase::size: {
      const int digit = hex_value(c);
      if (digit >= 0) {
        if (size_ > (INT64_MAX - digit) / 16) return false;
        size_ = size_ * 16 + digit;
        ++size_digits_;
        return true;
      }
      if (size_digits_ == 0) return false;
      if (c == ' ' || c == '\t') phase_ = phase::size_space;
      else if (c == ';') phase_ = phase::extension;
      else if (c == '\r') phase_ = phase::size_lf;
      else return false;
      return true;
    }
    case phase::size_space:
      if (c == ';') phase_ = phase::extension;
      else if (c == '\r') phase_ = phase::size_lf;
      else if (c != ' ' && c != '\t') return false;
      return true;
    case phase::extension:
      if (c == '\r') phase_ = phase::size_lf;
      else if (c == '\n') return false;
      return true;
    case phase::size_lf:
      if (c != '\n') return false;
      remaining_ = size_;
      phase_ = size_ == 0 ? phase::trailer_line_start : phase::data;
      return true;
    case phase::data_cr:
      if (c != '\r') return false;
      phase_ = phase::data_lf;
      return true;
    case phase::data_lf:
      if (c != '\n') return false;
      size_ = 0;
      size_digits_ = 0;
      phase_ = phase::size;
      return true;
    case phase::trailer_line_start:
      phase_ = c == '\r' ? phase::final_lf : phase::trailer_line;
      return c != '\n';
    case phase::trailer_line:
      if (c == '\r') phase_ = phase::trailer_lf;
      return c != '\n';
    case phase::trailer_lf:
      if (c != '\n') return false;
      phase_ = phase::trailer_line_start;
      return true;
    case phase::final_lf:
      if (c != '\n') return false;
      phase_ = phase::done;
      return true;
    case phase::data:
    case phase::done:
    case phase::failed:
      break;
  }
  return false;
}

chunked_decoder::result chunked_decoder::decode(std::string_view in, char* out, std::size_t out_size,
                                                std::size_t& consumed, std::size_t& produced) {
  consumed = 0;
  produced = 0;
  while (consumed < in.size() && phase_ != phase::done && phase_ != phase::failed) {
    if (phase_ == phase::data) {
      const std::size_t room = out_size - produced;
      if (room == 0) break;
      const std::size_t n = static_cast<std::size_t>(
          std::min<std::uint64_t>({static_cast<std::uint64_t>(remaining_), in.size() - consumed, room}));
      std::memcpy(out + produced, in.data() + consumed, n);
      consumed += n;
      produced += n;
      remaining_ -= static_cast<std::int64_t>(n);
      if (remaining_ == 0) phase_ = phase::data_cr;
      continue;
    }
    if (!step(in[consumed++])) phase_ = phase::failed;
  }
  if (phase_ == phase::done) return result::done;
  if (phase_ == phase::failed) return result::failed;
  return result::need_more;
}

}  // namespace httpdl
