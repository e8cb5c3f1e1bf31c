#pragma once
// Drive letters of the test world's Wine prefix mapped to file systems mounted for one test
// (tests/harness/wine-drive.sh): small ones, read-only ones.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Encoding.h"
#include "tests/skin_ui/win32/RealInput.h"

namespace mappeddrive {

inline std::wstring Env(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value ? value : L"";
}

// A drive letter of the prefix mapped to a file system mounted for the test, unmapped at the end
// of the case. The script runs on the host side: Wine cannot wait for it, so it leaves a file
// with its verdict.
class MappedDrive {
 public:
  // `how`: "tmpfs KIB" or "readonly".
  MappedDrive(wchar_t letter, const std::wstring& how) : letter_(letter) { ok_ = Run(how); }
  // Unmaps the drive before the end of the case (a drive that goes away).
  bool Remove() {
    const bool removed = ok_ && Run(L"remove");
    if (removed) ok_ = false;
    return removed;
  }
  ~MappedDrive() {
    if (ok_) {
      EXPECT_TRUE(Run(L"remove")) << "drive " << static_cast<char>(letter_) << ": stays mapped";
    }
  }
  bool ok() const { return ok_; }

 private:
  bool Run(const std::wstring& how) {
    const std::wstring drives = Env(L"NEXVALE_TEST_DRIVES");
    if (drives.empty()) {
      ADD_FAILURE() << "NEXVALE_TEST_DRIVES is not set: not inside the test world";
      return false;
    }
    const std::wstring verb = how.substr(0, how.find(L' '));
    const std::wstring rest = how.size() > verb.size() ? how.substr(verb.size()) : L"";
    const wchar_t lower = static_cast<wchar_t>(towlower(letter_));
    std::wstring verdictFile = L"Z:" + drives + L"/" + std::wstring(1, lower) + L".done";
    for (wchar_t& ch : verdictFile)
      if (ch == L'/') ch = L'\\';
    DeleteFileW(verdictFile.c_str());
    const std::wstring script = encoding::Utf8ToWide(NEXVALE_SOURCE_DIR) + L"/tests/harness/wine-drive.sh";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring line = L"/bin/bash " + script + L" " + verb + L" " + std::wstring(1, letter_) + rest;
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
      ADD_FAILURE() << "cannot start wine-drive.sh (" << GetLastError() << ")";
      return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::string verdict;
    realinput::PumpUntil(
        [&] {
          HANDLE file =
              CreateFileW(verdictFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
          if (file == INVALID_HANDLE_VALUE) return false;
          char bytes[512] = {};
          DWORD got = 0;
          ReadFile(file, bytes, sizeof(bytes) - 1, &got, nullptr);
          CloseHandle(file);
          verdict.assign(bytes, got);
          return true;
        },
        30000);
    while (!verdict.empty() && (verdict.back() == '\n' || verdict.back() == '\r')) verdict.pop_back();
    EXPECT_EQ(verdict, "ok") << "wine-drive.sh " << encoding::WideToUtf8(how) << " for "
                             << static_cast<char>(letter_) << ":";
    return verdict == "ok";
  }

  wchar_t letter_;
  bool ok_ = false;
};

}  // namespace mappeddrive
