#pragma once
// Settings of the product build: what ships to users.

inline constexpr wchar_t kDeploymentName[] = L"product";

// Analytics collection endpoint. Placeholders of the right forms until a real property is
// configured: identifier "G-" and ten upper-case letters or digits, secret 22 letters or digits.
inline constexpr wchar_t kAnalyticsHost[] = L"api.nexvale.example";
inline constexpr wchar_t kAnalyticsMeasurementId[] = L"G-NEXVALE001";
inline constexpr wchar_t kAnalyticsApiSecret[] = L"ExampleSecretNotReal01";

// Product API: the banner feed.
inline constexpr wchar_t kProductApiHost[] = L"api.nexvale.example";
