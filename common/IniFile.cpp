#include "common/IniFile.h"

#include "common/AsciiText.h"
#include "common/Encoding.h"
#include "common/FileOps.h"

namespace ini {

namespace {

using asciitext::EqualsIgnoringCase;
using asciitext::TrimBlanks;

struct Entry {
  std::wstring_view key;
  std::wstring_view value;
  bool hasValue;
};

// Calls `visit` for each entry of the first section named `section`, in file order.
template <typename Visit>
void ForEachEntry(std::wstring_view text, std::wstring_view section, Visit visit) {
  enum class State { kBeforeSection, kInSection, kAfterSection } state = State::kBeforeSection;
  size_t position = 0;
  while (position < text.size() && state != State::kAfterSection) {
    size_t end = text.find_first_of(L"\r\n", position);
    if (end == std::wstring_view::npos) end = text.size();
    const std::wstring_view line = TrimBlanks(text.substr(position, end - position));
    position = end + 1;
    if (line.empty() || line.front() == L';') continue;
    if (line.front() == L'[') {
      const size_t close = line.find(L']');
      const std::wstring_view name = TrimBlanks(line.substr(1, close == std::wstring_view::npos ? line.npos : close - 1));
      if (state == State::kInSection) state = State::kAfterSection;
      else if (EqualsIgnoringCase(name, section)) state = State::kInSection;
      continue;
    }
    if (state != State::kInSection) continue;
    const size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos) {
      visit(Entry{line, {}, false});
    } else {
      visit(Entry{TrimBlanks(line.substr(0, equals)), TrimBlanks(line.substr(equals + 1)), true});
    }
  }
}

// As the system's profile reader, a file that cannot be read holds no entries.
std::string ReadBytes(const std::wstring& path) {
  std::string bytes;
  fileops::ReadWholeFile(path, bytes);
  return bytes;
}

}  // namespace

std::wstring DecodeIniBytes(std::string_view bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
    return encoding::Utf16LeToWide(bytes.substr(2));
  }
  return encoding::AnsiToWide(bytes);
}

std::wstring SectionText(std::wstring_view text, std::wstring_view section, size_t capacity) {
  const size_t room = capacity >= 2 ? capacity - 2 : 0;
  std::wstring out;
  bool full = false;
  ForEachEntry(text, section, [&](const Entry& entry) {
    if (full) return;
    std::wstring line(entry.key);
    if (entry.hasValue) {
      line += L'=';
      line += entry.value;
    }
    line += L'\0';
    if (out.size() + line.size() > room) {
      out.append(line, 0, room - out.size());
      full = true;
      return;
    }
    out += line;
  });
  return out;
}

SectionTable ParseSectionText(std::wstring_view sectionText) {
  SectionTable table;
  size_t position = 0;
  while (position < sectionText.size()) {
    size_t end = sectionText.find(L'\0', position);
    if (end == std::wstring_view::npos) end = sectionText.size();
    const std::wstring_view line = sectionText.substr(position, end - position);
    position = end + 1;
    if (line.empty()) continue;
    const size_t equals = line.find(L'=');
    const std::wstring key(TrimBlanks(line.substr(0, equals)));
    const std::wstring value(equals == std::wstring_view::npos ? std::wstring_view() : TrimBlanks(line.substr(equals + 1)));
    table[key] = value;
  }
  return table;
}

std::wstring ValueText(std::wstring_view text, std::wstring_view section, std::wstring_view key,
                       std::wstring_view fallback, size_t capacity) {
  std::wstring value(fallback);
  bool found = false;
  ForEachEntry(text, section, [&](const Entry& entry) {
    if (found || !EqualsIgnoringCase(entry.key, key)) return;
    found = true;
    value = std::wstring(entry.value);
  });
  if (capacity == 0) return std::wstring();
  if (value.size() > capacity - 1) value.resize(capacity - 1);
  return value;
}

SectionTable ReadSection(const std::wstring& path, std::wstring_view section) {
  return ParseSectionText(SectionText(DecodeIniBytes(ReadBytes(path)), section));
}

std::wstring ReadValue(const std::wstring& path, std::wstring_view section, std::wstring_view key,
                       std::wstring_view fallback, size_t capacity) {
  return ValueText(DecodeIniBytes(ReadBytes(path)), section, key, fallback, capacity);
}

}  // namespace ini
