#include "Window/flow/InstallPathCheck.h"

#include <iterator>

#include "common/Encoding.h"
#include "common/PathText.h"
#include "installer/PathProbe.h"
#include "log/Logger.h"

namespace {

bool IsLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// Characters Windows refuses in file and folder names.
bool IsForbiddenInName(wchar_t c) { return c < 0x20 || std::wstring_view(L"<>:\"|?*").find(c) != std::wstring_view::npos; }

// The end of the name starting at `from`: the next separator or the end of the text.
std::size_t NameEnd(std::wstring_view path, std::size_t from) {
  std::size_t end = from;
  while (end < path.size() && !pathtext::IsSeparator(path[end])) ++end;
  return end;
}

// The deepest folder of `path` (which ends in a separator) that exists, with its final
// separator. Nothing when a file stands where a folder belongs or not even the root exists.
std::optional<std::wstring> DeepestExistingFolder(const std::wstring& path, std::size_t rootLength,
                                                  PathRefusal& refusal) {
  std::wstring folder = path;
  for (;;) {
    // Roots are asked about with their separator ("C:\"; "C:" would be the current folder).
    std::wstring asked = folder;
    while (asked.size() > rootLength && pathtext::IsSeparator(asked.back())) asked.pop_back();
    switch (ProbePath(asked)) {
      case PathKind::kFolder:
        return folder;
      case PathKind::kOther:
        refusal = PathRefusal::kFileInTheWay;
        return std::nullopt;
      case PathKind::kMissing:
        break;
    }
    if (asked.size() <= rootLength) {
      refusal = PathRefusal::kNotUsable;
      return std::nullopt;
    }
    folder = asked.substr(0, asked.find_last_of(L"\\/") + 1);
  }
}

InstallPathCheck Refuse(std::wstring path, PathRefusal refusal) {
  LOG_INFOW(L"install path refused: %S: %s", DescribePathRefusal(refusal), path.c_str());
  return {std::move(path), refusal};
}

}  // namespace

std::optional<std::wstring> AdmitPathLength(std::wstring_view text) {
  std::wstring path(text);
  if (path.empty() || !pathtext::IsSeparator(path.back())) path += pathtext::kSeparator;
  if (path.size() > kMaxInstallPathLength) return std::nullopt;
  return path;
}

const char* DescribePathRefusal(PathRefusal refusal) {
  static constexpr const char* kTexts[] = {
      "accepted",
      "longer than 259 characters with its final separator",
      "not a full path",
      "a character no folder name may hold",
      "its drive or parent folder does not exist",
      "a file stands where a folder belongs",
      "its deepest existing folder refuses new files",
  };
  static_assert(std::size(kTexts) == static_cast<std::size_t>(PathRefusal::kNotWritable) + 1);
  return kTexts[static_cast<std::size_t>(refusal)];
}

std::size_t PathRootLength(std::wstring_view path) {
  if constexpr (pathtext::kSeparator == L'\\') {
    if (path.size() >= 3 && IsLetter(path[0]) && path[1] == L':' && pathtext::IsSeparator(path[2])) return 3;
    if (path.size() >= 2 && pathtext::IsSeparator(path[0]) && pathtext::IsSeparator(path[1])) {
      const std::size_t serverEnd = NameEnd(path, 2);
      if (serverEnd == 2 || serverEnd >= path.size()) return 0;
      const std::size_t shareEnd = NameEnd(path, serverEnd + 1);
      if (shareEnd == serverEnd + 1) return 0;
      return shareEnd < path.size() ? shareEnd + 1 : shareEnd;
    }
    return 0;
  } else {
    return !path.empty() && path[0] == L'/' ? 1 : 0;
  }
}

InstallPathCheck CheckInstallPath(std::wstring_view text) {
  // Nothing typed is no path, even where a lone separator would name a root.
  if (text.empty()) return Refuse(std::wstring(), PathRefusal::kNotFullPath);
  const std::optional<std::wstring> admitted = AdmitPathLength(text);
  if (!admitted) return Refuse(std::wstring(text), PathRefusal::kTooLong);
  const std::wstring& path = *admitted;
  const std::size_t rootLength = PathRootLength(path);
  if (rootLength == 0) return Refuse(path, PathRefusal::kNotFullPath);
  for (std::size_t i = rootLength; i < path.size(); ++i) {
    if (IsForbiddenInName(path[i])) return Refuse(path, PathRefusal::kInvalidName);
  }
  if (!IsPathUsable(path)) return Refuse(path, PathRefusal::kNotUsable);
  PathRefusal refusal = PathRefusal::kNone;
  const std::optional<std::wstring> existing = DeepestExistingFolder(path, rootLength, refusal);
  if (!existing) return Refuse(path, refusal);
  if (!FolderAcceptsNewFile(*existing)) return Refuse(path, PathRefusal::kNotWritable);
  return {path, PathRefusal::kNone};
}
