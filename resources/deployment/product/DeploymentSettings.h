#pragma once
// Settings of the product build: what ships to users.

inline constexpr wchar_t kDeploymentName[] = L"product";
