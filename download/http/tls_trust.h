#pragma once
// The roots a TLS client trusts when it verifies servers: the operating system's own store.

#include <openssl/ssl.h>

namespace httpdl {

// Adds the system's trusted root certificates to the context's certificate store. False when
// none could be added.
bool add_system_roots(SSL_CTX* context);

}  // namespace httpdl
