#include "tool/win32/ConnectionState.h"

#include <windows.h>
#include <wininet.h>

#include "log/Logger.h"

bool ConnectionUsesProxy() {
  DWORD flags = 0;
  if (!InternetGetConnectedState(&flags, 0)) {
    LOG_INFO("ERR:InternetGetConnectedState fail 0x%x", static_cast<unsigned>(GetLastError()));
    return false;
  }
  return (flags & INTERNET_CONNECTION_PROXY) != 0;
}
