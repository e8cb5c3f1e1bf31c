// Chunked bodies: no crash, and the data and the outcome do not depend on how the input was
// split or how large the reads were. The first byte chooses both.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "download/http/chunked_decoder.h"

namespace {

struct Outcome {
  httpdl::chunked_decoder::result result = httpdl::chunked_decoder::result::need_more;
  std::string data;
  std::size_t consumed = 0;
};

Outcome Decode(std::string_view in, std::size_t piece, std::size_t read_size) {
  httpdl::chunked_decoder decoder;
  Outcome out;
  std::vector<char> buffer(read_size);
  while (out.consumed < in.size()) {
    const std::string_view chunk = in.substr(out.consumed, piece);
    std::size_t used = 0, produced = 0;
    out.result = decoder.decode(chunk, buffer.data(), buffer.size(), used, produced);
    if (used > chunk.size() || produced > buffer.size()) std::abort();
    out.consumed += used;
    out.data.append(buffer.data(), produced);
    if (out.result != httpdl::chunked_decoder::result::need_more) break;
    if (used == 0 && produced == 0) std::abort();  // no progress
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t piece = data[0] % 8 + 1;
  const std::size_t read_size = data[0] / 8 % 8 + 1;
  const std::string_view in(reinterpret_cast<const char*>(data + 1), size - 1);
  const Outcome whole = Decode(in, in.size() + 1, in.size() + 1);
  const Outcome split = Decode(in, piece, read_size);
  if (whole.result != split.result || whole.consumed != split.consumed) std::abort();
  // A broken frame may cut the data of the split run short, never change it.
  if (whole.data.compare(0, split.data.size(), split.data) != 0) std::abort();
  if (whole.result != httpdl::chunked_decoder::result::failed && whole.data != split.data) std::abort();
  return 0;
}
