#pragma once
// The record kept beside a partial download so that it can resume: a bencoded dictionary with
// the keys "bitfield", "file_size", "final_url", "piece_num", "piece_size" and, since resuming
// follows redirects, "requested_url" (readers that do not know it ignore it).

#include <cstdint>
#include <string>
#include <string_view>

#include <boost/system/error_code.hpp>

namespace httpdl {

inline constexpr std::int64_t kMinPieceSize = 16 * 1024;
inline constexpr std::int64_t kMaxPieceSize = 16 * 1024 * 1024;
// The largest file the engine downloads: 1 TiB. Installers are a few GiB at most, so no real
// answer comes near it, while an announced size is what the engine sizes its records by: at
// this bound a file has at most 2^26 pieces of the smallest size (an 8 MiB bitmap) and 65536
// of the size the engine picks itself (an 8 KiB bitmap), and every piece count and bitmap
// length fits a 32-bit size_t with room to spare. Sizes above it are refused as malformed.
inline constexpr std::int64_t kMaxFileSize = std::int64_t{1} << 40;
// The longest state file that is read: a record holds a bitfield of at most 8 MiB (a file of
// kMaxFileSize in pieces of kMinPieceSize) and two addresses. A longer file is no record of
// this engine, and its length is never narrowed to a size_t.
inline constexpr std::int64_t kMaxStateFileBytes = 16 * 1024 * 1024;

struct download_state {
  std::int64_t file_size = 0;
  std::string final_url;      // composed with all its parts
  std::string requested_url;  // the address the download was started with; empty in older files
  std::int64_t piece_size = 0;
  std::int64_t piece_num = 0;
  std::string bitfield;       // raw bytes
};

std::string encode_download_state(const download_state& state);

// Decodes one bencoded dictionary; undecodable text, trailing bytes, a missing key or a wrong
// type give the engine error invalid_entry_type. "requested_url" is optional.
boost::system::error_code decode_download_state(std::string_view bytes, download_state& state);

// True when the record is self-consistent: file_size in 0..kMaxFileSize, piece_size in
// 16 KiB..16 MiB, piece_num == ceil(file_size / piece_size), bitfield.size() == ceil(piece_num / 8).
bool is_consistent(const download_state& state);

}  // namespace httpdl
