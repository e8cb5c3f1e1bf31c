#include "tool/win32/ApiError.h"

#include "log/Logger.h"

void ShowApiError(const char* apiName, uint32_t errorCode, HMODULE module, const char* context) {
  char text[260] = {};
  if (module) {
    FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, module, errorCode,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof(text), nullptr);
  }
  const int thread = static_cast<int>(GetCurrentThreadId());
  const int code = static_cast<int>(errorCode);
  if (context) {
    LOG_INFO("[Thread][%d] [%s]call %s fail %d, %s\n", thread, context, apiName, code, text);
  } else {
    LOG_INFO("[Thread][%d] call %s fail %d, %s\n", thread, apiName, code, text);
  }
}

void ShowLastWinHttpError(const char* apiName, const char* context) {
  const DWORD error = GetLastError();
  // WinINet is linked in for the connection-state query, so it is loaded already.
  ShowApiError(apiName, error, GetModuleHandleW(L"wininet.dll"), context);
}
