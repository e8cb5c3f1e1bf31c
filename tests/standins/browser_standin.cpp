// Stand-in for the user's web browser: registered in the test prefix as the program that opens
// http and https addresses, it writes the address it was given (UTF-8, no line end) into the
// file NEXVALE_BROWSER_RECORD names. Exit code 2 when there is no address or no record file.
#include <windows.h>

#include <string>

#include "common/Encoding.h"

int wmain(int argc, wchar_t** argv) {
  wchar_t record[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"NEXVALE_BROWSER_RECORD", record, MAX_PATH);
  if (argc < 2 || length == 0 || length >= MAX_PATH) return 2;
  const std::string address = encoding::WideToUtf8(argv[1]);
  HANDLE file = CreateFileW(record, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  const bool complete = WriteFile(file, address.data(), static_cast<DWORD>(address.size()), &written, nullptr) &&
                        written == address.size();
  CloseHandle(file);
  return complete ? 0 : 3;
}
