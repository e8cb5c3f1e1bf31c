#include "skin_ui/ResourceArchive.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "common/Encoding.h"

namespace SkinUI {

namespace {

constexpr uint32_t kEndOfDirectorySignature = 0x06054b50;
constexpr uint32_t kDirectoryRecordSignature = 0x02014b50;
constexpr uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr size_t kEndOfDirectorySize = 22;
constexpr size_t kDirectoryRecordSize = 46;
constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kMaxCommentSize = 0xFFFF;
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;
constexpr uint16_t kExtendedTimestampTag = 0x5455;
constexpr uint32_t kUnixFolderBit = 0x40000000;
constexpr size_t kMaxLookupName = 255;
constexpr size_t kInputChunk = 16384;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr uint64_t kUnixEpochInFileTimeSeconds = 11644473600ull;

std::atomic<uint32_t> g_lastResult{kArchiveOk};

uint32_t Report(uint32_t result) {
  g_lastResult = result;
  return result;
}

// Little-endian reads inside a span of bytes; every read is checked against the span.
class ByteView {
 public:
  ByteView(const unsigned char* data, size_t size) : data_(data), size_(size) {}
  size_t size() const { return size_; }
  bool Has(size_t offset, size_t count) const { return offset <= size_ && count <= size_ - offset; }
  uint16_t U16(size_t offset) const { return static_cast<uint16_t>(data_[offset] | data_[offset + 1] << 8); }
  uint32_t U32(size_t offset) const {
    return static_cast<uint32_t>(data_[offset]) | static_cast<uint32_t>(data_[offset + 1]) << 8 |
           static_cast<uint32_t>(data_[offset + 2]) << 16 | static_cast<uint32_t>(data_[offset + 3]) << 24;
  }
  const unsigned char* At(size_t offset) const { return data_ + offset; }

 private:
  const unsigned char* data_;
  size_t size_;
};

struct DirectoryRecord {
  uint16_t flags = 0;
  uint16_t method = 0;
  uint16_t dosTime = 0;
  uint16_t dosDate = 0;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  uint32_t externalAttributes = 0;
  uint32_t localHeaderOffset = 0;
  std::string_view name;
  std::string_view extra;
  size_t nextOffset = 0;
};

// Converts a DOS date and time (no time zone) to a file time of the same calendar moment.
uint64_t DosToFileTime(uint16_t date, uint16_t time) {
  int year = 1980 + (date >> 9);
  const int month = std::clamp((date >> 5) & 0x0F, 1, 12);
  const int day = std::clamp(date & 0x1F, 1, 31);
  const int hour = (time >> 11) & 0x1F;
  const int minute = (time >> 5) & 0x3F;
  const int second = (time & 0x1F) * 2;
  // Days from 1970-01-01 (civil calendar algorithm).
  year -= month <= 2;
  const int era = year / 400;
  const int yearOfEra = year - era * 400;
  const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  const int64_t days = static_cast<int64_t>(era) * 146097 + dayOfEra - 719468;
  const int64_t seconds = days * 86400 + hour * 3600 + minute * 60 + second;
  return (static_cast<uint64_t>(seconds) + kUnixEpochInFileTimeSeconds) * 10000000ull;
}

uint64_t UnixToFileTime(uint32_t seconds) {
  return (static_cast<uint64_t>(seconds) + kUnixEpochInFileTimeSeconds) * 10000000ull;
}

}  // namespace

struct Archive {
  ByteView bytes;
  uint32_t entryCount = 0;
  size_t directoryStart = 0;
  size_t directoryEnd = 0;
  // Offsets of the directory records found so far, so walking back never starts over.
  std::vector<size_t> recordOffsets;

  int describedIndex = -1;
  ArchiveEntry described;

  int inflatingIndex = -1;
  struct Inflation {
    uint16_t method = 0;
    size_t dataOffset = 0;
    size_t compressedLeft = 0;
    size_t uncompressedLeft = 0;
    bool zlibReady = false;
    z_stream zlib{};
  } inflation;

  explicit Archive(ByteView view) : bytes(view) {}
  ~Archive() { EndInflation(); }

  void EndInflation() {
    if (inflation.zlibReady) inflateEnd(&inflation.zlib);
    inflation = Inflation();
    inflatingIndex = -1;
  }

