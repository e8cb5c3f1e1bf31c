// Response heads: no crash, and the outcome does not depend on how the bytes were split into
// reads. The first byte chooses the split.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "download/http/response_head.h"

namespace {

struct Outcome {
  httpdl::response_head_parser::result result;
  boost::system::error_code error;
  httpdl::header_options options;
  std::int64_t length;
  std::size_t consumed;
};

Outcome Feed(std::string_view bytes, std::size_t piece) {
  httpdl::response_head_parser parser;
  Outcome out{httpdl::response_head_parser::result::need_more, {}, {}, -1, 0};
  while (out.consumed < bytes.size()) {
    std::size_t used = 0;
    out.result = parser.feed(bytes.substr(out.consumed, piece), used);
    out.consumed += used;
    if (out.result != httpdl::response_head_parser::result::need_more) break;
  }
  out.error = parser.error();
  out.options = parser.head().options;
  out.length = parser.head().content_length;
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t piece = data[0] % 16 + 1;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const Outcome whole = Feed(bytes, bytes.size() + 1);
  const Outcome split = Feed(bytes, piece);
  if (whole.result != split.result || whole.error != split.error || whole.consumed != split.consumed) std::abort();
  if (whole.result == httpdl::response_head_parser::result::done &&
      (!(whole.options == split.options) || whole.length != split.length)) {
    std::abort();
  }
  return 0;
}
