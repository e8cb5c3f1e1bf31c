#pragma once
// The roots a TLS client trusts when it verifies servers: the operating system's own store.

#include <vector>

#include <openssl/ssl.h>

namespace httpdl {

// Adds the system's trusted root certificates to the context's certificate store. False when
// none could be added. The system's store is read once per process and shared afterwards.
bool add_system_roots(SSL_CTX* context);

// Reads the system's trusted roots; the caller owns the certificates. Platform specific.
std::vector<X509*> read_system_roots();

}  // namespace httpdl
