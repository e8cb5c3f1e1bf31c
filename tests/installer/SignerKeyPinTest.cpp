// The installer check's portable rules: signer key pins (form, parsing, matching, the
// deployments' lists), the public key inside a certificate, and where the signature block sits.
#include <gtest/gtest.h>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/sha.h>
#include <openssl/x509.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "installer/PeSignatureBlock.h"
#include "installer/SignerKeyPin.h"

// Both deployments' settings in one test: each in a namespace of its own, as their names agree.
namespace product_deployment {
#include "resources/deployment/product/DeploymentSettings.h"
}
namespace local_deployment {
#include "resources/deployment/local/DeploymentSettings.h"
}

namespace {

constexpr char kPinA[] = "b5aae884845830e73e35c38f2d18a56a59b3eeefcf3212dc1582f1cc27f64f74";
constexpr char kPinB[] = "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff";

TEST(SignerKeyPin, FormIsSixtyFourLowerCaseHexDigits) {
  const struct {
    std::string text;
    bool valid;
  } cases[] = {
      {kPinA, true},
      {kPinB, true},
      {"B5AAE884845830E73E35C38F2D18A56A59B3EEEFCF3212DC1582F1CC27F64F74", false},
      {std::string(kPinA).substr(0, 63), false},
      {std::string(kPinA) + "0", false},
      {std::string(kPinA).substr(0, 62) + "g4", false},
      {std::string(kPinA).substr(0, 62) + ":4", false},
      {"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsKeyPinText(c.text), c.valid) << c.text;
    const std::optional<KeyPin> pin = ParseKeyPin(c.text);
    ASSERT_EQ(pin.has_value(), c.valid) << c.text;
    if (pin) {
      EXPECT_EQ(KeyPinText(*pin), c.text);
    }
  }
  const KeyPin parsed = *ParseKeyPin(kPinB);
  EXPECT_EQ(parsed[0], 0x00);
  EXPECT_EQ(parsed[1], 0x11);
  EXPECT_EQ(parsed[31], 0xFF);
}

TEST(SignerKeyPin, AKeyMatchesAnyPinOfTheListAndNothingElse) {
  constexpr auto pins = MakeSignerKeyPins(kPinA, kPinB);
  static_assert(pins.size() == 2);
  EXPECT_TRUE(IsPinnedKey(pins, *ParseKeyPin(kPinA)));
  EXPECT_TRUE(IsPinnedKey(pins, *ParseKeyPin(kPinB)));
  KeyPin other = *ParseKeyPin(kPinB);
  other[31] ^= 1;
  EXPECT_FALSE(IsPinnedKey(pins, other));
  // A malformed pin in a list made at run time matches nothing, not even its own bytes.
  const std::string_view upper = "00112233445566778899AABBCCDDEEFF00112233445566778899AABBCCDDEEFF";
  const std::string_view runtimeList[] = {upper, std::string_view(kPinA).substr(0, 63)};
  EXPECT_FALSE(IsPinnedKey(runtimeList, *ParseKeyPin(kPinB)));
  EXPECT_FALSE(IsPinnedKey({}, *ParseKeyPin(kPinA)));
}

// --- Certificates made here with the committed test key ---

using KeyPtr = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;

KeyPtr ReadTestSigningKey() {
  FILE* file = std::fopen(NEXVALE_SOURCE_DIR "/tests/harness/signing/test-signing.key", "rb");
  EVP_PKEY* key = file ? PEM_read_PrivateKey(file, nullptr, nullptr, nullptr) : nullptr;
  if (file) std::fclose(file);
  return {key, &EVP_PKEY_free};
}

std::vector<std::uint8_t> Der(int length, auto&& write) {
  std::vector<std::uint8_t> der(static_cast<std::size_t>(length));
  std::uint8_t* out = der.data();
  write(&out);
  return der;
}

std::vector<std::uint8_t> SelfSignedCertificate(EVP_PKEY* key, long version) {
  std::unique_ptr<X509, decltype(&X509_free)> cert(X509_new(), &X509_free);
  X509_set_version(cert.get(), version);
  ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), 0x1234567);
  X509_gmtime_adj(X509_getm_notBefore(cert.get()), 0);
  X509_gmtime_adj(X509_getm_notAfter(cert.get()), 3600);
  X509_set_pubkey(cert.get(), key);
  X509_NAME* name = X509_get_subject_name(cert.get());
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("Nexvale Test Publisher"),
                             -1, -1, 0);
  X509_set_issuer_name(cert.get(), name);
  if (X509_sign(cert.get(), key, EVP_sha256()) <= 0) return {};
  return Der(i2d_X509(cert.get(), nullptr), [&](std::uint8_t** out) { i2d_X509(cert.get(), out); });
}

