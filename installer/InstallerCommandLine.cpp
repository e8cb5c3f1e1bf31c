#include "installer/InstallerCommandLine.h"

std::wstring ComposeSilentInstallerArguments(std::wstring_view installPath, std::wstring_view progressFile) {
  std::wstring arguments = L" /verysilent /nexvale_down /wait_run /path=\"";
  arguments += installPath;
  arguments += L"\" /progress=\"";
  arguments += progressFile;
  arguments += L"\"";
  return arguments;
}
