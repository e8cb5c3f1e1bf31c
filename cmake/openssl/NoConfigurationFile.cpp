// Compiled into every Windows program that links the static OpenSSL (see Dependencies.cmake).
//
// OpenSSL reads a configuration file once, on first use: the file OPENSSL_CONF names or
// "openssl.cnf" in the folder built into the library, which on Windows resolves to a folder on
// the system drive that any user may create. The setup runs elevated, and such a file could make
// it trust another certificate authority or change its protocols. The build leaves automatic
// loading out, but OpenSSL 3.0's object-name functions still ask for it; marking the one-time
// configuration as done before anything else runs settles it for the whole process.
#include <openssl/crypto.h>

namespace {

const bool configurationSkipped = OPENSSL_init_crypto(OPENSSL_INIT_NO_LOAD_CONFIG, nullptr) == 1;

}  // namespace
