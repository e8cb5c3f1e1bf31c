#include "Window/flow/DialogRules.h"

namespace {

constexpr int kDriveLetters = 26;

wchar_t UpperAscii(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool SameIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

std::wstring DriveOfPath(std::wstring_view path) {
  const std::size_t colon = path.find(L':');
  return colon == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, colon + 1));
}

std::wstring DiskMessageLine(std::wstring_view drive, std::wstring_view title) {
  std::wstring line(drive);
  line += L" Drive ";
  line += title;
  return line;
}

ShortenedLine ShortenMessageLine(std::wstring_view line) {
  if (line.size() <= kMessageLineShownLength) return {std::wstring(line), std::nullopt};
  std::size_t shown = kMessageLineShownLength;
  if (IsHighSurrogate(line[shown - 1])) --shown;
  return {std::wstring(line.substr(0, shown)) + L"...", std::wstring(line)};
}

std::wstring ProposeOtherDrive(std::wstring_view currentDrive, std::uint32_t logicalDrives) {
  std::wstring last;
  for (int letter = 0; letter < kDriveLetters; ++letter) {
    if (!(logicalDrives & (1u << letter))) continue;
    const std::wstring candidate{static_cast<wchar_t>(L'A' + letter), L':'};
    if (!SameIgnoringCase(candidate, currentDrive)) return candidate + L'\\';
    last = candidate;
  }
  return last;
}
