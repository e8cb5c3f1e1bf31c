#pragma once
// Cookies received by one stream and sent back on its later requests: "Set-Cookie" parsing,
// HTTP date parsing, and the domain, path, secure-flag and expiry rules that decide which
// stored cookies a request carries.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "download/http/url.h"

namespace httpdl {

// Seconds since 1970-01-01 00:00:00 UTC.
using unix_seconds = std::int64_t;

// Reads a date in any of the usual HTTP forms ("Sun, 06 Nov 1994 08:49:37 GMT", the older
// "Sunday, 06-Nov-94 08:49:37 GMT", "Sun Nov  6 08:49:37 1994" and the variants servers put
// in cookies) by the lenient cookie-date rules. False when the text holds no valid date.
bool parse_http_date(std::string_view text, unix_seconds& out);

struct cookie {
  std::string name;
  std::string value;
  std::string domain;        // lower case, without a leading dot
  std::string path;
  bool host_only = true;     // no Domain attribute: only the exact host gets it back
  bool secure = false;
  bool http_only = false;
  std::optional<unix_seconds> expires;  // none: lives as long as the store
};

// Parses one "Set-Cookie" value received for `url`. Nothing when the value is malformed or
// its Domain does not cover the host it came from.
std::optional<cookie> parse_set_cookie(std::string_view header, const parsed_url& url,
                                       unix_seconds now);

class cookie_store {
 public:
  // Keeps at most this many cookies; the oldest goes first.
  static constexpr std::size_t kMaxCookies = 64;

  // Stores, replaces or (when already expired) deletes the cookie a "Set-Cookie" value sets.
  void set_cookie(std::string_view header, const parsed_url& url, unix_seconds now);
  // "name=value" of each stored cookie that `url` may receive, joined by "; ": longer paths
  // first, then older cookies first.
  std::string cookie_string(const parsed_url& url, unix_seconds now) const;

  std::size_t size() const { return cookies_.size(); }
  void clear() { cookies_.clear(); }

 private:
  struct stored {
    cookie c;
    std::uint64_t created;
  };
  std::vector<stored> cookies_;
  std::uint64_t next_created_ = 0;
};

}  // namespace httpdl
