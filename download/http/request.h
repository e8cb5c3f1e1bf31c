#pragma once
// The exact bytes of an HTTP/1.1 request, built from a URL and the caller's options.

#include <string>

#include <boost/system/error_code.hpp>

#include "download/http/cookie_store.h"
#include "download/http/header_options.h"
#include "download/http/url.h"

namespace httpdl {

inline constexpr const char* kDefaultAccept = "text/html, application/xhtml+xml, */*";
inline constexpr const char* kDefaultUserAgent = "Mozilla/5.0 (Windows NT 6.1; Trident/7.0; rv:11.0) like Gecko";

struct built_request {
  parsed_url url;        // where the request goes: the given URL, or the one in "_url"
  std::string text;      // the bytes to send
  header_options sent;   // the record of every value sent, with the target as "_path"
};

// Fails with the generic invalid-argument error when "_url" does not parse, or when a value
// would break the request's framing (CR or LF anywhere, white space or control bytes in the
// target, a header name that is empty or holds a colon).
built_request build_request(const parsed_url& url, const header_options& options,
                            const cookie_store& cookies, unix_seconds now,
                            boost::system::error_code& ec);

}  // namespace httpdl
