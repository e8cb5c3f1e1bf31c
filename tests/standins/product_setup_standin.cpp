// Stand-in for the product's silent installer, for tests and the demo.
//
// Started by the setup with the arguments
//   /verysilent /nexvale_down /wait_run /path="<folder>\" /progress="<file>"
// it reads the quoted values literally (a backslash before the closing quote is part of the
// path), records the arguments it was given in "<folder>\setup_command_line.txt" (UTF-8), and
// then works like a real installer: it copies itself to a temporary "nexvale-download.tmp" and
// waits for that helper, which writes the progress 0 to 100 into the progress file over
// NEXVALE_STANDIN_INSTALL_MS milliseconds (3000 by default), writes the stand-in product it
// carries (resource 1) into "<folder>\<NEXVALE_STANDIN_PRODUCT>" (default
// "Vandrel\Vandrel\Vandrel.exe") and ends.
// Exit codes: 0 installed, 2 switches missing, 3 a file could not be written, the helper's code
// otherwise.
#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <map>
#include <string>

#include "common/Encoding.h"
#include "common/ExecutablePath.h"
#include "common/PathText.h"

namespace {

constexpr wchar_t kHelperName[] = L"nexvale-download.tmp";
constexpr int kProductPayload = 1;  // RCDATA: the stand-in product
constexpr wchar_t kDefaultProduct[] = L"Vandrel\\Vandrel\\Vandrel.exe";
constexpr DWORD kDefaultDurationMs = 3000;
constexpr int kProgressSteps = 10;

// "/name" gives an empty value, "/name=value" the value up to the next blank, and
// /name="value" everything between the quotes as it stands. Words without a leading '/' (the
// program name when one is given) are skipped.
std::map<std::wstring, std::wstring> ParseSwitches(const std::wstring& commandLine) {
  enum class State { kBetween, kSkipWord, kName, kValue, kQuotedValue } state = State::kBetween;
  std::map<std::wstring, std::wstring> switches;
  std::wstring name, value;
  bool quotedWord = false;
  auto finish = [&] {
    switches[name] = value;
    name.clear();
    value.clear();
  };
  for (const wchar_t c : commandLine) {
    switch (state) {
      case State::kBetween:
        if (c == L'/') state = State::kName;
        else if (c != L' ' && c != L'\t') {
          quotedWord = c == L'"';
          state = State::kSkipWord;
        }
        break;
      case State::kSkipWord:
        if (quotedWord && c == L'"') quotedWord = false;
        else if (!quotedWord && (c == L' ' || c == L'\t')) state = State::kBetween;
        break;
      case State::kName:
        if (c == L'=') state = State::kValue;
        else if (c == L' ' || c == L'\t') {
          finish();
          state = State::kBetween;
        } else name += c;
        break;
      case State::kValue:
        if (value.empty() && c == L'"') state = State::kQuotedValue;
        else if (c == L' ' || c == L'\t') {
          finish();
          state = State::kBetween;
        } else value += c;
        break;
      case State::kQuotedValue:
        if (c == L'"') {
          finish();
          state = State::kBetween;
        } else value += c;
        break;
    }
  }
  if (state == State::kName || state == State::kValue) finish();
  return switches;
}

std::wstring Environment(const wchar_t* name, const std::wstring& fallback) {
  wchar_t value[1024];
  const DWORD length = GetEnvironmentVariableW(name, value, ARRAYSIZE(value));
  return length > 0 && length < ARRAYSIZE(value) ? std::wstring(value, length) : fallback;
}

// Writes `bytes` at the start of the file, creating it when needed. Shared for reading, as the
// setup polls the progress file while it is written. `truncate` empties it first; without it a
// reader never sees an empty file between two values, which is right for every progress value
// after the first because they never get shorter.
bool WriteAtStart(const std::wstring& path, const std::string& bytes, bool truncate) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            truncate ? CREATE_ALWAYS : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool complete = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                        written == bytes.size();
  CloseHandle(file);
  return complete;
}

// Writes the product this program carries to `path`.
bool WriteProduct(const std::wstring& path) {
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(kProductPayload), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return false;
  const std::string payload(static_cast<const char*>(bytes), SizeofResource(nullptr, found));
  return WriteAtStart(path, payload, true);
}

bool CreateFolderWithParents(const std::wstring& folder) {
  const int result = SHCreateDirectoryExW(nullptr, pathtext::WithTrailingSeparator(folder).c_str(), nullptr);
  return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS || result == ERROR_FILE_EXISTS;
}

int RunHelper(const std::map<std::wstring, std::wstring>& switches) {
  const std::wstring installPath = switches.at(L"path");
  const std::wstring progressFile = switches.at(L"progress");
  const DWORD durationMs =
      static_cast<DWORD>(std::wcstoul(Environment(L"NEXVALE_STANDIN_INSTALL_MS", L"").c_str(), nullptr, 10));
  const DWORD stepMs = (durationMs ? durationMs : kDefaultDurationMs) / kProgressSteps;
  const std::wstring product = installPath + Environment(L"NEXVALE_STANDIN_PRODUCT", kDefaultProduct);
  for (int step = 0; step <= kProgressSteps; ++step) {
    if (step == kProgressSteps / 2 && (!CreateFolderWithParents(pathtext::FolderPart(product)) || !WriteProduct(product)))
      return 3;
    if (!WriteAtStart(progressFile, std::to_string(step * 100 / kProgressSteps), step == 0)) return 3;
    if (step < kProgressSteps) Sleep(stepMs);
  }
  return 0;
}

// Copies this program to a temporary helper of the installer's usual name and waits for it.
int RunThroughHelper(const std::wstring& arguments) {
  wchar_t temp[MAX_PATH];
  if (!GetTempPathW(MAX_PATH, temp)) return 3;
  const std::wstring folder = pathtext::WithTrailingSeparator(temp) + L"nexvale-standin-" +
                              std::to_wstring(GetCurrentProcessId()) + L"\\";
  const std::wstring helper = folder + kHelperName;
  const std::wstring self = GetExecutablePath();
  if (!CreateFolderWithParents(folder) || !CopyFileW(self.c_str(), helper.c_str(), FALSE)) return 3;
  std::wstring commandLine = L"\"" + helper + L"\" /helper" + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  DWORD exitCode = 3;
  if (CreateProcessW(helper.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                     &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  DeleteFileW(helper.c_str());
  RemoveDirectoryW(folder.c_str());
  return static_cast<int>(exitCode);
}

}  // namespace

int wmain() {
  const std::wstring commandLine = GetCommandLineW();
  const auto switches = ParseSwitches(commandLine);
  for (const wchar_t* required : {L"verysilent", L"nexvale_down", L"wait_run", L"path", L"progress"}) {
    if (!switches.count(required)) return 2;
  }
  if (switches.count(L"helper")) return RunHelper(switches);

  const std::wstring installPath = switches.at(L"path");
  if (!CreateFolderWithParents(installPath) ||
      !WriteAtStart(installPath + L"setup_command_line.txt", encoding::WideToUtf8(commandLine), true))
    return 3;
  return RunThroughHelper(commandLine);
}
