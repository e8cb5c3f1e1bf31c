#pragma once
// The machine's analytics client identifier, kept in the registry across runs.

#include <string>

// The key under HKEY_LOCAL_MACHINE that holds the value "GUID".
inline constexpr wchar_t kClientIdKey[] = L"SOFTWARE\\WOW6432Node\\Nexvale\\NexvaleDown";
inline constexpr wchar_t kClientIdValue[] = L"GUID";

// The stored identifier when it is valid; otherwise a new one, stored (a failed store is not
// looked at). Empty when the key can be neither created nor opened.
std::wstring ReadOrCreateClientId();
