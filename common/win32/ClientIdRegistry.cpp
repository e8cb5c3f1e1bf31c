#include "common/win32/ClientIdRegistry.h"

#include <windows.h>
#include <objbase.h>

#include "common/GAPayload.h"

namespace {

class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() { Reset(); }
  void Reset() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
  }
  HKEY* out() {
    Reset();
    return &key_;
  }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// The value "GUID" as text; empty when it is missing or not a string.
std::wstring ReadStoredId(HKEY key) {
  wchar_t buffer[1024] = {};
  DWORD type = 0;
  DWORD bytes = sizeof(buffer);
  if (RegQueryValueExW(key, kClientIdValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return {};
  }
  std::wstring id(buffer, bytes / sizeof(wchar_t));
  // The stored text may or may not carry its terminating null.
  while (!id.empty() && id.back() == L'\0') id.pop_back();
  return id;
}

std::wstring NewClientId() {
  GUID guid = {};
  if (FAILED(CoCreateGuid(&guid))) return {};
  uint8_t tail[8];
  for (int i = 0; i < 8; ++i) tail[i] = guid.Data4[i];
  return FormatClientId(guid.Data1, guid.Data2, guid.Data3, tail);
}

}  // namespace

std::wstring ReadOrCreateClientId() {
  RegistryKey key;
  DWORD disposition = 0;
  // Creates the company key above it as well when it is missing.
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kClientIdKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                      key.out(), &disposition) != ERROR_SUCCESS) {
    return {};
  }
  if (disposition == REG_OPENED_EXISTING_KEY) {
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kClientIdKey, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, key.out()) !=
        ERROR_SUCCESS) {
      return {};
    }
    std::wstring stored = ReadStoredId(key.get());
    if (IsValidClientId(stored)) return stored;
  }
  const std::wstring id = NewClientId();
  if (id.empty()) return {};
  RegSetValueExW(key.get(), kClientIdValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(id.data()),
                 static_cast<DWORD>(id.size() * sizeof(wchar_t)));
  return id;
}
