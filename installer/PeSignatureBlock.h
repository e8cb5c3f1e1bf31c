#pragma once
// Where the Authenticode signature block of a program file sits. The system accepts bytes after
// the block unless an option is set, and those bytes are covered by no signature; a downloaded
// installer whose block does not end the file is refused.

#include <cstddef>
#include <cstdint>
#include <span>

enum class PeSignatureLayout {
  kNotAProgram,           // no PE image headers in the file's first bytes, or a table past its end
  kUnsigned,              // a program without a certificate table
  kBytesAfterSignature,   // the certificate table does not end the file
  kSignatureEndsTheFile,
};

// How many of the file's first bytes the layout is read from; headers further in are refused.
inline constexpr std::size_t kPeHeadBytes = 4096;

// `head` is the start of the file (up to kPeHeadBytes), `fileSize` its whole size. Every offset
// is checked against what is there before it is read.
PeSignatureLayout ReadPeSignatureLayout(std::span<const std::uint8_t> head, std::uint64_t fileSize);
