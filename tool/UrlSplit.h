#pragma once
// How the utility requests and the HTTP client take a URL apart. Both rules are deliberately
// simple and differ: the utility requests never split off a port (they always use 443, then 80),
// while the client connects to the port written in the URL.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Utility-request split: after an "http://" or "https://" prefix, the host is the text before the
// first "/" and the path the text after it (that "/" belongs to neither); a port stays in the
// host and a query in the path. A URL without either prefix leaves host and path unchanged and
// counts as split. False when the text after the prefix has no "/".
bool SplitUrl(std::wstring_view url, std::wstring& host, std::wstring& path);

struct HttpClientTarget {
  std::wstring host;
  uint16_t port = 80;
  // From the first "/" on, query included; "/" when the URL has no path.
  std::wstring path;
};

// HTTP client split: port 80 unless the URL carries "https://" (443) or an explicit port after the
// host ("host:8080"; a colon without digits gives 0). Everything up to and including the first
// "http://" (or, failing that, "https://") is dropped. Empty when the explicit port is larger than
// 65535, which no connection can use.
std::optional<HttpClientTarget> SplitClientUrl(std::wstring_view url);

// The object name of a request line for a path as SplitUrl gives it (without its leading "/").
std::wstring RequestObject(std::wstring_view path);
