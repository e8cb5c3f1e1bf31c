// Stand-in for the installed product: appends the command line it was started with, one line in
// UTF-8, to "product_started.txt" beside itself. With "/linger" it then stays for a minute, so
// tests can watch and end it.
#include <windows.h>

#include <cwchar>
#include <string>

#include "common/Encoding.h"
#include "common/ExecutablePath.h"
#include "common/PathText.h"

int wmain() {
  const std::wstring commandLine = GetCommandLineW();
  const std::wstring record =
      pathtext::WithTrailingSeparator(pathtext::FolderPart(GetExecutablePath())) + L"product_started.txt";
  HANDLE file = CreateFileW(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  const std::string line = encoding::WideToUtf8(commandLine) + "\n";
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
  if (std::wcsstr(commandLine.c_str(), L"/linger")) Sleep(60000);
  return 0;
}
