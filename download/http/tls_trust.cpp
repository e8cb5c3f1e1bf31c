#include "download/http/tls_trust.h"

#include <openssl/x509.h>

namespace httpdl {

// Reading the system's roots takes a third of a second or more, and a download opens many
// connections, each with its own context: the certificates are read once and shared, which is
// safe as they are reference-counted and never changed.
bool add_system_roots(SSL_CTX* context) {
  static const std::vector<X509*>* const roots = new std::vector<X509*>(read_system_roots());
  X509_STORE* store = SSL_CTX_get_cert_store(context);
  int added = 0;
  for (X509* certificate : *roots) {
    // A certificate already in the store is refused; that is not a failure.
    if (X509_STORE_add_cert(store, certificate) == 1) ++added;
  }
  return added > 0;
}

}  // namespace httpdl