  uint32_t ReadRecord(size_t offset, DirectoryRecord& record) const {
    if (offset < directoryStart || !bytes.Has(offset, kDirectoryRecordSize) ||
        offset + kDirectoryRecordSize > directoryEnd) {
      return kArchiveCorrupt;
    }
    if (bytes.U32(offset) != kDirectoryRecordSignature) return kArchiveCorrupt;
    record.flags = bytes.U16(offset + 8);
    record.method = bytes.U16(offset + 10);
    record.dosTime = bytes.U16(offset + 12);
    record.dosDate = bytes.U16(offset + 14);
    record.compressedSize = bytes.U32(offset + 20);
    record.uncompressedSize = bytes.U32(offset + 24);
    const size_t nameLength = bytes.U16(offset + 28);
    const size_t extraLength = bytes.U16(offset + 30);
    const size_t commentLength = bytes.U16(offset + 32);
    record.externalAttributes = bytes.U32(offset + 38);
    record.localHeaderOffset = bytes.U32(offset + 42);
    const size_t variable = nameLength + extraLength + commentLength;
    if (offset + kDirectoryRecordSize + variable > directoryEnd) return kArchiveCorrupt;
    const auto* text = reinterpret_cast<const char*>(bytes.At(offset + kDirectoryRecordSize));
    record.name = std::string_view(text, nameLength);
    record.extra = std::string_view(text + nameLength, extraLength);
    record.nextOffset = offset + kDirectoryRecordSize + variable;
    return kArchiveOk;
  }

