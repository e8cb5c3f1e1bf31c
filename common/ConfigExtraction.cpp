#include "common/ConfigExtraction.h"

#include <string_view>
#include <vector>

#include "common/FileOps.h"
#include "common/PathText.h"
#include "log/Logger.h"
#include "skin_ui/ResourceArchive.h"

namespace {

// A folder that cannot be made shows again as the files that cannot be written into it.
void CreateFolder(const std::wstring& folder) {
  if (const fileops::Failure failure = fileops::CreateFolders(folder)) {
    LOG_INFOW(L"LoadResZipFile: cannot create the folder %s: %S", folder.c_str(), failure.text.c_str());
  }
}

}  // namespace

bool IsSafeEntryName(std::wstring_view name) {
  if (name.empty() || pathtext::IsSeparator(name.front())) return false;
  if (name.find(L':') != std::wstring_view::npos) return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = start;
    while (end < name.size() && !pathtext::IsSeparator(name[end])) ++end;
    if (name.substr(start, end - start) == L"..") return false;
    start = end + 1;
  }
  return true;
}

ExtractionResult ExtractArchive(const void* data, uint32_t size, const std::wstring& targetFolder) {
  using namespace SkinUI;
  ExtractionResult result;
  CreateFolder(targetFolder);
  ArchiveHandle archive = OpenArchive(data, size, kArchiveSourceMemory);
  if (!archive) {
    LOG_INFO("LoadResZipFile: the archive cannot be opened (0x%x)", static_cast<unsigned>(LastArchiveResult()));
    return result;
  }
  result.opened = true;
  ArchiveEntry entry;
  DescribeEntry(archive, -1, &entry);
  const int count = entry.index;
  for (int index = 0; index < count; ++index) {
    if (const uint32_t code = DescribeEntry(archive, index, &entry)) {
      LOG_INFO("LoadResZipFile: entry %d cannot be read (0x%x)", index, static_cast<unsigned>(code));
      ++result.skipped;
      continue;
    }
    const std::wstring name = entry.name;
    if (!IsSafeEntryName(name)) {
      LOG_INFOW(L"LoadResZipFile: skipped %s, its name leaves the target folder", name.c_str());
      ++result.skipped;
      continue;
    }
    const std::wstring path = targetFolder + pathtext::NormalizeSeparators(name);
    if (entry.uncompressedSize <= 0) {
      CreateFolder(path);
      ++result.folders;
      continue;
    }
    // Complete means: one call fills the buffer and the next finds nothing left.
    std::vector<char> bytes(static_cast<size_t>(entry.uncompressedSize));
    const uint32_t first = InflateEntry(archive, index, bytes.data(), static_cast<uint32_t>(bytes.size()),
                                        kArchiveSourceMemory);
    char probe = 0;
    const uint32_t second = first == kArchiveMoreData ? InflateEntry(archive, index, &probe, 1, kArchiveSourceMemory)
                                                      : first;
    if (first != kArchiveMoreData || second != kArchiveOk) {
      LOG_INFOW(L"LoadResZipFile: skipped %s, its data is incomplete (0x%x)", name.c_str(),
                static_cast<unsigned>(first != kArchiveMoreData ? first : second));
      ++result.skipped;
      continue;
    }
    // Another setup, or a test beside this one, may be reading these files: one that already
    // holds these bytes stays as it is, and a changed one is replaced whole, never truncated.
    const std::string_view content(bytes.data(), bytes.size());
    std::string existing;
    if (!fileops::ReadWholeFile(path, existing, content.size()) && existing == content) {
      ++result.files;
      continue;
    }
    if (const fileops::Failure failure = fileops::ReplaceWholeFile(path, content)) {
      LOG_INFOW(L"LoadResZipFile: cannot write %s: %S", path.c_str(), failure.text.c_str());
      ++result.skipped;
      continue;
    }
    ++result.files;
  }
  CloseArchive(archive);
  return result;
}
