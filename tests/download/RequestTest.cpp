#include <gtest/gtest.h>

#include "download/http/request.h"

namespace httpdl {
namespace {

constexpr unix_seconds kNow = 1'700'000'000;

std::string build(const char* url, const header_options& options, const cookie_store& cookies = {}) {
  boost::system::error_code ec;
  const built_request request = build_request(parsed_url(url), options, cookies, kNow, ec);
  EXPECT_FALSE(ec) << ec.message();
  return request.text;
}

TEST(HeaderOptions, FindsCaseInsensitivelyAndRemovesExactly) {
  header_options options;
  options.insert("Range", "bytes=0-");
  options.insert("range", "second");
  std::string value = "untouched";
  EXPECT_FALSE(options.find("Cookie", value));
  EXPECT_EQ(value, "untouched");
  EXPECT_TRUE(options.find("RANGE", value));
  EXPECT_EQ(value, "bytes=0-");
  options.remove("RANGE");
  EXPECT_EQ(options.size(), 2u);
  options.remove("Range");
  ASSERT_TRUE(options.find("Range", value));
  EXPECT_EQ(value, "second");
}

TEST(Request, DefaultTextIsFixedByteForByte) {
  EXPECT_EQ(build("http://h/p", {}),
            "GET /p HTTP/1.1\r\n"
            "Host: h\r\n"
            "Accept: text/html, application/xhtml+xml, */*\r\n"
            "User-Agent: Mozilla/5.0 (Windows NT 6.1; Trident/7.0; rv:11.0) like Gecko\r\n"
            "Connection: close\r\n"
            "\r\n");
}

TEST(Request, CallerOptionsTakeTheirFixedPlacesOrFollowInOrder) {
  header_options options;
  options.insert("Range", "bytes=0-");
  options.insert("connection", "keep-alive");
  options.insert("Referer", "http://r/");
  options.insert("_status_code", "never sent");
  options.insert("_anything", "never sent");
  EXPECT_EQ(build("http://h:8080/a?q=1#f", options),
            "GET /a?q=1#f HTTP/1.1\r\n"
            "Host: h:8080\r\n"
            "Accept: text/html, application/xhtml+xml, */*\r\n"
            "User-Agent: Mozilla/5.0 (Windows NT 6.1; Trident/7.0; rv:11.0) like Gecko\r\n"
            "Connection: keep-alive\r\n"
            "Range: bytes=0-\r\n"
            "Referer: http://r/\r\n"
            "\r\n");
}

TEST(Request, MethodVersionHostBodyAndReplacementUrl) {
  header_options options;
  options.insert("_request_method", "POST");
  options.insert("_http_version", "HTTP/1.0");
  options.insert("_url", "http://other:81/x?y");
  options.insert("Accept", "*/*");
  options.insert("User-Agent", "agent");
  options.insert("Content-Length", "4");
  options.insert("_request_body", "body");
  boost::system::error_code ec;
  const built_request request = build_request(parsed_url("http://h/p"), options, {}, kNow, ec);
  ASSERT_FALSE(ec);
  EXPECT_EQ(request.text,
            "POST /x?y HTTP/1.0\r\n"
            "Host: other:81\r\n"
            "Accept: */*\r\n"
            "User-Agent: agent\r\n"
            "Connection: close\r\n"
            "Content-Length: 4\r\n"
            "\r\n"
            "body");
  EXPECT_EQ(request.url.to_string(), "http://other:81/x?y");
  EXPECT_EQ(request.sent.value_of("_path"), "/x?y");
  EXPECT_EQ(request.sent.value_of("_request_method"), "POST");
  EXPECT_EQ(request.sent.value_of("Host"), "other:81");
  EXPECT_EQ(request.sent.value_of("Connection"), "close");
  EXPECT_EQ(request.sent.value_of("_request_body"), "body");
}

TEST(Request, CookiesFromTheStoreFollowTheUserAgent) {
  cookie_store cookies;
  cookies.set_cookie("a=1", parsed_url("http://h/"), kNow);
  cookies.set_cookie("b=2; Path=/p", parsed_url("http://h/"), kNow);
  header_options options;
  options.insert("Cookie", "own=3");
  EXPECT_EQ(build("http://h/p/x", options, cookies),
            "GET /p/x HTTP/1.1\r\n"
            "Host: h\r\n"
            "Accept: text/html, application/xhtml+xml, */*\r\n"
            "User-Agent: Mozilla/5.0 (Windows NT 6.1; Trident/7.0; rv:11.0) like Gecko\r\n"
            "Cookie: b=2; a=1\r\n"
            "Connection: close\r\n"
            "Cookie: own=3\r\n"
            "\r\n");
}

TEST(Request, RefusesValuesThatWouldBreakTheFraming) {
  const struct {
    const char* url;
    const char* name;
    const char* value;
  } cases[] = {
      {"http://h/a b", "Range", "bytes=0-"},
      {"http://h/a\r\nX: y", "Range", "bytes=0-"},
      {"http://h/", "Range", "bytes=0-\r\nX: y"},
      {"http://h/", "Bad:Name", "v"},
      {"http://h/", "", "v"},
      {"http://h/", "Host", "h\nX: y"},
      {"http://h/", "_request_method", "GET /x"},
      {"http://h/", "_url", "not a url"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url + std::string(" ") + c.name);
    header_options options;
    options.insert(c.name, c.value);
    boost::system::error_code ec;
    const built_request request = build_request(parsed_url(c.url), options, {}, kNow, ec);
    EXPECT_EQ(ec, boost::system::errc::invalid_argument);
    EXPECT_EQ(request.text, "");
  }
}

}  // namespace
}  // namespace httpdl
