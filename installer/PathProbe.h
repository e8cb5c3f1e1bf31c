#pragma once
// What the file system says about an installation path: the system calls behind the install
// path check. Each reports a failed system call in the log and answers with its refusing value.

#include <string>

// What a path names on disk.
enum class PathKind {
  kMissing,  // nothing there (the path or one of its parents does not exist)
  kFolder,
  kOther,    // a file, or something the system refuses to look at (an invalid name, no access)
};
PathKind ProbePath(const std::wstring& path);

// False only when the folder's parent path does not exist: a last folder that does not exist
// yet is fine (the installer creates it), a missing drive or parent is not.
bool IsPathUsable(const std::wstring& path);

// Whether `folder` (ending in the separator) accepts a new file: one with a name of its own is
// created and deleted at once. No existing file is opened or replaced.
bool FolderAcceptsNewFile(const std::wstring& folder);
