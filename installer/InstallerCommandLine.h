#pragma once
// The arguments the setup hands to the product's silent installer.

#include <string>
#include <string_view>

// " /verysilent /nexvale_down /wait_run /path="<installPath>" /progress="<progressFile>"".
// Both values are put between double quotes as they stand: nothing is escaped or doubled, so an
// installation path ending in '\' leaves that backslash right before the closing quote, and the
// installer reads the quoted values literally.
std::wstring ComposeSilentInstallerArguments(std::wstring_view installPath, std::wstring_view progressFile);
