#include "common/FileOps.h"

#include <vector>

#include "common/PathText.h"

namespace fileops {

namespace {

// Fills `bytes` with up to `count` bytes; fewer only when the file ends first (it may have
// shrunk since its size was asked).
Failure ReadUpTo(platform::ReadingFile& file, std::size_t count, std::string& bytes) {
  bytes.resize(count);
  std::size_t filled = 0;
  while (filled < count) {
    std::size_t got = 0;
    if (Failure failure = file.Read(bytes.data() + filled, count - filled, got)) {
      bytes.clear();
      return failure;
    }
    if (got == 0) break;
    filled += got;
  }
  bytes.resize(filled);
  return {};
}

ReadFailure AtStep(ReadStep step, Failure failure) {
  ReadFailure out;
  static_cast<Failure&>(out) = std::move(failure);
  out.step = step;
  return out;
}

}  // namespace

ReadFailure ReadWholeFile(const std::wstring& path, std::string& bytes, std::uint64_t limit) {
  bytes.clear();
  platform::ReadingFile file;
  if (Failure failure = file.Open(path)) return AtStep(ReadStep::kOpen, std::move(failure));
  std::uint64_t size = 0;
  if (Failure failure = file.Size(size)) return AtStep(ReadStep::kSize, std::move(failure));
  if (size > limit || size > std::numeric_limits<std::size_t>::max()) {
    return AtStep(ReadStep::kTooLarge, {std::to_string(size) + " bytes, more than " + std::to_string(limit)});
  }
  if (Failure failure = ReadUpTo(file, static_cast<std::size_t>(size), bytes)) {
    return AtStep(ReadStep::kRead, std::move(failure));
  }
  return {};
}

Failure ReadFileStart(const std::wstring& path, std::size_t count, std::string& bytes) {
  bytes.clear();
  platform::ReadingFile file;
  if (Failure failure = file.Open(path)) return failure;
  return ReadUpTo(file, count, bytes);
}

Failure ReplaceWholeFile(const std::wstring& path, std::string_view bytes) {
  const std::wstring partial = path + L"." + std::to_wstring(platform::ProcessId()) + L".part";
  Failure failure = WriteWholeFile(partial, bytes);
  if (!failure) failure = RenameReplacing(partial, path);
  if (failure) RemoveFile(partial);  // the failure reported is the write's or the rename's
  return failure;
}

Failure CreateFolders(std::wstring_view folder) {
  while (!folder.empty() && pathtext::IsSeparator(folder.back())) folder.remove_suffix(1);
  if (folder.empty()) return {"an empty folder path"};
  // Where each folder of the path ends; a root ("/", "C:", "\\server\share") counts as one, and
  // always exists or can never be created, so it is found by looking, not by creating.
  std::vector<size_t> ends;
  for (size_t i = 1; i < folder.size(); ++i) {
    if (pathtext::IsSeparator(folder[i]) && !pathtext::IsSeparator(folder[i - 1])) ends.push_back(i);
  }
  ends.push_back(folder.size());
  // Walk up to the deepest folder that exists, then create the rest downwards; the first refusal
  // is the reason, not the "path not found" every folder below it would add.
  size_t missing = ends.size();
  while (missing > 0 && !platform::IsFolder(std::wstring(folder.substr(0, ends[missing - 1])))) --missing;
  for (size_t i = missing; i < ends.size(); ++i) {
    if (Failure failure = platform::CreateFolder(std::wstring(folder.substr(0, ends[i])))) return failure;
  }
  return {};
}

}  // namespace fileops
