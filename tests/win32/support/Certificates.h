#pragma once
// Certificates for the test world's Windows side.

#include <string>
#include <vector>

namespace testsupport {

// The DER bytes of the first certificate in PEM text; empty when there is none.
std::vector<unsigned char> DerFromPem(const std::string& pem);

}  // namespace testsupport
