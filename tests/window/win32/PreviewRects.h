#pragma once
// What the window tests read from the skin preview: the named controls' rectangles in a
// window's client area, laid out as the setup lays them out, so that real input lands on them.

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/Encoding.h"
#include "tests/skin_ui/win32/RealInput.h"
#include "tests/support/TestFiles.h"

namespace previewrects {

inline std::vector<std::wstring> SplitTabs(const std::wstring& line) {
  std::vector<std::wstring> fields;
  std::wstring::size_type start = 0;
  for (;;) {
    const auto tab = line.find(L'\t', start);
    fields.push_back(line.substr(start, tab == std::wstring::npos ? std::wstring::npos : tab - start));
    if (tab == std::wstring::npos) return fields;
    start = tab + 1;
  }
}

inline std::vector<std::wstring> Lines(const std::string& utf8) {
  std::vector<std::wstring> lines;
  std::istringstream in(utf8);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(encoding::Utf8ToWide(line));
  }
  return lines;
}

// One argument of a command line: backslashes before the closing quote are doubled, or the
// quote would be taken as a character of the argument.
inline std::wstring Quoted(const std::wstring& text) {
  const std::size_t kept = text.find_last_not_of(L'\\') + 1;
  return L"\"" + text + std::wstring(text.size() - kept, L'\\') + L"\"";
}

// The named controls' rectangles of `window` ("main", "WinMessageBox", ...) in `language` on
// `page`, with `states` (preview --state values) applied.
inline std::map<std::wstring, RECT> PreviewRects(const std::wstring& window, const std::wstring& language,
                                                 int page = 0, const std::vector<std::wstring>& states = {}) {
  std::wstring command = Quoted(testsupport::BuildBinFolder() + L"skin_preview.exe") + L" --window " + window +
                         L" --language " + language + L" --page " + std::to_wstring(page);
  for (const std::wstring& state : states) command += L" --state " + state;
  DWORD code = 0;
  const std::string out = realinput::RunAndRead(command, code, 60000);
  EXPECT_EQ(code, 0u) << out;
  std::map<std::wstring, RECT> rects;
  for (const std::wstring& line : Lines(out)) {
    const auto f = SplitTabs(line);
    if (f.size() == 8 && f[0] == L"control")
      rects[f[1]] = RECT{std::stoi(f[3]), std::stoi(f[4]), std::stoi(f[5]), std::stoi(f[6])};
  }
  return rects;
}

}  // namespace previewrects
