#pragma once
// The utility requests the install flow and the banner fetch make.

#include <cstddef>
#include <cstdint>
#include <string>

// GET `url` (TLS on 443, then plain HTTP on 80): the body as bytes; empty when no answer came or
// the body is longer than `limit` bytes (logged). The status is not looked at, so an error
// page's body comes back like any other.
std::string HttpGetString(const std::wstring& url, size_t limit);

// HEAD `url`: the announced Content-Length; 0 when the request or the header failed.
uint32_t GetHttpFileSize(const std::wstring& url);

// GET http://`host`/`path` on port 80 without following redirects. A 302 answer puts its Location
// text, unresolved, into `url` and gives true; any other status gives false with `url` unchanged.
// An answer that never arrives is logged and gives true with `url` unchanged, so the caller keeps
// the address it asked about.
bool GetRedirectUrl(const std::wstring& host, const std::wstring& path, std::wstring& url);
