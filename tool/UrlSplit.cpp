#include "tool/UrlSplit.h"

namespace {

constexpr std::wstring_view kHttp = L"http://";
constexpr std::wstring_view kHttps = L"https://";

}  // namespace

bool SplitUrl(std::wstring_view url, std::wstring& host, std::wstring& path) {
  std::wstring_view rest;
  if (url.starts_with(kHttp)) {
    rest = url.substr(kHttp.size());
  } else if (url.starts_with(kHttps)) {
    rest = url.substr(kHttps.size());
  } else {
    // The request that follows fails for want of a host.
    return true;
  }
  const size_t slash = rest.find(L'/');
  if (slash == std::wstring_view::npos) return false;
  host.assign(rest.substr(0, slash));
  path.assign(rest.substr(slash + 1));
  return true;
}

std::optional<HttpClientTarget> SplitClientUrl(std::wstring_view url) {
  HttpClientTarget target;
  std::wstring_view rest = url;
  if (const size_t at = url.find(kHttp); at != std::wstring_view::npos) {
    rest = url.substr(at + kHttp.size());
  } else if (const size_t secureAt = url.find(kHttps); secureAt != std::wstring_view::npos) {
    target.port = 443;
    rest = url.substr(secureAt + kHttps.size());
  }

  const size_t slash = rest.find(L'/');
  std::wstring_view host = rest.substr(0, slash);
  target.path = slash == std::wstring_view::npos ? std::wstring(L"/") : std::wstring(rest.substr(slash));

  if (const size_t colon = host.find(L':'); colon != std::wstring_view::npos) {
    uint32_t port = 0;
    for (const wchar_t c : host.substr(colon + 1)) {
      if (c < L'0' || c > L'9') break;
      port = port * 10 + static_cast<uint32_t>(c - L'0');
      if (port > 65535) return std::nullopt;
    }
    target.port = static_cast<uint16_t>(port);
    host = host.substr(0, colon);
  }
  target.host.assign(host);
  return target;
}

std::wstring RequestObject(std::wstring_view path) {
  if (path.starts_with(L'/')) return std::wstring(path);
  return L"/" + std::wstring(path);
}
