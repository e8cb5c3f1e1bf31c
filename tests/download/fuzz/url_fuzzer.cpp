// URL parsing and reference resolution: no crash, and every URL that parses composes back into
// text that parses to the same parts.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "download/http/location.h"
#include "download/http/url.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  boost::system::error_code ec;
  const httpdl::parsed_url url(text, ec);
  if (!ec) {
    const httpdl::parsed_url again(url.to_string(), ec);
    if (ec || !(again == url)) std::abort();
    (void)url.port();
  }
  const httpdl::parsed_url base("http://user@host:8080/a/b/c?q#f");
  const std::string resolved = httpdl::resolve_reference(base, text);
  const httpdl::parsed_url target(resolved, ec);
  (void)target;
  return 0;
}
