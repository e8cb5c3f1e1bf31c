#pragma once
// Log line for a failed system call, with the message text WinINet's table has for the code
// (WinHTTP's error codes share WinINet's numbers).

#include <cstdint>

#include <windows.h>

// Logs "[Thread][id] [context]call apiName fail code, text" (without "[context]" when `context`
// is null). `module` is the module whose message table explains `errorCode`; a code it has no
// text for gives an empty text.
void ShowApiError(const char* apiName, uint32_t errorCode, HMODULE module, const char* context);

// ShowApiError for the calling thread's last error, explained by "wininet.dll".
void ShowLastWinHttpError(const char* apiName, const char* context);
