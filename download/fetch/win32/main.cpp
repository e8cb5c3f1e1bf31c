#include "download/fetch/FetchCommand.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> arguments(argv + 1, argv + argc);
  return RunFetchCommand(arguments);
}
