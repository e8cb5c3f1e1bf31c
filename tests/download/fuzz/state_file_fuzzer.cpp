// The bencode decoder and the resume record: no crash, and whatever decodes encodes back to
// bytes that decode to the same value.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "download/http/bencode.h"
#include "download/http/state_file.h"

namespace {

bool SameValue(const httpdl::bencode::value& a, const httpdl::bencode::value& b) {
  return httpdl::bencode::encode(a) == httpdl::bencode::encode(b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  httpdl::bencode::value value;
  if (!httpdl::bencode::decode(text, value)) {
    // Accepted input is canonical: it encodes back to itself.
    if (httpdl::bencode::encode(value) != text) std::abort();
    httpdl::bencode::value again;
    if (httpdl::bencode::decode(httpdl::bencode::encode(value), again) || !SameValue(value, again)) std::abort();
  }
  httpdl::download_state state;
  if (!httpdl::decode_download_state(text, state) && httpdl::is_consistent(state)) {
    httpdl::download_state again;
    if (httpdl::decode_download_state(httpdl::encode_download_state(state), again)) std::abort();
    if (again.file_size != state.file_size || again.bitfield != state.bitfield || again.final_url != state.final_url ||
        again.requested_url != state.requested_url || again.piece_num != state.piece_num) {
      std::abort();
    }
  }
  return 0;
}
