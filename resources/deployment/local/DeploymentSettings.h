#pragma once
// Settings of the local build used by the tests and the demo: every address it reaches is on
// loopback, inside the test network namespace.

inline constexpr wchar_t kDeploymentName[] = L"local";
