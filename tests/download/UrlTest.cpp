#include <gtest/gtest.h>

#include <boost/system/system_error.hpp>

#include "download/http/location.h"
#include "download/http/url.h"

namespace httpdl {
namespace {

struct ParsedCase {
  const char* text;
  const char* protocol;
  const char* user_info;
  const char* host;
  const char* port_text;
  const char* path;
  const char* query;
  const char* fragment;
  bool ipv6;
  unsigned port;
};

TEST(ParsedUrl, SplitsEveryPart) {
  const ParsedCase cases[] = {
      {"HTTPS://Host:8443/a%20b?x=1#top", "https", "", "Host", "8443", "/a%20b", "x=1", "top", false, 8443},
      {"http://h", "http", "", "h", "", "/", "", "", false, 80},
      {"https://h?q", "https", "", "h", "", "/", "q", "", false, 443},
      {"ftp://h#f", "ftp", "", "h", "", "/", "", "f", false, 21},
      {"gopher://h/", "gopher", "", "h", "", "/", "", "", false, 0},
      {"http://[::1]/x", "http", "", "::1", "", "/x", "", "", true, 80},
      {"http://[::1]:8080", "http", "", "::1", "8080", "/", "", "", true, 8080},
      {"http://user:pw@h/x", "http", "user:pw", "h", "", "/x", "", "", false, 80},
      {"http://user@h:81/x", "http", "user", "h", "81", "/x", "", "", false, 81},
      {"http://h:81/x@y", "http", "", "h", "81", "/x@y", "", "", false, 81},
      {"http://a:b:c@h", "http", "a:b:c", "h", "", "/", "", "", false, 80},
      {"http://h/p?a=1?b#c#d", "http", "", "h", "", "/p", "a=1?b", "c#d", false, 80},
      {"http://h:65535/", "http", "", "h", "65535", "/", "", "", false, 65535},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    boost::system::error_code ec;
    const parsed_url url(c.text, ec);
    ASSERT_FALSE(ec);
    EXPECT_EQ(url.protocol(), c.protocol);
    EXPECT_EQ(url.user_info(), c.user_info);
    EXPECT_EQ(url.host(), c.host);
    EXPECT_EQ(url.port_text(), c.port_text);
    EXPECT_EQ(url.path(), c.path);
    EXPECT_EQ(url.query(), c.query);
    EXPECT_EQ(url.fragment(), c.fragment);
    EXPECT_EQ(url.ipv6(), c.ipv6);
    EXPECT_EQ(url.port(), c.port);
  }
}

TEST(ParsedUrl, RejectsMalformedTextAndStaysEmpty) {
  for (const char* text : {"http://h:/x", "http://h:8a/x", "ftp:/x", "no-colon", "http:h", "http://[::1/x",
                           "http://[::1]x/", "http://h:65536/", "http://h:99999999999999999999/", "://h/x",
                           "http://@@h/", "http://u@v@h/"}) {
    SCOPED_TRACE(text);
    boost::system::error_code ec;
    const parsed_url url(text, ec);
    EXPECT_EQ(ec, boost::system::errc::invalid_argument);
    EXPECT_TRUE(url.empty());
    EXPECT_EQ(url.to_string(), "");
    EXPECT_THROW(parsed_url{text}, boost::system::system_error);
  }
}

TEST(ParsedUrl, ComposesTheSelectedParts) {
  const parsed_url url("HTTPS://u:p@Host:8443/a%20b?x=1#top");
  EXPECT_EQ(url.to_string(url_part::all), "https://u:p@Host:8443/a%20b?x=1#top");
  EXPECT_EQ(url.to_string(url_part::host_and_port), "Host:8443");
  EXPECT_EQ(url.to_string(url_part::request_target), "/a%20b?x=1#top");
  EXPECT_EQ(parsed_url("http://h/p").to_string(url_part::host_and_port), "h");
  EXPECT_EQ(parsed_url("http://[::1]:81/").to_string(url_part::host_and_port), "[::1]:81");
  EXPECT_EQ(parsed_url("http://[fe80::1]/x").to_string(), "http://[fe80::1]/x");
}

TEST(Location, ResolvesReferencesAgainstTheRequestUrl) {
  const struct {
    const char* base;
    const char* reference;
    const char* expected;
  } cases[] = {
      {"http://h/a/x?y", "b/c", "http://h/a/b/c"},
      {"http://h/a/x?y", "/dl/x.exe", "http://h/dl/x.exe"},
      {"http://h:81/a/x?y", "/dl/x.exe?v=2", "http://h:81/dl/x.exe?v=2"},
      {"https://h/a/x", "//cdn.example/f", "https://cdn.example/f"},
      {"http://h/a/b/c", "../d", "http://h/a/d"},
      {"http://h/a/b/c", "./d/../e", "http://h/a/b/e"},
      {"http://h/a/b/c", "../../../../d", "http://h/d"},
      {"http://h/a/x?y", "?z", "http://h/a/x?z"},
      {"http://h/a/x?y", "#f", "http://h/a/x?y#f"},
      {"http://u@h/a?q", "b", "http://u@h/b"},
      {"http://h", "b", "http://h/b"},
      {"http://h/a/x", "https://other/y", "https://other/y"},
      {"http://h/a/x", "HTTP://other", "HTTP://other"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.base) + " + " + c.reference);
    EXPECT_EQ(resolve_reference(parsed_url(c.base), c.reference), c.expected);
  }
}

}  // namespace
}  // namespace httpdl
