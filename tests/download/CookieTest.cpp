#include <gtest/gtest.h>

#include "download/http/cookie_store.h"

namespace httpdl {
namespace {

// 1994-11-06 08:49:37 UTC
constexpr unix_seconds kNov1994 = 784111777;
constexpr unix_seconds kNow = 1'700'000'000;  // 2023-11-14

TEST(HttpDate, ReadsTheUsualForms) {
  const struct {
    const char* text;
    unix_seconds expected;  // -1: not a date
  } cases[] = {
      {"Sun, 06 Nov 1994 08:49:37 GMT", kNov1994},
      {"Sunday, 06-Nov-94 08:49:37 GMT", kNov1994},
      {"Sun Nov  6 08:49:37 1994", kNov1994},
      {"Sun, 06-Nov-1994 08:49:37 GMT", kNov1994},
      {"6 november 1994 8:49:37", kNov1994},
      {"Thu, 01 Jan 1970 00:00:00 GMT", 0},
      {"Tue, 29 Feb 2000 12:00:00 GMT", 951825600},
      {"Fri, 31 Dec 9999 23:59:59 GMT", 253402300799},
      {"Wed, 01 Jan 2020 00:00:00 GMT", 1577836800},
      {"Wed, 01 Jan 20 00:00:00 GMT", 1577836800},
      {"Tue, 29 Feb 2001 12:00:00 GMT", -1},
      {"Sun, 31 Nov 1994 08:49:37 GMT", -1},
      {"Sun, 06 Nov 1994 24:00:00 GMT", -1},
      {"Sun, 06 Nov 1994 GMT", -1},
      {"Sun, 06 Nob 1994 08:49:37 GMT", -1},
      {"Mon, 01 Jan 1600 00:00:00 GMT", -1},
      {"", -1},
      {"tomorrow", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    unix_seconds value = -1;
    EXPECT_EQ(parse_http_date(c.text, value), c.expected != -1);
    if (c.expected != -1) {
      EXPECT_EQ(value, c.expected);
    }
  }
}

TEST(SetCookie, ReadsNameValueAndAttributes) {
  const auto c = parse_set_cookie(
      " id = a b ; Domain=.Example.COM; Path=/dl; Expires=Sun, 06 Nov 1994 08:49:37 GMT; Secure; HttpOnly",
      parsed_url("https://www.example.com/dl/x"), kNow);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->name, "id");
  EXPECT_EQ(c->value, "a b");
  EXPECT_EQ(c->domain, "example.com");
  EXPECT_FALSE(c->host_only);
  EXPECT_EQ(c->path, "/dl");
  EXPECT_EQ(c->expires, kNov1994);
  EXPECT_TRUE(c->secure);
  EXPECT_TRUE(c->http_only);

  const auto defaults = parse_set_cookie("n=v; Path=relative; Expires=soon", parsed_url("http://Host/a/b/c?q"), kNow);
  ASSERT_TRUE(defaults);
  EXPECT_EQ(defaults->domain, "host");
  EXPECT_TRUE(defaults->host_only);
  EXPECT_EQ(defaults->path, "/a/b");
  EXPECT_FALSE(defaults->expires);

  const auto max_age = parse_set_cookie("n=v; Max-Age=60; Expires=Sun, 06 Nov 1994 08:49:37 GMT",
                                        parsed_url("http://h/"), kNow);
  ASSERT_TRUE(max_age);
  EXPECT_EQ(max_age->expires, kNow + 60);

  for (const char* refused : {"novalue", "=v", "n=v; Domain=other.com", "n=v; Domain=ample.com"}) {
    SCOPED_TRACE(refused);
    EXPECT_FALSE(parse_set_cookie(refused, parsed_url("http://example.com/"), kNow));
  }
  EXPECT_FALSE(parse_set_cookie("n=v; Domain=0.0.1", parsed_url("http://10.0.0.1/"), kNow));
}

TEST(CookieStore, SendsOnlyWhatDomainPathSecureAndExpiryAllow) {
  const parsed_url origin("https://www.example.com/dl/file.exe");
  cookie_store store;
  store.set_cookie("host=1", origin, kNow);                                   // host-only, path /dl
  store.set_cookie("wide=2; Domain=example.com; Path=/", origin, kNow);
  store.set_cookie("secure=3; Path=/; Secure", origin, kNow);
  store.set_cookie("deep=4; Path=/dl/sub", origin, kNow);
  store.set_cookie("short=5; Path=/; Max-Age=100", origin, kNow);
  store.set_cookie("old=6; Path=/; Expires=Sun, 06 Nov 1994 08:49:37 GMT", origin, kNow);
  EXPECT_EQ(store.size(), 5u);

  const struct {
    const char* url;
    unix_seconds now;
    const char* expected;
  } cases[] = {
      {"https://www.example.com/dl/file.exe", kNow, "host=1; wide=2; secure=3; short=5"},
      {"https://www.example.com/dl/sub/x", kNow, "deep=4; host=1; wide=2; secure=3; short=5"},
      {"https://www.example.com/dl", kNow, "host=1; wide=2; secure=3; short=5"},
      {"https://www.example.com/dlx", kNow, "wide=2; secure=3; short=5"},
      {"http://www.example.com/dl/file.exe", kNow, "host=1; wide=2; short=5"},
      {"https://cdn.example.com/dl/file.exe", kNow, "wide=2"},
      {"https://WWW.Example.com/dl/x", kNow, "host=1; wide=2; secure=3; short=5"},
      {"https://example.com/", kNow, "wide=2"},
      {"https://badexample.com/", kNow, ""},
      {"https://www.example.com/", kNow + 100, "wide=2; secure=3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    EXPECT_EQ(store.cookie_string(parsed_url(c.url), c.now), c.expected);
  }
}

TEST(CookieStore, ReplacesAndDeletesByNameDomainAndPath) {
  const parsed_url origin("http://h/");
  cookie_store store;
  store.set_cookie("a=1", origin, kNow);
  store.set_cookie("b=1", origin, kNow);
  store.set_cookie("a=2", origin, kNow);
  EXPECT_EQ(store.cookie_string(origin, kNow), "a=2; b=1");
  store.set_cookie("a=gone; Max-Age=0", origin, kNow);
  EXPECT_EQ(store.cookie_string(origin, kNow), "b=1");
  store.set_cookie("b=gone; Expires=Thu, 01 Jan 1970 00:00:00 GMT", origin, kNow);
  EXPECT_EQ(store.size(), 0u);

  for (std::size_t i = 0; i < cookie_store::kMaxCookies + 10; ++i) {
    store.set_cookie("c" + std::to_string(i) + "=v", origin, kNow);
  }
  EXPECT_EQ(store.size(), cookie_store::kMaxCookies);
  EXPECT_EQ(store.cookie_string(origin, kNow).substr(0, 8), "c10=v; c");
}

}  // namespace
}  // namespace httpdl
