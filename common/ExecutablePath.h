#pragma once

#include <string>

// Full path of the running executable, or empty when the system cannot tell.
std::wstring GetExecutablePath();
