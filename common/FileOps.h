#pragma once
// Whole-file reads and writes, renames, copies, removal and folder creation through the system's
// own calls. The C++ library's file streams and std::filesystem would bring their locale, stream
// and path machinery (about 0.8 MB of the 32-bit setup) into the executable for these few calls.

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace fileops {

// Why an operation failed, as the system tells it; empty when it succeeded.
struct Failure {
  std::string text;
  // The system's own code: errno in the portable build, GetLastError() in the Windows one; 0 when
  // the failure is not the system's (a file above a caller's limit, a write that wrote nothing).
  int code = 0;
  explicit operator bool() const { return !text.empty(); }
};

// Which step of a whole-file read failed: callers that word each one differently tell them apart.
enum class ReadStep { kOpen, kSize, kTooLarge, kRead };
struct ReadFailure : Failure {
  ReadStep step = ReadStep::kOpen;
};

// Reads the whole file into `bytes`. A file of more than `limit` bytes is refused unread.
ReadFailure ReadWholeFile(const std::wstring& path, std::string& bytes,
                          std::uint64_t limit = std::numeric_limits<std::uint64_t>::max());
// Reads the first `count` bytes of the file, or all of a shorter one.
Failure ReadFileStart(const std::wstring& path, std::size_t count, std::string& bytes);
// Whether anything (a file or a folder) has this name; a path the system refuses to look at
// counts as missing.
bool Exists(const std::wstring& path);

// Creates the file, or truncates an existing one, and writes all of `bytes`.
Failure WriteWholeFile(const std::wstring& path, std::string_view bytes);
// Writes `bytes` beside the file and renames them over it, so that a reader in another process
// sees the old file or the new one, never a truncated one.
Failure ReplaceWholeFile(const std::wstring& path, std::string_view bytes);
// Renames `from` to `to`, replacing a file already named `to`.
Failure RenameReplacing(const std::wstring& from, const std::wstring& to);
// Copies the file `from` to `to`, replacing a file already named `to`.
Failure CopyReplacing(const std::wstring& from, const std::wstring& to);
// Removes a file. One that is not there is success: what the caller wanted is true.
Failure RemoveFile(const std::wstring& path);
// Creates the folder and every missing folder above it (either separator; a trailing one is
// fine). An existing folder is success; a file in the way is not.
Failure CreateFolders(std::wstring_view folder);

// What each build supplies (common/win32, common/posix).
namespace platform {
bool IsFolder(const std::wstring& path);
// Tells this process's files from another's beside them.
unsigned long ProcessId();
// Creates one folder whose parent exists.
Failure CreateFolder(const std::wstring& path);

// A file open for reading, closed with the object.
class ReadingFile {
 public:
  ReadingFile() = default;
  ~ReadingFile();
  ReadingFile(const ReadingFile&) = delete;
  ReadingFile& operator=(const ReadingFile&) = delete;

  Failure Open(const std::wstring& path);
  Failure Size(std::uint64_t& size) const;
  // Reads up to `count` bytes into `into`; `got` is 0 only at the end of the file.
  Failure Read(char* into, std::size_t count, std::size_t& got);

 private:
  // A file descriptor or a HANDLE; -1 is "not open" for both.
  std::intptr_t handle_ = -1;
};
}  // namespace platform

}  // namespace fileops
