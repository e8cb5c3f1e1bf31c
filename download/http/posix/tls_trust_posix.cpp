#include "download/http/tls_trust.h"

#include <openssl/x509.h>

namespace httpdl {

// The certificates of OpenSSL's default locations (the system's bundle).
std::vector<X509*> read_system_roots() {
  std::vector<X509*> roots;
  X509_STORE* store = X509_STORE_new();
  if (store == nullptr) return roots;
  if (X509_STORE_set_default_paths(store) == 1) {
    STACK_OF(X509)* all = X509_STORE_get1_all_certs(store);
    for (int i = 0; all != nullptr && i < sk_X509_num(all); ++i) {
      X509* certificate = sk_X509_value(all, i);
      if (X509_up_ref(certificate) == 1) roots.push_back(certificate);
    }
    sk_X509_pop_free(all, X509_free);
  }
  X509_STORE_free(store);
  return roots;
}

}  // namespace httpdl
