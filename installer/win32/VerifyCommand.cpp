// The installer check's command-line diagnostic, for its benchmark and for looking at a file by
// hand: nexvale_verify [--repeat N] --pin HEX [--pin HEX] FILE
// Prints the verdict (the signer, or the reason and code) and the time each check took, and
// exits with 0 when the file passes, 1 when it is refused, 2 for a wrong command line.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>
#include <vector>

#include "common/Encoding.h"
#include "installer/SignerKeyPin.h"
#include "installer/win32/InstallerSignature.h"

namespace {

int Usage() {
  std::fwprintf(stderr, L"usage: nexvale_verify [--repeat N] --pin HEX [--pin HEX] FILE\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> pinTexts;
  int repeat = 1;
  std::wstring file;
  for (int i = 1; i < argc; ++i) {
    const std::wstring_view argument = argv[i];
    if (argument == L"--pin" && i + 1 < argc) {
      pinTexts.push_back(encoding::WideToAnsi(argv[++i]));
      if (!IsKeyPinText(pinTexts.back())) {
        std::fwprintf(stderr, L"%ls is not a key pin (64 lower-case hexadecimal digits)\n", argv[i]);
        return 2;
      }
    } else if (argument == L"--repeat" && i + 1 < argc) {
      repeat = _wtoi(argv[++i]);
      if (repeat < 1) return Usage();
    } else if (file.empty() && !argument.starts_with(L"--")) {
      file = argument;
    } else {
      return Usage();
    }
  }
  if (file.empty() || pinTexts.empty()) return Usage();
  const std::vector<std::string_view> pins(pinTexts.begin(), pinTexts.end());

  LARGE_INTEGER frequency = {};
  QueryPerformanceFrequency(&frequency);
  InstallerSignatureCheck check;
  for (int run = 0; run < repeat; ++run) {
    LARGE_INTEGER start = {}, end = {};
    QueryPerformanceCounter(&start);
    check = VerifyInstaller(file, pins);
    QueryPerformanceCounter(&end);
    std::wprintf(L"check %d: %.1f ms\n", run + 1,
                 static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart));
  }
  if (check.passed()) {
    std::wprintf(L"accepted: signer %ls\n", check.signer.c_str());
    return 0;
  }
  std::wprintf(L"refused: %hs (0x%08lx)\n", DescribeInstallerRefusal(check.refusal),
               static_cast<unsigned long>(check.code));
  return 1;
}
