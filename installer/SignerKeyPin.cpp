#include "installer/SignerKeyPin.h"

#include <openssl/sha.h>

#include "log/Logger.h"

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// One DER element: where its contents start and how long they are. Only the definite forms
// DER allows; lengths over four bytes cannot describe a certificate and are refused.
struct DerElement {
  std::uint8_t tag = 0;
  std::size_t headerSize = 0;
  std::size_t contentSize = 0;
  std::size_t size() const { return headerSize + contentSize; }
};

std::optional<DerElement> ReadElement(std::span<const std::uint8_t> der) {
  if (der.size() < 2) return std::nullopt;
  DerElement element;
  element.tag = der[0];
  if ((element.tag & 0x1F) == 0x1F) return std::nullopt;  // multi-byte tags do not occur here
  const std::uint8_t first = der[1];
  if (first < 0x80) {
    element.headerSize = 2;
    element.contentSize = first;
  } else {
    const std::size_t lengthBytes = first & 0x7F;
    if (lengthBytes == 0 || lengthBytes > 4 || der.size() < 2 + lengthBytes) return std::nullopt;
    std::size_t length = 0;
    for (std::size_t i = 0; i < lengthBytes; ++i) length = (length << 8) | der[2 + i];
    element.headerSize = 2 + lengthBytes;
    element.contentSize = length;
  }
  if (element.contentSize > der.size() - element.headerSize) return std::nullopt;
  return element;
}

constexpr std::uint8_t kSequence = 0x30;
constexpr std::uint8_t kExplicitVersion = 0xA0;

}  // namespace

std::optional<KeyPin> ParseKeyPin(std::string_view text) {
  if (!IsKeyPinText(text)) return std::nullopt;
  KeyPin pin{};
  for (std::size_t i = 0; i < pin.size(); ++i) {
    pin[i] = static_cast<std::uint8_t>(HexValue(text[2 * i]) << 4 | HexValue(text[2 * i + 1]));
  }
  return pin;
}

std::string KeyPinText(const KeyPin& pin) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(kKeyPinDigits);
  for (const std::uint8_t byte : pin) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

bool IsPinnedKey(std::span<const std::string_view> pins, const KeyPin& key) {
  for (const std::string_view text : pins) {
    const std::optional<KeyPin> pin = ParseKeyPin(text);
    if (!pin) {
      LOG_INFO("signer key pin \"%.*s\" ignored: not 64 lower-case hexadecimal digits", static_cast<int>(text.size()),
               text.data());
      continue;
    }
    if (*pin == key) return true;
  }
  return false;
}

std::optional<std::span<const std::uint8_t>> SubjectPublicKeyInfoOf(std::span<const std::uint8_t> certificate) {
  // Certificate ::= SEQUENCE { tbsCertificate SEQUENCE { [0] version OPTIONAL, serialNumber,
  //   signature, issuer, validity, subject, subjectPublicKeyInfo, ... }, ... }
  const auto outer = ReadElement(certificate);
  if (!outer || outer->tag != kSequence) return std::nullopt;
  const auto outerContent = certificate.subspan(outer->headerSize, outer->contentSize);
  const auto tbs = ReadElement(outerContent);
  if (!tbs || tbs->tag != kSequence) return std::nullopt;
  auto rest = outerContent.subspan(tbs->headerSize, tbs->contentSize);
  auto next = ReadElement(rest);
  if (next && next->tag == kExplicitVersion) {
    rest = rest.subspan(next->size());
    next = ReadElement(rest);
  }
  // Serial number, signature algorithm, issuer, validity and subject come before the key.
  for (int skipped = 0; skipped < 5; ++skipped) {
    if (!next) return std::nullopt;
    rest = rest.subspan(next->size());
    next = ReadElement(rest);
  }
  if (!next || next->tag != kSequence) return std::nullopt;
  return rest.first(next->size());
}

std::optional<KeyPin> KeyPinOfCertificate(std::span<const std::uint8_t> certificate) {
  const auto key = SubjectPublicKeyInfoOf(certificate);
  if (!key) return std::nullopt;
  KeyPin pin{};
  SHA256(key->data(), key->size(), pin.data());
  return pin;
}