TEST(SignerKeyPin, CertificatePinIsTheHashOfItsPublicKeyAndTheLocalDeploymentPinsTheTestKey) {
  const KeyPtr key = ReadTestSigningKey();
  ASSERT_TRUE(key) << "the committed test signing key cannot be read";
  const std::vector<std::uint8_t> publicKey =
      Der(i2d_PUBKEY(key.get(), nullptr), [&](std::uint8_t** out) { i2d_PUBKEY(key.get(), out); });
  KeyPin expected{};
  SHA256(publicKey.data(), publicKey.size(), expected.data());

  ASSERT_EQ(local_deployment::kInstallerSignerKeyPins.size(), 1u);
  EXPECT_EQ(local_deployment::kInstallerSignerKeyPins[0], KeyPinText(expected));
  // Version 1 certificates carry no version field before the serial number.
  for (const long version : {0L, 2L}) {
    const std::vector<std::uint8_t> certificate = SelfSignedCertificate(key.get(), version);
    ASSERT_FALSE(certificate.empty());
    const auto info = SubjectPublicKeyInfoOf(certificate);
    ASSERT_TRUE(info) << "version " << version;
    EXPECT_EQ(std::vector<std::uint8_t>(info->begin(), info->end()), publicKey);
    EXPECT_EQ(KeyPinOfCertificate(certificate), expected);
    EXPECT_TRUE(IsPinnedKey(local_deployment::kInstallerSignerKeyPins, *KeyPinOfCertificate(certificate)));
    EXPECT_FALSE(IsPinnedKey(product_deployment::kInstallerSignerKeyPins, *KeyPinOfCertificate(certificate)));
  }
}

TEST(SignerKeyPin, BrokenCertificatesGiveNoKey) {
  const KeyPtr key = ReadTestSigningKey();
  ASSERT_TRUE(key);
  const std::vector<std::uint8_t> certificate = SelfSignedCertificate(key.get(), 2);
  // Every cut-off certificate: its lengths promise more than is there.
  for (std::size_t length = 0; length < certificate.size(); ++length) {
    const std::vector<std::uint8_t> cut(certificate.begin(), certificate.begin() + length);
    EXPECT_FALSE(SubjectPublicKeyInfoOf(cut)) << length;
  }
  const std::vector<std::vector<std::uint8_t>> broken = {
      {0x30, 0x85, 0x01, 0x00, 0x00, 0x00, 0x00},  // a length of five bytes
      {0x30, 0x84, 0xFF, 0xFF, 0xFF, 0xFF},        // four bytes, far past the end
      {0x30, 0x80, 0x00, 0x00},                    // indefinite length: not DER
      {0x31, 0x02, 0x30, 0x00},                    // a set, not a sequence
      {0x30, 0x02, 0x30, 0x00},                    // an empty to-be-signed part
      {0x30, 0x04, 0x30, 0x02, 0x1F, 0x00},        // a multi-byte tag
  };
  for (const auto& bytes : broken) EXPECT_FALSE(SubjectPublicKeyInfoOf(bytes)) << bytes.size();
}

TEST(SignerKeyPin, BothDeploymentsPinKeysOfTheRightForm) {
  for (const auto pins : {std::span<const std::string_view>(product_deployment::kInstallerSignerKeyPins),
                          std::span<const std::string_view>(local_deployment::kInstallerSignerKeyPins)}) {
    ASSERT_FALSE(pins.empty());
    for (const std::string_view pin : pins) EXPECT_TRUE(ParseKeyPin(pin)) << pin;
  }
}

