#pragma once
// Settings of the local build used by the tests and the demo: every address it reaches is on
// loopback, inside the test network namespace.

#include "installer/SignerKeyPin.h"

inline constexpr wchar_t kDeploymentName[] = L"local";

// Analytics collection endpoint: the test world's collector stand-in behind nginx, reached over
// TLS on 443 like the product's.
inline constexpr wchar_t kAnalyticsHost[] = L"localhost";
inline constexpr wchar_t kAnalyticsMeasurementId[] = L"G-LOCALTEST1";
inline constexpr wchar_t kAnalyticsApiSecret[] = L"LocalCollectorSecret01";

// Product API (banner feed): the test world's nginx.
inline constexpr wchar_t kProductApiHost[] = L"localhost";
// The installer's signer: the key committed with the test harness
// (tests/harness/signing/test-signing.key), test data trusted nowhere else. Its certificates
// come from each test run's own authority.
inline constexpr auto kInstallerSignerKeyPins =
    MakeSignerKeyPins("b5aae884845830e73e35c38f2d18a56a59b3eeefcf3212dc1582f1cc27f64f74");
