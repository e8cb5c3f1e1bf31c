// Set-Cookie values and HTTP dates: no crash, no cookie sent to a host or path it does not
// cover, and the store stays within its bound.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "download/http/cookie_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  constexpr httpdl::unix_seconds now = 1'700'000'000;
  httpdl::unix_seconds date = 0;
  (void)httpdl::parse_http_date(text, date);

  const httpdl::parsed_url origin("https://www.example.com/dl/file.exe");
  httpdl::cookie_store store;
  // Each line is one Set-Cookie value.
  std::string_view rest = text;
  while (!rest.empty()) {
    const auto end = rest.find('\n');
    store.set_cookie(rest.substr(0, end), origin, now);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
  if (store.size() > httpdl::cookie_store::kMaxCookies) std::abort();
  (void)store.cookie_string(origin, now);
  if (!store.cookie_string(httpdl::parsed_url("https://other.test/dl/file.exe"), now).empty()) std::abort();
  if (!store.cookie_string(httpdl::parsed_url("https://example.com.evil/"), now).empty()) std::abort();
  return 0;
}
