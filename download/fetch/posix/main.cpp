#include "common/Encoding.h"
#include "download/fetch/FetchCommand.h"

int main(int argc, char** argv) {
  std::vector<std::wstring> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(encoding::Utf8ToWide(argv[i]));
  return RunFetchCommand(arguments);
}
