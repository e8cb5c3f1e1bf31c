#include "common/FileOps.h"

#include <vector>

#include "common/PathText.h"

namespace fileops {

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
