#pragma once
// Key pins of the installer's signer: the SHA-256 of the signing certificate's public key
// (its SubjectPublicKeyInfo, DER), written as 64 lower-case hexadecimal digits. A key pin
// survives the renewal of the certificate; a name would trust every authority that issues it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

using KeyPin = std::array<std::uint8_t, 32>;

inline constexpr std::size_t kKeyPinDigits = 64;

// Exactly 64 digits 0-9 and a-f: one spelling, so a pin is found by searching for it.
constexpr bool IsKeyPinText(std::string_view text) {
  if (text.size() != kKeyPinDigits) return false;
  for (const char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

// A deployment's pin list, checked when it is compiled: at least one pin (the current key, and
// the next one during a rollover), each of the pin form. An empty list or a malformed pin is a
// compile error, so no deployment can switch the check off.
template <typename... Pins>
consteval std::array<std::string_view, sizeof...(Pins)> MakeSignerKeyPins(const Pins&... pins) {
  static_assert(sizeof...(Pins) > 0, "a deployment pins at least one signer key");
  std::array<std::string_view, sizeof...(Pins)> list{std::string_view(pins)...};
  for (const std::string_view pin : list) {
    if (!IsKeyPinText(pin)) throw "a signer key pin is 64 lower-case hexadecimal digits";
  }
  return list;
}

std::optional<KeyPin> ParseKeyPin(std::string_view text);
std::string KeyPinText(const KeyPin& pin);

// Whether `key` is one of `pins`. A malformed pin in the list matches nothing and is logged.
bool IsPinnedKey(std::span<const std::string_view> pins, const KeyPin& key);

// The SubjectPublicKeyInfo inside a DER certificate, as the bytes it is encoded with; nothing
// when the certificate's outer structure does not hold one (every length is checked against
// what is there before it is followed).
std::optional<std::span<const std::uint8_t>> SubjectPublicKeyInfoOf(std::span<const std::uint8_t> certificate);

// The pin of the key that a DER certificate carries.
std::optional<KeyPin> KeyPinOfCertificate(std::span<const std::uint8_t> certificate);