// --- The signature block's place ---

// The headers of a program: DOS header, "PE", file header, the optional header of PE32 or
// PE32+ with `directories` data directories, the certificate table at `offset` of `size` bytes.
std::vector<std::uint8_t> ProgramHead(bool pe32Plus, std::uint32_t directories, std::uint32_t offset,
                                      std::uint32_t size) {
  std::vector<std::uint8_t> head(1024, 0);
  auto put16 = [&](std::size_t at, std::uint32_t value) {
    head[at] = static_cast<std::uint8_t>(value);
    head[at + 1] = static_cast<std::uint8_t>(value >> 8);
  };
  auto put32 = [&](std::size_t at, std::uint32_t value) {
    put16(at, value & 0xFFFF);
    put16(at + 2, value >> 16);
  };
  head[0] = 'M';
  head[1] = 'Z';
  const std::size_t pe = 0x80;
  put32(0x3C, pe);
  head[pe] = 'P';
  head[pe + 1] = 'E';
  const std::size_t directoriesAt = pe32Plus ? 112 : 96;
  const std::size_t optional = pe + 24;
  put16(pe + 4 + 16, static_cast<std::uint32_t>(directoriesAt + directories * 8));
  put16(optional, pe32Plus ? 0x20B : 0x10B);
  put32(optional + directoriesAt - 4, directories);
  if (directories > 4) {
    put32(optional + directoriesAt + 32, offset);
    put32(optional + directoriesAt + 36, size);
  }
  return head;
}

TEST(PeSignatureBlock, TheCertificateTableMustEndTheFile) {
  using L = PeSignatureLayout;
  const std::vector<std::uint8_t> text(100, 'a');
  const struct {
    const char* name;
    std::vector<std::uint8_t> head;
    std::uint64_t fileSize;
    L layout;
  } cases[] = {
      {"PE32 signed", ProgramHead(false, 16, 4096, 1000), 5096, L::kSignatureEndsTheFile},
      {"PE32+ signed", ProgramHead(true, 16, 4096, 1000), 5096, L::kSignatureEndsTheFile},
      {"bytes after the table", ProgramHead(true, 16, 4096, 1000), 5097, L::kBytesAfterSignature},
      {"table past the end", ProgramHead(true, 16, 4096, 1000), 5095, L::kNotAProgram},
      {"no table", ProgramHead(true, 16, 0, 0), 5096, L::kUnsigned},
      {"too few directories", ProgramHead(false, 4, 0, 0), 5096, L::kUnsigned},
      {"empty", {}, 0, L::kNotAProgram},
      {"text", text, text.size(), L::kNotAProgram},
      {"head longer than the file", ProgramHead(true, 16, 4096, 1000), 1000 - 1, L::kNotAProgram},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadPeSignatureLayout(c.head, c.fileSize), c.layout) << c.name;

  // Headers that point outside the bytes read.
  std::vector<std::uint8_t> farHeader = ProgramHead(true, 16, 4096, 1000);
  farHeader[0x3C] = 0xF0;
  farHeader[0x3D] = 0x03;  // "PE" at 0x3F0, the file header would run past 1024 bytes
  EXPECT_EQ(ReadPeSignatureLayout(farHeader, 5096), L::kNotAProgram);
  farHeader[0x3F] = 0xFF;  // at 0xFF0003F0
  EXPECT_EQ(ReadPeSignatureLayout(farHeader, 5096), L::kNotAProgram);
  std::vector<std::uint8_t> bigOptional = ProgramHead(true, 16, 4096, 1000);
  bigOptional[0x80 + 20] = 0xFF;
  bigOptional[0x80 + 21] = 0xFF;  // an optional header of 65535 bytes
  EXPECT_EQ(ReadPeSignatureLayout(bigOptional, 5096), L::kNotAProgram);
  std::vector<std::uint8_t> badMagic = ProgramHead(true, 16, 4096, 1000);
  badMagic[0x80 + 24] = 0x07;
  EXPECT_EQ(ReadPeSignatureLayout(badMagic, 5096), L::kNotAProgram);
}

}  // namespace
