#pragma once
// The download engine's command-line diagnostic: one URL into one file through the download
// service and the blocking wrapper, as the setup runs it.
#include <string>
#include <vector>

// Arguments without the program name. Returns the process exit code: 0 when the file is
// complete, 2, 4 and 5 for the results -2, -4 and -5, 1 for a usage error.
int RunFetchCommand(const std::vector<std::wstring>& arguments);
