// The static OpenSSL the Windows build links. It must read no configuration file: the setup
// runs elevated, and a file planted where OpenSSL looks (its built-in folder resolves to a folder
// on the user's system drive) could change how servers are checked. Trimmed to what a TLS client
// needs, it must still offer what common servers expect.
#include <windows.h>

#include <gtest/gtest.h>
#include <openssl/ssl.h>

#include <cstdlib>
#include <set>
#include <string>

#include "tests/support/TestFiles.h"

namespace {

TEST(TlsLibrary, ReadsNoConfigurationFile) {
  testsupport::TempFolder folder(L"tls-configuration");
  const std::wstring file = folder.path() + L"openssl.cnf";
  // Read, this file would raise the lowest protocol of every new context to TLS 1.3.
  testsupport::WriteFileBytes(file,
                              "openssl_conf = init\n"
                              "[init]\nssl_conf = ssl\n"
                              "[ssl]\nsystem_default = defaults\n"
                              "[defaults]\nMinProtocol = TLSv1.3\n");
  ASSERT_EQ(_wputenv_s(L"OPENSSL_CONF", file.c_str()), 0);

  SSL_CTX* context = SSL_CTX_new(TLS_client_method());
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(SSL_CTX_get_min_proto_version(context), 0) << "the file OPENSSL_CONF names was read";
  SSL_CTX_free(context);
}

TEST(TlsLibrary, OffersTheSuitesAndGroupsOfCommonServers) {
  SSL_CTX* context = SSL_CTX_new(TLS_client_method());
  ASSERT_NE(context, nullptr);
  SSL* ssl = SSL_new(context);
  ASSERT_NE(ssl, nullptr);
  std::set<std::string> offered;
  STACK_OF(SSL_CIPHER)* ciphers = SSL_get1_supported_ciphers(ssl);
  for (int i = 0; i < sk_SSL_CIPHER_num(ciphers); ++i) offered.insert(SSL_CIPHER_get_name(sk_SSL_CIPHER_value(ciphers, i)));
  sk_SSL_CIPHER_free(ciphers);

  for (const char* suite : {"TLS_AES_128_GCM_SHA256", "TLS_AES_256_GCM_SHA384", "TLS_CHACHA20_POLY1305_SHA256",
                            "ECDHE-ECDSA-AES128-GCM-SHA256", "ECDHE-RSA-AES128-GCM-SHA256",
                            "ECDHE-ECDSA-AES256-GCM-SHA384", "ECDHE-RSA-AES256-GCM-SHA384",
                            "ECDHE-ECDSA-CHACHA20-POLY1305", "ECDHE-RSA-CHACHA20-POLY1305"}) {
    EXPECT_EQ(offered.count(suite), 1u) << suite;
  }
  for (const char* group : {"X25519", "P-256", "P-384"}) {
    EXPECT_EQ(SSL_CTX_set1_groups_list(context, group), 1) << group;
  }
  for (const char* algorithms : {"rsa_pss_rsae_sha256", "rsa_pkcs1_sha256", "ecdsa_secp256r1_sha256", "ed25519"}) {
    EXPECT_EQ(SSL_CTX_set1_sigalgs_list(context, algorithms), 1) << algorithms;
  }
  SSL_free(ssl);
  SSL_CTX_free(context);
}

}  // namespace
