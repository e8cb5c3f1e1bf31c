#include "installer/InstallerProgress.h"

#include "common/FileOps.h"

namespace {

constexpr int kMaximumPercent = 100;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int ParseInstallerProgress(std::string_view content) {
  content = content.substr(0, kProgressBytesRead);
  enum class State { kBlanks, kDigits } state = State::kBlanks;
  bool negative = false;
  // Saturates one above the maximum: more digits can only keep it there, so it never overflows.
  int value = 0;
  for (const char c : content) {
    if (state == State::kBlanks) {
      if (IsBlank(c)) continue;
      state = State::kDigits;
      if (c == '+' || c == '-') {
        negative = c == '-';
        continue;
      }
    }
    if (!IsDigit(c)) break;
    value = value * 10 + (c - '0');
    if (value > kMaximumPercent) value = kMaximumPercent + 1;
  }
  if (negative) return 0;
  return value > kMaximumPercent ? kMaximumPercent : value;
}

bool ReadInstallerProgressFile(const std::wstring& path, int& percent) {
  std::string bytes;
  if (fileops::ReadFileStart(path, kProgressBytesRead, bytes)) return false;
  percent = ParseInstallerProgress(bytes);
  return true;
}
