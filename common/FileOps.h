#pragma once
// Whole-file writes, renames and folder creation through the system's own calls. The C++
// library's file streams and std::filesystem would bring their locale, stream and path
// machinery (about 0.8 MB of the 32-bit setup) into the executable for these few calls.

#include <string>
#include <string_view>

namespace fileops {

// Why an operation failed, as the system tells it; empty when it succeeded.
struct Failure {
  std::string text;
  explicit operator bool() const { return !text.empty(); }
};

// Creates the file, or truncates an existing one, and writes all of `bytes`.
Failure WriteWholeFile(const std::wstring& path, std::string_view bytes);
// Renames `from` to `to`, replacing a file already named `to`.
Failure RenameReplacing(const std::wstring& from, const std::wstring& to);
// Creates the folder and every missing folder above it (either separator; a trailing one is
// fine). An existing folder is success; a file in the way is not.
Failure CreateFolders(std::wstring_view folder);

// What each build supplies (common/win32, common/posix).
namespace platform {
bool IsFolder(const std::wstring& path);
// Creates one folder whose parent exists.
Failure CreateFolder(const std::wstring& path);
}  // namespace platform

}  // namespace fileops
