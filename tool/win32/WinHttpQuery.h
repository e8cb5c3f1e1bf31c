#pragma once
// Reading the answer's headers of a WinHTTP request.

#include <optional>
#include <string>

#include <windows.h>
#include <winhttp.h>

// A header of the answer as text (`info` is a WINHTTP_QUERY_ value); false when it is missing or
// unreadable.
bool QueryHeaderText(HINTERNET request, DWORD info, std::wstring& text);

// The answer's status code; 0 when it cannot be read.
int QueryStatusCode(HINTERNET request);

// The answer's Content-Length read as decimal text; empty when missing or not a number.
std::optional<uint64_t> QueryContentLength(HINTERNET request);
