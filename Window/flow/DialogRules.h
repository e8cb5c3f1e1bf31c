#pragma once
// The text rules of the disk-space dialog: its message line, how that line is shortened, and
// the drive it proposes instead of the one without room.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The drive of a path: the text up to and including its first ':' ("C:"); empty without one.
std::wstring DriveOfPath(std::wstring_view path);

// "%s Drive %s": the drive and the dialog's title.
std::wstring DiskMessageLine(std::wstring_view drive, std::wstring_view title);

// Characters of the message line shown before "..." when it is longer.
inline constexpr std::size_t kMessageLineShownLength = 24;

struct ShortenedLine {
  std::wstring text;
  // The whole line, for the label's tooltip; nothing when the line was shown whole and the
  // tooltip stays as it was.
  std::optional<std::wstring> tooltip;
};

// The line as the label shows it: lines longer than kMessageLineShownLength characters show that
// many followed by "..." (one less when the cut would split a surrogate pair).
ShortenedLine ShortenMessageLine(std::wstring_view line);

// The drive proposed instead of `currentDrive` ("C:"), walking A to Z over the system's bitmask
// of logical drives (bit 0 is A): the first other drive, ignoring letter case, followed by the
// separator ("D:\"). When there is no other, the last existing drive without the separator;
// empty when the mask is empty.
std::wstring ProposeOtherDrive(std::wstring_view currentDrive, std::uint32_t logicalDrives);
