#include "download/http/state_file.h"

#include "download/http/bencode.h"
#include "download/http/error.h"

namespace httpdl {

std::string encode_download_state(const download_state& state) {
  bencode::value dict = bencode::value::make_dictionary();
  dict.set("bitfield", bencode::value::make_string(state.bitfield));
  dict.set("file_size", bencode::value::make_integer(state.file_size));
  dict.set("final_url", bencode::value::make_string(state.final_url));
  dict.set("piece_num", bencode::value::make_integer(state.piece_num));
  dict.set("piece_size", bencode::value::make_integer(state.piece_size));
  dict.set("requested_url", bencode::value::make_string(state.requested_url));
  return bencode::encode(dict);
}

boost::system::error_code decode_download_state(std::string_view bytes, download_state& state) {
  const boost::system::error_code invalid = errors::invalid_entry_type;
  bencode::value dict;
  if (bencode::decode(bytes, dict) || dict.type() != bencode::value::kind::dictionary) return invalid;

  auto integer = [&](std::string_view key, std::int64_t& out) {
    const bencode::value* v = dict.find(key);
    if (!v || v->type() != bencode::value::kind::integer) return false;
    out = v->integer();
    return true;
  };
  auto string = [&](std::string_view key, std::string& out) {
    const bencode::value* v = dict.find(key);
    if (!v || v->type() != bencode::value::kind::string) return false;
    out = v->string();
    return true;
  };

  download_state decoded;
  if (!integer("file_size", decoded.file_size) || !integer("piece_size", decoded.piece_size) ||
      !integer("piece_num", decoded.piece_num) || !string("final_url", decoded.final_url) ||
      !string("bitfield", decoded.bitfield)) {
    return invalid;
  }
  if (dict.find("requested_url") && !string("requested_url", decoded.requested_url)) return invalid;
  state = std::move(decoded);
  return {};
}

bool is_consistent(const download_state& state) {
  if (state.file_size < 0 || state.file_size > kMaxFileSize) return false;
  if (state.piece_size < kMinPieceSize || state.piece_size > kMaxPieceSize) return false;
  // Written as division so that no value of the file's fields can overflow.
  const std::int64_t pieces = state.file_size / state.piece_size + (state.file_size % state.piece_size != 0 ? 1 : 0);
  if (state.piece_num != pieces) return false;
  const std::int64_t bytes = pieces / 8 + (pieces % 8 != 0 ? 1 : 0);
  return static_cast<std::int64_t>(state.bitfield.size()) == bytes;
}

}  // namespace httpdl
