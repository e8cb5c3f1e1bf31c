#include "installer/PeSignatureBlock.h"

namespace {

std::uint32_t Read16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t Read32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return Read16(bytes, at) | Read16(bytes, at + 2) << 16;
}

constexpr std::size_t kNewHeaderOffsetAt = 0x3C;
constexpr std::size_t kFileHeaderSize = 20;
constexpr std::size_t kOptionalHeaderSizeAt = 16;  // in the file header
constexpr std::uint32_t kPe32Magic = 0x10B;
constexpr std::uint32_t kPe32PlusMagic = 0x20B;
// Where the data directories start in the optional header, and their count before them.
constexpr std::size_t kDirectoriesAt32 = 96;
constexpr std::size_t kDirectoriesAt64 = 112;
constexpr std::size_t kSecurityDirectory = 4;
constexpr std::size_t kDirectoryEntrySize = 8;

}  // namespace

PeSignatureLayout ReadPeSignatureLayout(std::span<const std::uint8_t> head, std::uint64_t fileSize) {
  if (head.size() > fileSize) return PeSignatureLayout::kNotAProgram;
  if (head.size() < kNewHeaderOffsetAt + 4 || head[0] != 'M' || head[1] != 'Z') return PeSignatureLayout::kNotAProgram;
  const std::size_t pe = Read32(head, kNewHeaderOffsetAt);
  const std::size_t optional = pe + 4 + kFileHeaderSize;
  if (pe > head.size() || head.size() - pe < 4 + kFileHeaderSize + 2) return PeSignatureLayout::kNotAProgram;
  if (head[pe] != 'P' || head[pe + 1] != 'E' || head[pe + 2] != 0 || head[pe + 3] != 0)
    return PeSignatureLayout::kNotAProgram;
  const std::size_t optionalSize = Read16(head, pe + 4 + kOptionalHeaderSizeAt);
  if (optionalSize > head.size() - optional) return PeSignatureLayout::kNotAProgram;

  const std::uint32_t magic = Read16(head, optional);
  std::size_t directories = 0;
  if (magic == kPe32Magic) {
    directories = kDirectoriesAt32;
  } else if (magic == kPe32PlusMagic) {
    directories = kDirectoriesAt64;
  } else {
    return PeSignatureLayout::kNotAProgram;
  }
  if (optionalSize < directories) return PeSignatureLayout::kNotAProgram;
  // The count of directories is the header's last field before them.
  const std::uint32_t count = Read32(head, optional + directories - 4);
  const std::size_t security = directories + kSecurityDirectory * kDirectoryEntrySize;
  if (count <= kSecurityDirectory || optionalSize < security + kDirectoryEntrySize) return PeSignatureLayout::kUnsigned;

  const std::uint64_t offset = Read32(head, optional + security);
  const std::uint64_t size = Read32(head, optional + security + 4);
  if (offset == 0 || size == 0) return PeSignatureLayout::kUnsigned;
  if (offset + size > fileSize) return PeSignatureLayout::kNotAProgram;
  return offset + size == fileSize ? PeSignatureLayout::kSignatureEndsTheFile : PeSignatureLayout::kBytesAfterSignature;
}
