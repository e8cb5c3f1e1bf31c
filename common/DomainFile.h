#pragma once
// The file "domain" the setup leaves in the product's folder for the product to read: the domain
// code in the ANSI code page, byte for byte, without terminator or line break.

#include <string>

inline constexpr wchar_t kDomainFileName[] = L"domain";

// Writes `domainCode` to `productFolder` (ending in the separator) + "domain", replacing an
// older file. An empty code writes nothing and is no failure. False, with the reason in the log,
// when the file cannot be written whole.
bool WriteDomainFile(const std::wstring& productFolder, const std::wstring& domainCode);