  // The record of entry `index`, walking the directory as far as needed.
  uint32_t RecordAt(int index, DirectoryRecord& record) {
    if (index < 0 || static_cast<uint32_t>(index) >= entryCount) return kArchiveBadArguments;
    if (recordOffsets.empty()) recordOffsets.push_back(directoryStart);
    while (recordOffsets.size() <= static_cast<size_t>(index)) {
      DirectoryRecord previous;
      if (const uint32_t result = ReadRecord(recordOffsets.back(), previous)) return result;
      recordOffsets.push_back(previous.nextOffset);
    }
    return ReadRecord(recordOffsets[static_cast<size_t>(index)], record);
  }
};

namespace {

std::mutex g_handlesLock;
std::unordered_set<const Archive*>& LiveHandles() {
  static auto* handles = new std::unordered_set<const Archive*>;
  return *handles;
}

bool IsLive(const Archive* archive) {
  std::lock_guard<std::mutex> lock(g_handlesLock);
  return LiveHandles().count(archive) != 0;
}

// Checks a handle without touching memory it does not own.
uint32_t CheckHandle(const Archive* archive) {
  if (!archive) return kArchiveBadArguments;
  if (!IsLive(archive)) return kArchiveNotAnArchive;
  return kArchiveOk;
}

bool IsFolder(const DirectoryRecord& record) {
  return (record.externalAttributes & kArchiveAttrFolder) || (record.externalAttributes & kUnixFolderBit);
}

uint32_t AttributesOf(const DirectoryRecord& record) {
  // The low byte of the external attributes carries the DOS attributes when the archive was
  // made on a system that has them; a Unix-made folder carries only the Unix folder bit.
  uint32_t attributes = record.externalAttributes & (kArchiveAttrReadOnly | kArchiveAttrHidden |
                                                     kArchiveAttrSystem | kArchiveAttrFolder | kArchiveAttrArchive);
  if (IsFolder(record)) attributes |= kArchiveAttrFolder;
  if (attributes == 0) attributes = kArchiveAttrNormal;
  return attributes;
}

void ApplyExtendedTimestamp(std::string_view extra, ArchiveEntry& entry) {
  const ByteView view(reinterpret_cast<const unsigned char*>(extra.data()), extra.size());
  size_t offset = 0;
  while (view.Has(offset, 4)) {
    const uint16_t tag = view.U16(offset);
    const size_t length = view.U16(offset + 2);
    const size_t body = offset + 4;
    if (!view.Has(body, length)) return;
    if (tag == kExtendedTimestampTag && length >= 1) {
      const unsigned char flags = *view.At(body);
      size_t field = body + 1;
      const size_t end = body + length;
      // Present times follow in the order modification, access, creation.
      uint64_t* targets[] = {&entry.modificationTime, &entry.accessTime, &entry.creationTime};
      for (int bit = 0; bit < 3; ++bit) {
        if (!(flags & (1 << bit))) continue;
        if (field + 4 > end) break;
        *targets[bit] = UnixToFileTime(view.U32(field));
        field += 4;
      }
    }
    offset = body + length;
  }
}

void Describe(const DirectoryRecord& record, int index, ArchiveEntry& entry) {
  entry = ArchiveEntry();
  entry.index = index;
  const std::wstring name = encoding::AnsiToWide(record.name);
  const size_t length = std::min(name.size(), static_cast<size_t>(kArchiveMaxName - 1));
  std::copy_n(name.begin(), length, entry.name);
  entry.name[length] = L'\0';
  entry.attributes = AttributesOf(record);
  entry.modificationTime = entry.accessTime = entry.creationTime = DosToFileTime(record.dosDate, record.dosTime);
  ApplyExtendedTimestamp(record.extra, entry);
  entry.compressedSize = static_cast<int32_t>(record.compressedSize);
  entry.uncompressedSize = IsFolder(record) ? 0 : static_cast<int32_t>(record.uncompressedSize);
}

bool NamesMatch(std::string_view stored, std::string_view wanted, bool ignoreCase) {
  if (stored.size() != wanted.size()) return false;
  for (size_t i = 0; i < stored.size(); ++i) {
    char a = stored[i];
    char b = wanted[i];
    if (ignoreCase) {
      if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
      if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    }
    if (a != b) return false;
  }
  return true;
}

// Checks the local header against the directory record and prepares the entry for reading.
uint32_t BeginInflation(Archive& archive, int index) {
  DirectoryRecord record;
  if (const uint32_t result = archive.RecordAt(index, record)) return result;
  const ByteView& bytes = archive.bytes;
  const size_t local = record.localHeaderOffset;
  if (!bytes.Has(local, kLocalHeaderSize)) return kArchiveReadFailure;
  if (bytes.U32(local) != kLocalHeaderSignature) return kArchiveCorrupt;
  const uint16_t localFlags = bytes.U16(local + 6);
  const uint16_t method = bytes.U16(local + 8);
  const uint32_t compressed = bytes.U32(local + 18);
  const uint32_t uncompressed = bytes.U32(local + 22);
  const size_t nameLength = bytes.U16(local + 26);
  const size_t extraLength = bytes.U16(local + 28);
  // With a data descriptor (flag bit 3) the local sizes may be zero; otherwise they must agree.
  const bool sizesDeferred = (localFlags & 0x08) && compressed == 0 && uncompressed == 0;
  if (method != record.method || nameLength != record.name.size() ||
      (!sizesDeferred && (compressed != record.compressedSize || uncompressed != record.uncompressedSize))) {
    return kArchiveCorrupt;
  }
  if (method != kMethodStored && method != kMethodDeflated) return kArchiveCorrupt;
  if (method == kMethodStored && record.compressedSize != record.uncompressedSize) return kArchiveCorrupt;
  const size_t dataOffset = local + kLocalHeaderSize + nameLength + extraLength;
  if (!bytes.Has(dataOffset, record.compressedSize)) return kArchiveReadFailure;

  archive.EndInflation();
  auto& inflation = archive.inflation;
  inflation.method = method;
  inflation.dataOffset = dataOffset;
  inflation.compressedLeft = record.compressedSize;
  inflation.uncompressedLeft = IsFolder(record) ? 0 : record.uncompressedSize;
  if (method == kMethodDeflated) {
    if (inflateInit2(&inflation.zlib, -MAX_WBITS) != Z_OK) return kArchiveInflateFailure;
    inflation.zlibReady = true;
  }
  archive.inflatingIndex = index;
  return kArchiveOk;
}

// Copies or inflates up to `capacity` further bytes; `produced` says how many.
uint32_t ContinueInflation(Archive& archive, unsigned char* target, size_t capacity, size_t& produced) {
  auto& inflation = archive.inflation;
  produced = 0;
  const size_t wanted = std::min(capacity, inflation.uncompressedLeft);
  if (inflation.method == kMethodStored) {
    std::memcpy(target, archive.bytes.At(inflation.dataOffset), wanted);
    inflation.dataOffset += wanted;
    inflation.compressedLeft -= wanted;
    produced = wanted;
  } else {
    z_stream& zlib = inflation.zlib;
    while (produced < wanted) {
      const size_t input = std::min(inflation.compressedLeft, kInputChunk);
      zlib.next_in = const_cast<Bytef*>(archive.bytes.At(inflation.dataOffset));
      zlib.avail_in = static_cast<uInt>(input);
      zlib.next_out = target + produced;
      zlib.avail_out = static_cast<uInt>(std::min<size_t>(wanted - produced, 0x40000000));
      const int status = inflate(&zlib, Z_NO_FLUSH);
      const size_t consumed = input - zlib.avail_in;
      const size_t out = static_cast<size_t>(zlib.next_out - (target + produced));
      inflation.dataOffset += consumed;
      inflation.compressedLeft -= consumed;
      produced += out;
      if (status == Z_STREAM_END) {
        // The stream may not end before the size the directory announced.
        if (produced < wanted) return kArchiveInflateFailure;
        break;
      }
      if (status != Z_OK && status != Z_BUF_ERROR) return kArchiveInflateFailure;
      if (out == 0 && consumed == 0) return kArchiveInflateFailure;  // input exhausted, stream unfinished
    }
  }
  inflation.uncompressedLeft -= produced;
  return kArchiveOk;
}

}  // namespace

ArchiveHandle OpenArchive(const void* source, uint32_t size, int kind) {
  if (kind != kArchiveSourceMemory || !source) {
    Report(kArchiveBadArguments);
    return nullptr;
  }
  const ByteView bytes(static_cast<const unsigned char*>(source), size);
  if (size < kEndOfDirectorySize) {
    Report(kArchiveCorrupt);
    return nullptr;
  }
  // The end record sits at the very end, followed only by the archive comment.
  const size_t last = size - kEndOfDirectorySize;
  const size_t first = last > kMaxCommentSize ? last - kMaxCommentSize : 0;
  std::optional<size_t> endRecord;
  for (size_t offset = last + 1; offset-- > first;) {
    if (bytes.U32(offset) == kEndOfDirectorySignature &&
        offset + kEndOfDirectorySize + bytes.U16(offset + 20) <= size) {
      endRecord = offset;
      break;
    }
  }
  if (!endRecord) {
    Report(kArchiveCorrupt);
    return nullptr;
  }
  const uint32_t directorySize = bytes.U32(*endRecord + 12);
  const uint32_t directoryStart = bytes.U32(*endRecord + 16);
  if (!bytes.Has(directoryStart, directorySize) || directoryStart + size_t{directorySize} > *endRecord) {
    Report(kArchiveReadFailure);
    return nullptr;
  }
  auto archive = std::make_unique<Archive>(bytes);
  archive->entryCount = bytes.U16(*endRecord + 10);
  archive->directoryStart = directoryStart;
  archive->directoryEnd = directoryStart + size_t{directorySize};
  {
    std::lock_guard<std::mutex> lock(g_handlesLock);
    LiveHandles().insert(archive.get());
  }
  Report(kArchiveOk);
  return archive.release();
}

uint32_t CloseArchive(ArchiveHandle archive) {
  if (const uint32_t result = CheckHandle(archive)) return Report(result);
  {
    std::lock_guard<std::mutex> lock(g_handlesLock);
    LiveHandles().erase(archive);
  }
  delete archive;
  return Report(kArchiveOk);
}

uint32_t DescribeEntry(ArchiveHandle archive, int index, ArchiveEntry* entry) {
  if (const uint32_t result = CheckHandle(archive)) return Report(result);
  if (!entry || index < -1) return Report(kArchiveBadArguments);
  if (index == -1) {
    *entry = ArchiveEntry();
    entry->index = static_cast<int32_t>(archive->entryCount);
    return Report(kArchiveOk);
  }
  if (index == archive->describedIndex) {
    *entry = archive->described;
    return Report(kArchiveOk);
  }
  DirectoryRecord record;
  if (const uint32_t result = archive->RecordAt(index, record)) return Report(result);
  Describe(record, index, archive->described);
  archive->describedIndex = index;
  *entry = archive->described;
  return Report(kArchiveOk);
}

uint32_t FindEntry(ArchiveHandle archive, const wchar_t* name, bool ignoreCase, int* index, ArchiveEntry* entry) {
  if (const uint32_t result = CheckHandle(archive)) return Report(result);
  if (!name || !index || !entry) return Report(kArchiveBadArguments);
  *index = -1;
  const std::wstring_view wide(name);
  if (wide.size() > kMaxLookupName) return Report(kArchiveNotFound);
  std::string wanted = encoding::WideToAnsi(wide);
  std::replace(wanted.begin(), wanted.end(), '\\', '/');
  for (uint32_t i = 0; i < archive->entryCount; ++i) {
    DirectoryRecord record;
    if (const uint32_t result = archive->RecordAt(static_cast<int>(i), record)) return Report(result);
    if (!NamesMatch(record.name, wanted, ignoreCase)) continue;
    *index = static_cast<int>(i);
    return DescribeEntry(archive, *index, entry);
  }
  return Report(kArchiveNotFound);
}

uint32_t InflateEntry(ArchiveHandle archive, int index, void* target, uint32_t size, int kind) {
  if (const uint32_t result = CheckHandle(archive)) return Report(result);
  if (kind != kArchiveSourceMemory || !target || size == 0 || index < 0 ||
      static_cast<uint32_t>(index) >= archive->entryCount) {
    return Report(kArchiveBadArguments);
  }
  if (index != archive->inflatingIndex) {
    if (const uint32_t result = BeginInflation(*archive, index)) {
      archive->EndInflation();
      return Report(result);
    }
  }
  size_t produced = 0;
  const uint32_t result = ContinueInflation(*archive, static_cast<unsigned char*>(target), size, produced);
  if (result != kArchiveOk) {
    archive->EndInflation();
    return Report(result);
  }
  if (produced == 0) {
    archive->EndInflation();
    return Report(kArchiveOk);
  }
  return Report(kArchiveMoreData);
}

uint32_t LastArchiveResult() { return g_lastResult; }

}  // namespace SkinUI
