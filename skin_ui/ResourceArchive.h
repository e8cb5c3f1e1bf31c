#pragma once
// Reader of the ZIP archives the executable carries (configuration and skin): opens an archive
// held in memory, describes its entries, finds one by name and inflates one into memory in
// chunks. Every operation returns a result code and never raises; nothing is read outside the
// buffer, whatever the archive claims.

#include <cstdint>

namespace SkinUI {

enum ArchiveResult : uint32_t {
  kArchiveOk = 0,
  kArchiveNotFound = 0x500,
  kArchiveMoreData = 0x600,
  kArchiveCorrupt = 0x700,
  kArchiveReadFailure = 0x800,
  kArchiveBadArguments = 0x10000,
  kArchiveNotAnArchive = 0x80000,
  kArchiveAlreadyOpen = 0x1000000,
  kArchiveNotADiskFile = 0x2000000,
  kArchiveInflateFailure = 0x5000000,
};

// Where an archive comes from. Only memory buffers are supported; the other kinds are refused
// with kArchiveBadArguments.
enum ArchiveSourceKind : int {
  kArchiveSourceOpenFile = 1,
  kArchiveSourceFileName = 2,
  kArchiveSourceMemory = 3,
};

enum ArchiveAttribute : uint32_t {
  kArchiveAttrReadOnly = 0x01,
  kArchiveAttrHidden = 0x02,
  kArchiveAttrSystem = 0x04,
  kArchiveAttrFolder = 0x10,
  kArchiveAttrArchive = 0x20,
  kArchiveAttrNormal = 0x80,
};

inline constexpr int kArchiveMaxName = 260;  // 259 characters and the terminator

struct ArchiveEntry {
  int32_t index = -1;  // for the request with index -1: the number of entries
  wchar_t name[kArchiveMaxName] = {};
  uint32_t attributes = 0;
  // File times: 100-nanosecond intervals since 1601-01-01.
  uint64_t accessTime = 0;
  uint64_t creationTime = 0;
  uint64_t modificationTime = 0;
  int32_t compressedSize = 0;
  int32_t uncompressedSize = 0;
};

struct Archive;
using ArchiveHandle = Archive*;

// `source` must stay alive and unchanged while the archive is open. Null on failure, with the
// reason in LastArchiveResult().
ArchiveHandle OpenArchive(const void* source, uint32_t size, int kind);
uint32_t CloseArchive(ArchiveHandle archive);
// Index -1 gives the number of entries in entry->index.
uint32_t DescribeEntry(ArchiveHandle archive, int index, ArchiveEntry* entry);
// Names of more than 255 characters are never found; '\' and '/' are alike; ignoreCase folds
// the ASCII letters only.
uint32_t FindEntry(ArchiveHandle archive, const wchar_t* name, bool ignoreCase, int* index, ArchiveEntry* entry);
// Delivers up to `size` further bytes of the entry into `target` (kind: kArchiveSourceMemory):
// kArchiveMoreData when it delivered any, kArchiveOk once nothing is left (the entry is then
// finished). A call for another index abandons the entry in progress.
uint32_t InflateEntry(ArchiveHandle archive, int index, void* target, uint32_t size, int kind);
// The result of the last operation of any archive in the process.
uint32_t LastArchiveResult();

}  // namespace SkinUI
