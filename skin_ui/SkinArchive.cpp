#include "skin_ui/SkinArchive.h"

#include <cstdint>
#include <memory>

#include "common/FileOps.h"
#include "skin_ui/ResourceArchive.h"

namespace SkinUI {

namespace {

struct SkinSource {
  std::wstring resourcePath;
  std::wstring zipName;
  bool cached = true;
  ArchiveHandle archive = nullptr;
  // The bytes behind `archive` (or behind each lookup when not cached): the memory archive, or
  // the archive file read from disk.
  std::shared_ptr<const std::string> archiveBytes;
};

SkinSource& Source() {
  static SkinSource source;
  return source;
}

void CloseCachedArchive() {
  SkinSource& source = Source();
  if (source.archive) CloseArchive(source.archive);
  source.archive = nullptr;
}

// Whole file into `bytes`; the same error texts as a skin file read from disk.
bool ReadDiskFile(const std::wstring& path, std::string& bytes, std::wstring& error, uint64_t limit) {
  if (const fileops::ReadFailure failure = fileops::ReadWholeFile(path, bytes, limit)) {
    switch (failure.step) {
      case fileops::ReadStep::kOpen:
        error = L"Error opening file";
        break;
      case fileops::ReadStep::kTooLarge:
        error = L"File too large";
        break;
      case fileops::ReadStep::kSize:
      case fileops::ReadStep::kRead:
        error = L"Could not read file";
        break;
    }
    return false;
  }
  if (bytes.empty()) {
    error = L"File is empty";
    return false;
  }
  return true;
}

// Bytes of the archive named by the settings, for an uncached lookup or for caching.
std::shared_ptr<const std::string> ArchiveBytes() {
  SkinSource& source = Source();
  if (source.zipName == kSkinMemoryArchiveName) return source.archiveBytes;
  auto bytes = std::make_shared<std::string>();
  std::wstring ignored;
  // An archive file holds many skin files; its own size is limited only by the reader's 32 bits.
  if (!ReadDiskFile(source.resourcePath + source.zipName, *bytes, ignored, UINT32_MAX)) return nullptr;
  return bytes;
}

ArchiveHandle OpenBytes(const std::shared_ptr<const std::string>& bytes) {
  if (!bytes || bytes->empty()) return nullptr;
  return OpenArchive(bytes->data(), static_cast<uint32_t>(bytes->size()), kArchiveSourceMemory);
}

bool ReadFromArchive(ArchiveHandle archive, const wchar_t* fileName, std::string& bytes, std::wstring& error,
                     uint64_t limit) {
  int index = -1;
  ArchiveEntry entry;
  if (FindEntry(archive, fileName, true, &index, &entry) != kArchiveOk) {
    error = L"Could not find ziped file";
    return false;
  }
  if (entry.uncompressedSize <= 0) {
    error = L"File is empty";
    return false;
  }
  if (static_cast<uint64_t>(entry.uncompressedSize) > limit) {
    error = L"File too large";
    return false;
  }
  bytes.resize(static_cast<size_t>(entry.uncompressedSize));
  const uint32_t result = InflateEntry(archive, index, bytes.data(), static_cast<uint32_t>(bytes.size()),
                                       kArchiveSourceMemory);
  if (result != kArchiveOk && result != kArchiveMoreData) {
    error = L"Could not unzip file";
    return false;
  }
  // The reader keeps the entry in progress until a call finds nothing left; finish it here so
  // that the next lookup of the same file (a cached archive serves many) starts from its first
  // byte again.
  char rest[4096];
  while (InflateEntry(archive, index, rest, sizeof rest, kArchiveSourceMemory) == kArchiveMoreData) {
  }
  return true;
}

}  // namespace

void SetSkinResourcePath(const wchar_t* path) {
  std::wstring value = path ? path : L"";
  if (!value.empty() && value.back() != L'\\' && value.back() != L'/') value += L'\\';
  Source().resourcePath = value;
}

const std::wstring& GetSkinResourcePath() { return Source().resourcePath; }

void SetSkinArchiveCached(bool cached) {
  Source().cached = cached;
  if (!cached) CloseCachedArchive();
}

bool IsSkinArchiveCached() { return Source().cached; }

bool SetSkinArchiveFile(const wchar_t* zipName) {
  SkinSource& source = Source();
  CloseCachedArchive();
  source.zipName = zipName ? zipName : L"";
  source.archiveBytes.reset();
  if (source.zipName.empty() || !source.cached) return true;
  source.archiveBytes = ArchiveBytes();
  source.archive = OpenBytes(source.archiveBytes);
  return source.archive != nullptr;
}

bool SetSkinArchiveMemory(const void* bytes, size_t size) {
  SkinSource& source = Source();
  if (source.zipName == kSkinMemoryArchiveName) return true;
  if (!bytes || size == 0 || size > UINT32_MAX) return false;
  auto copy = std::make_shared<const std::string>(static_cast<const char*>(bytes), size);
  ArchiveHandle archive = OpenBytes(copy);
  if (!archive) return false;
  CloseCachedArchive();
  source.zipName = kSkinMemoryArchiveName;
  source.archiveBytes = copy;
  if (source.cached)
    source.archive = archive;
  else
    CloseArchive(archive);
  return true;
}

const std::wstring& GetSkinArchiveName() { return Source().zipName; }

bool ReadSkinFile(const wchar_t* fileName, std::string& bytes, std::wstring& error, uint64_t limit) {
  SkinSource& source = Source();
  const std::wstring name = fileName ? fileName : L"";
  if (source.zipName.empty()) return ReadDiskFile(source.resourcePath + name, bytes, error, limit);

  if (source.cached && source.archive) return ReadFromArchive(source.archive, name.c_str(), bytes, error, limit);
  const std::shared_ptr<const std::string> archiveBytes = ArchiveBytes();
  ArchiveHandle archive = OpenBytes(archiveBytes);
  if (!archive) {
    error = L"Error opening zip file";
    return false;
  }
  const bool ok = ReadFromArchive(archive, name.c_str(), bytes, error, limit);
  CloseArchive(archive);
  return ok;
}

bool ReadLocalFile(const wchar_t* path, std::string& bytes, std::wstring& error, uint64_t limit) {
  return ReadDiskFile(path ? path : L"", bytes, error, limit);
}

void ResetSkinSource() {
  CloseCachedArchive();
  SkinSource& source = Source();
  source = SkinSource{};
}

}  // namespace SkinUI
