// The test world itself: the test CA's root is trusted by this Windows prefix the way a machine
// trusts a root, so certificates of the loopback servers verify through the system's store.
#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "common/Encoding.h"
#include "tests/support/TestFiles.h"
#include "tests/win32/support/Certificates.h"

namespace {

TEST(Harness, TestRootIsInTheMachineRootStore) {
  const char* rootPath = std::getenv("NEXVALE_TEST_CA_WIN");
  ASSERT_NE(rootPath, nullptr) << "run through scripts/test.sh";
  const std::vector<unsigned char> der = testsupport::DerFromPem(testsupport::ReadFileBytes(encoding::AnsiToWide(rootPath)));
  ASSERT_FALSE(der.empty());

  PCCERT_CONTEXT root = CertCreateCertificateContext(X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size()));
  ASSERT_NE(root, nullptr);
  HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0,
                                   CERT_SYSTEM_STORE_LOCAL_MACHINE | CERT_STORE_READONLY_FLAG, L"ROOT");
  ASSERT_NE(store, nullptr);
  PCCERT_CONTEXT found = CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, root, nullptr);
  EXPECT_NE(found, nullptr);
  if (found) CertFreeCertificateContext(found);
  CertCloseStore(store, 0);
  CertFreeCertificateContext(root);
}

}  // namespace
