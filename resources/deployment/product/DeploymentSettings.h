#pragma once
// Settings of the product build: what ships to users.

#include "installer/SignerKeyPin.h"

inline constexpr wchar_t kDeploymentName[] = L"product";

// Analytics collection endpoint. Placeholders of the right forms until a real property is
// configured: identifier "G-" and ten upper-case letters or digits, secret 22 letters or digits.
inline constexpr wchar_t kAnalyticsHost[] = L"api.nexvale.example";
inline constexpr wchar_t kAnalyticsMeasurementId[] = L"G-NEXVALE001";
inline constexpr wchar_t kAnalyticsApiSecret[] = L"ExampleSecretNotReal01";

// Product API: the banner feed.
inline constexpr wchar_t kProductApiHost[] = L"api.nexvale.example";
// The installer's signer: the SHA-256 of the maker's code-signing public key (SubjectPublicKeyInfo,
// DER), the current key and, during a rollover, the next. A placeholder of the right form until
// the maker's key is configured: no real installer passes the check with it.
inline constexpr auto kInstallerSignerKeyPins =
    MakeSignerKeyPins("0000000000000000000000000000000000000000000000000000000000000000");
