#include <windows.h>
#include <shlobj.h>
#include <wincrypt.h>

#include <cstdio>
#include <vector>

#include "common/ExecutablePath.h"
#include "common/PathText.h"
#include "installer/SystemInfo.h"
#include "installer/SystemRules.h"
#include "installer/win32/VersionResource.h"

std::wstring GetProgramFilesFolder() {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder))) folder[0] = 0;
  return std::wstring(folder) + L"\\";
}

std::wstring GetWorkFolder() {
  return ComposeWorkFolder(GetProgramFilesFolder(), pathtext::NormalizeSeparators(GetExecutablePath()));
}

bool GetDiskFreeMB(const std::wstring& drive, int32_t& megabytes) {
  ULARGE_INTEGER available, total, totalFree;
  if (!GetDiskFreeSpaceExW(drive.c_str(), &available, &total, &totalFree)) return false;
  megabytes = WholeMegabytes(totalFree.QuadPart);
  return true;
}

bool FileExists(const std::wstring& path) {
  FILE* file = _wfopen(path.c_str(), L"r");
  if (!file) return false;
  fclose(file);
  return true;
}

std::wstring GetFileVersionText(const std::wstring& path) {
  const auto resource = VersionResource::Read(path);
  if (!resource || !resource->HasTranslationTable()) return std::wstring();
  const auto fixed = resource->FixedInfo();
  if (!fixed) return std::wstring();
  wchar_t text[64];
  swprintf(text, 64, L"%u.%u.%u.%u", static_cast<unsigned>(HIWORD(fixed->dwFileVersionMS)),
           static_cast<unsigned>(LOWORD(fixed->dwFileVersionMS)), static_cast<unsigned>(HIWORD(fixed->dwFileVersionLS)),
           static_cast<unsigned>(LOWORD(fixed->dwFileVersionLS)));
  return text;
}

std::wstring GetWindowsProductName() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0,
                    KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
    return std::wstring();
  }
  wchar_t buffer[1024] = {};  // 2048 bytes
  DWORD size = sizeof(buffer) - sizeof(wchar_t);
  DWORD type = 0;
  const LONG result =
      RegQueryValueExW(key, L"ProductName", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::wstring();
  return std::wstring(buffer, wcsnlen(buffer, size / sizeof(wchar_t)));
}

bool IsWindows64Bit() {
  using GetNativeSystemInfoFn = void(WINAPI*)(LPSYSTEM_INFO);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  const auto getNativeSystemInfo =
      kernel ? reinterpret_cast<GetNativeSystemInfoFn>(
                   reinterpret_cast<void*>(GetProcAddress(kernel, "GetNativeSystemInfo")))
             : nullptr;
  if (!getNativeSystemInfo) return false;
  SYSTEM_INFO info = {};
  getNativeSystemInfo(&info);
  return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
         info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
}

std::wstring GetUILanguageText() { return std::to_wstring(static_cast<unsigned>(GetUserDefaultUILanguage())); }

std::string GetFileMd5(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();

  std::string digest;
  HCRYPTPROV provider = 0;
  HCRYPTHASH hash = 0;
  if (CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) &&
      CryptCreateHash(provider, CALG_MD5, 0, 0, &hash)) {
    std::vector<BYTE> chunk(4096);
    bool hashed = true;
    DWORD read = 0;
    for (;;) {
      // A failed read is a failure, not the end of the file: a digest of part of the file would
      // wrongly mismatch (or match) the announced one.
      if (!ReadFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &read, nullptr)) {
        hashed = false;
        break;
      }
      if (read == 0) break;
      if (!CryptHashData(hash, chunk.data(), read, 0)) {
        hashed = false;
        break;
      }
    }
    BYTE value[16];
    DWORD length = sizeof(value);
    if (hashed && CryptGetHashParam(hash, HP_HASHVAL, value, &length, 0) && length == sizeof(value)) {
      digest = HexDigest(value, sizeof(value));
    }
  }
  if (hash) CryptDestroyHash(hash);
  if (provider) CryptReleaseContext(provider, 0);
  CloseHandle(file);
  return digest;
}
