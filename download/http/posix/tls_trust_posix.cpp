#include "download/http/tls_trust.h"

namespace httpdl {

bool add_system_roots(SSL_CTX* context) { return SSL_CTX_set_default_verify_paths(context) == 1; }

}  // namespace httpdl
