#include "tests/win32/support/Certificates.h"

#include <windows.h>
#include <wincrypt.h>

namespace testsupport {

std::vector<unsigned char> DerFromPem(const std::string& pem) {
  DWORD size = 0;
  if (!CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER, nullptr, &size,
                            nullptr, nullptr)) {
    return {};
  }
  std::vector<unsigned char> der(size);
  if (!CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER, der.data(), &size,
                            nullptr, nullptr)) {
    return {};
  }
  der.resize(size);
  return der;
}

}  // namespace testsupport
