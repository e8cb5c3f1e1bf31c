// The system "ROOT" store is the trust Windows itself uses; OpenSSL does not read it, so its
// certificates are decoded one by one.
#include <windows.h>
#include <wincrypt.h>

#include "download/http/tls_trust.h"

#include <openssl/x509.h>

namespace httpdl {

std::vector<X509*> read_system_roots() {
  std::vector<X509*> roots;
  HCERTSTORE store = CertOpenSystemStoreW(0, L"ROOT");
  if (store == nullptr) return roots;
  PCCERT_CONTEXT certificate = nullptr;
  while ((certificate = CertEnumCertificatesInStore(store, certificate)) != nullptr) {
    const unsigned char* der = certificate->pbCertEncoded;
    if (X509* x509 = d2i_X509(nullptr, &der, static_cast<long>(certificate->cbCertEncoded))) roots.push_back(x509);
  }
  CertCloseStore(store, 0);
  return roots;
}

}  // namespace httpdl
