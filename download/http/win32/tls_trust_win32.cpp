// The system "ROOT" store is the trust Windows itself uses; OpenSSL does not read it, so its
// certificates are copied into the context's store one by one.
#include <windows.h>
#include <wincrypt.h>

#include "download/http/tls_trust.h"

#include <openssl/x509.h>

namespace httpdl {

bool add_system_roots(SSL_CTX* context) {
  HCERTSTORE store = CertOpenSystemStoreW(0, L"ROOT");
  if (store == nullptr) return false;
  X509_STORE* trusted = SSL_CTX_get_cert_store(context);
  int added = 0;
  PCCERT_CONTEXT certificate = nullptr;
  while ((certificate = CertEnumCertificatesInStore(store, certificate)) != nullptr) {
    const unsigned char* der = certificate->pbCertEncoded;
    X509* x509 = d2i_X509(nullptr, &der, static_cast<long>(certificate->cbCertEncoded));
    if (x509 == nullptr) continue;
    // A certificate already in the store is refused; that is not a failure.
    if (X509_STORE_add_cert(trusted, x509) == 1) ++added;
    X509_free(x509);
  }
  CertCloseStore(store, 0);
  return added > 0;
}

}  // namespace httpdl
