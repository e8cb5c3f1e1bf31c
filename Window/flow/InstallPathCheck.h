#pragma once
// The one check an installation path passes before anything is started, shared by the setup
// window's Install button and the disk-space dialog's: it fits the 260-character path buffers
// with its final separator, names a folder on an existing drive and parent, and the deepest part
// of it that exists accepts new files.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Characters an installation path may have, its final separator included (MAX_PATH without the
// terminator).
inline constexpr std::size_t kMaxInstallPathLength = 259;

// The text with a final separator appended when it has none, or nothing when that is longer
// than kMaxInstallPathLength. Never cut.
std::optional<std::wstring> AdmitPathLength(std::wstring_view text);

enum class PathRefusal {
  kNone,
  kTooLong,
  kNotFullPath,   // no drive ("C:\") or network share ("\\server\share\") to start from
  kInvalidName,   // a character no file name may hold
  kNotUsable,     // the drive or a parent folder is missing
  kFileInTheWay,  // a part of the path names a file, not a folder
  kNotWritable,   // the deepest existing folder refuses new files
};

// What the log says about a refusal.
const char* DescribePathRefusal(PathRefusal refusal);

struct InstallPathCheck {
  // The path as the installation will use it (with its final separator); the text as typed
  // when it was refused for its length.
  std::wstring path;
  PathRefusal refusal = PathRefusal::kNone;
  bool accepted() const { return refusal == PathRefusal::kNone; }
};

// Runs the checks in order and stops at the first refusal, which it logs with the path. Only the
// probe file of the last check touches the disk, and it is gone when this returns.
InstallPathCheck CheckInstallPath(std::wstring_view text);

// Characters of the root the path starts from: "C:\" gives 3, "\\server\share\" its whole
// length (on Windows), "/" gives 1 (natively); 0 when the path has none.
std::size_t PathRootLength(std::wstring_view path);
