// The stream against real peers of the test world: nginx on 127.0.0.1 (plain on 80, TLS with the
// test root on 443, TLS with a self-signed certificate on 4443) and the scripted fault server.

#include <gtest/gtest.h>

#include <boost/asio/error.hpp>
#include <boost/asio/steady_timer.hpp>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "download/http/error.h"
#include "download/http/http_stream.h"
#include "tests/support/TestWorld.h"

namespace httpdl {
namespace {

namespace asio = boost::asio;
using boost::system::error_code;

using testsupport::Environment;
using testsupport::ServeFile;
using testsupport::WorldPath;

std::string Scripted(const std::string& response, const std::string& action = "close") {
  return testsupport::ScriptedUrl(response, action);
}

std::string Echo() { return testsupport::FaultServerUrl("/echo"); }

std::string Content(std::size_t size) { return testsupport::PatternBytes(size); }

class HttpStream : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(testsupport::WorldIsUp(why)) << why;
  }

  bool async() const { return GetParam(); }

  error_code Open(http_stream& stream, const std::string& url) {
    error_code result;
    if (!async()) {
      stream.open(url, result);
      return result;
    }
    bool done = false;
    stream.async_open(url, [&](const error_code& ec) {
      result = ec;
      done = true;
    });
    Run(done);
    return result;
  }

  error_code SendRequest(http_stream& stream, const header_options& options) {
    error_code result;
    bool done = false;
    stream.async_send_request(options, [&](const error_code& ec) {
      result = ec;
      done = true;
    });
    Run(done);
    return result;
  }

  std::size_t ReadSome(http_stream& stream, char* data, std::size_t size, error_code& ec) {
    if (!async()) return stream.read_some(asio::buffer(data, size), ec);
    std::size_t bytes = 0;
    bool done = false;
    stream.async_read_some(asio::buffer(data, size), [&](const error_code& e, std::size_t n) {
      ec = e;
      bytes = n;
      done = true;
    });
    Run(done);
    return bytes;
  }

  // Reads until a read ends with an error or with 0 bytes; returns the body and how it ended.
  std::string ReadBody(http_stream& stream, error_code& end, std::size_t piece = 2048) {
    std::string body;
    std::vector<char> buffer(piece);
    for (;;) {
      const std::size_t n = ReadSome(stream, buffer.data(), buffer.size(), end);
      body.append(buffer.data(), n);
      if (end || n == 0) return body;
    }
  }

  void Run(const bool& done) {
    io_.restart();
    while (!done && io_.run_one()) {
    }
    ASSERT_TRUE(done) << "the operation never completed";
  }

  asio::io_context io_;
};

header_options KeepAlive() {
  header_options options;
  options.insert("Connection", "keep-alive");
  return options;
}

TEST_P(HttpStream, KeepAliveCarriesRangeRequestsOnOneConnection) {
  const std::string content = Content(300000);
  ServeFile("stream/ranges.bin", content);
  http_stream stream(io_);
  header_options options = KeepAlive();
  options.insert("Range", "bytes=0-99999");
  stream.set_request_options(options);
  ASSERT_FALSE(Open(stream, "http://127.0.0.1/stream/ranges.bin"));
  EXPECT_EQ(stream.status_code(), 206);
  EXPECT_EQ(stream.content_length(), 300000);
  EXPECT_EQ(stream.response_options().value_of("_status_code"), "206");
  EXPECT_EQ(stream.response_options().value_of("Content-Range"), "bytes 0-99999/300000");
  EXPECT_TRUE(stream.keep_alive());
  error_code end;
  EXPECT_EQ(ReadBody(stream, end), content.substr(0, 100000));
  EXPECT_FALSE(end);

  options.remove("Range");
  options.insert("Range", "bytes=299990-");
  ASSERT_FALSE(SendRequest(stream, options));
  EXPECT_EQ(stream.status_code(), 206);
  EXPECT_EQ(ReadBody(stream, end, 3), content.substr(299990));
  EXPECT_FALSE(end);
}

TEST_P(HttpStream, ConnectionCloseEndsTheBodyWithEndOfStream) {
  ServeFile("stream/small.txt", "twelve bytes");
  http_stream stream(io_);
  ASSERT_FALSE(Open(stream, "http://127.0.0.1/stream/small.txt"));
  EXPECT_EQ(stream.status_code(), 200);
  EXPECT_EQ(stream.content_length(), 12);
  EXPECT_FALSE(stream.keep_alive());
  error_code end;
  EXPECT_EQ(ReadBody(stream, end), "twelve bytes");
  EXPECT_EQ(end, asio::error::eof);
}

TEST_P(HttpStream, ChunkedBodiesEndWithTheConnectionsRule) {
  const std::string content = Content(70000);
  ServeFile("chunked/body.txt", content);
  http_stream stream(io_);
  stream.set_request_options(KeepAlive());
  ASSERT_FALSE(Open(stream, "http://127.0.0.1/chunked/body.txt"));
  ASSERT_EQ(stream.response_options().value_of("Transfer-Encoding"), "chunked");
  EXPECT_EQ(stream.content_length(), -1);
  error_code end;
  EXPECT_EQ(ReadBody(stream, end, 1000), content);
  EXPECT_FALSE(end);
  // The trailer was consumed: the next response on the connection parses.
  ASSERT_FALSE(SendRequest(stream, KeepAlive()));
  EXPECT_EQ(ReadBody(stream, end), content);
  EXPECT_FALSE(end);

  http_stream closing(io_);
  ASSERT_FALSE(Open(closing, "https://127.0.0.1/chunked/body.txt"));
  ASSERT_EQ(closing.response_options().value_of("Transfer-Encoding"), "chunked");
  EXPECT_EQ(ReadBody(closing, end), content);
  EXPECT_EQ(end, asio::error::eof);
}

TEST_P(HttpStream, FollowsRedirectsUpToTheLimit) {
  http_stream stream(io_);
  ASSERT_FALSE(Open(stream, "http://127.0.0.1/hop/5"));
  EXPECT_EQ(stream.status_code(), 200);
  EXPECT_EQ(stream.location(), "http://127.0.0.1/index.html");
  error_code end;
  EXPECT_EQ(ReadBody(stream, end), "nexvale test server\n");

  // The count starts again with every open: five more hops are fine, a sixth is not.
  EXPECT_FALSE(Open(stream, "https://127.0.0.1/hop/5"));
  EXPECT_EQ(stream.location(), "https://127.0.0.1/index.html");
  EXPECT_EQ(Open(stream, "http://127.0.0.1/hop/6"), status_error(302));
  EXPECT_EQ(stream.location(), "http://127.0.0.1/index.html");

  http_stream no_redirects(io_);
  no_redirects.set_redirect_limit(0);
  EXPECT_EQ(Open(no_redirects, "http://127.0.0.1/hop/2"), status_error(301));
  EXPECT_EQ(no_redirects.location(), "http://127.0.0.1/hop/1");
  EXPECT_EQ(no_redirects.status_code(), 301);
  error_code ignored;
  no_redirects.close(ignored);
  EXPECT_EQ(no_redirects.location(), "");
}

TEST_P(HttpStream, RelativeLocationsAreResolvedAgainstTheRequest) {
  http_stream stream(io_);
  stream.set_redirect_limit(0);
  const std::string url = Scripted("HTTP/1.1 302 Found\r\nLocation: b/c?x\r\nContent-Length: 0\r\n\r\n");
  EXPECT_EQ(Open(stream, url), status_error(302));
  EXPECT_EQ(stream.location(), "http://127.0.0.1:" + Environment("NEXVALE_TEST_FAULT_PORT") + "/raw/b/c?x");

  EXPECT_EQ(Open(stream, Scripted("HTTP/1.1 302 Found\r\nLocation: //127.0.0.1/dl/x.exe\r\n\r\n")),
            status_error(302));
  EXPECT_EQ(stream.location(), "http://127.0.0.1/dl/x.exe");

  http_stream following(io_);
  const error_code expected = async() ? make_error_code(errors::invalid_redirect)
                                      : make_error_code(boost::system::errc::invalid_argument);
  EXPECT_EQ(Open(following, Scripted("HTTP/1.1 302 Found\r\nLocation: http://h:x/\r\n\r\n")), expected);
  EXPECT_EQ(Open(following, Scripted("HTTP/1.1 301 Moved\r\nContent-Length: 0\r\n\r\n")), expected);
}

TEST_P(HttpStream, OtherStatusesEndTheOpenWithTheirNumber) {
  http_stream stream(io_);
  EXPECT_EQ(Open(stream, "http://127.0.0.1/stream/missing"), status_error(404));
  EXPECT_EQ(stream.status_code(), 404);
  EXPECT_EQ(stream.response_options().value_of("_status_code"), "404");
  EXPECT_EQ(Open(stream, Scripted("HTTP/1.1 416 Range Not Satisfiable\r\nContent-Range: bytes */1000\r\n\r\n")),
            status_error(416));
  EXPECT_EQ(stream.content_length(), 1000);
}

TEST_P(HttpStream, RefusesOtherProtocolsAtOnce) {
  http_stream stream(io_);
  EXPECT_EQ(Open(stream, "ftp://127.0.0.1/file"), asio::error::operation_not_supported);
  EXPECT_EQ(Open(stream, "not a url"), boost::system::errc::invalid_argument);
}

TEST_P(HttpStream, TriesEachAddressOfAHostInTurn) {
  // Nothing of the test world listens on 127.0.0.9.
  http_stream stream(io_);
  stream.set_host_addresses("two.test", {asio::ip::make_address("127.0.0.9"), asio::ip::make_address("127.0.0.1")});
  ASSERT_FALSE(Open(stream, "http://two.test/index.html"));
  EXPECT_EQ(stream.sent_options().value_of("Host"), "two.test");
  error_code end;
  EXPECT_EQ(ReadBody(stream, end), "nexvale test server\n");

  http_stream refused(io_);
  refused.set_host_addresses("one.test", {asio::ip::make_address("127.0.0.9")});
  EXPECT_EQ(Open(refused, "http://one.test/index.html"), asio::error::connection_refused);
  refused.set_host_addresses("none.test", {});
  EXPECT_EQ(Open(refused, "http://none.test/index.html"), asio::error::host_not_found);
}

TEST_P(HttpStream, CertificatesAreCheckedOnlyWhenAsked) {
  const std::string self_signed = WorldPath("NEXVALE_TEST_SELF_SIGNED");
  const std::string test_root = WorldPath("NEXVALE_TEST_CA");
  ASSERT_FALSE(self_signed.empty());

  http_stream unchecked(io_);
  EXPECT_FALSE(Open(unchecked, "https://127.0.0.1:4443/index.html"));

  http_stream checked(io_);
  checked.set_verify_certificate(true);
  EXPECT_TRUE(Open(checked, "https://127.0.0.1:4443/index.html"));
  EXPECT_TRUE(Open(checked, "https://localhost:4443/index.html"));

  http_stream given_root(io_);
  given_root.set_verify_certificate(true);
  given_root.set_ca_file(self_signed);
  EXPECT_FALSE(Open(given_root, "https://127.0.0.1:4443/index.html"));
  error_code ignored;
  given_root.close(ignored);
  EXPECT_FALSE(Open(given_root, "https://localhost:4443/index.html"));
  given_root.close(ignored);
  // The right root, the wrong name.
  given_root.set_host_addresses("elsewhere.test", {asio::ip::make_address("127.0.0.1")});
  EXPECT_TRUE(Open(given_root, "https://elsewhere.test:4443/index.html"));

  http_stream test_ca(io_);
  test_ca.set_verify_certificate(true);
  test_ca.set_ca_file(test_root);
  EXPECT_FALSE(Open(test_ca, "https://localhost/index.html"));
  // A verified connection does not follow a redirect to plain HTTP.
  test_ca.close(ignored);
  EXPECT_EQ(Open(test_ca, "https://localhost/to-plain"), make_error_code(errors::invalid_redirect));
  EXPECT_EQ(test_ca.location(), "http://127.0.0.1/index.html");
  EXPECT_FALSE(Open(unchecked, "https://localhost/to-plain"));
}

TEST_P(HttpStream, TheSystemStoreDecidesWithoutAFile) {
  http_stream system_only(io_);
  system_only.set_verify_certificate(true);
  const error_code result = Open(system_only, "https://localhost/index.html");
#ifdef _WIN32
  // The test world imported its root into the machine's "ROOT" store.
  EXPECT_FALSE(result) << result.message();
#else
  // Natively the test root is in no system store.
  EXPECT_TRUE(result);
#endif
}

TEST_P(HttpStream, RejectsMalformedHeads) {
  const struct {
    const char* response;
    error_code expected;
  } cases[] = {
      {"HTTP/1.1 200\r\nContent-Length: 0\r\n\r\n", errors::malformed_status_line},
      {"HTTP/1.1 200 OK\nContent-Length: 0\r\n\r\n", errors::malformed_status_line},
      {"ICY 200 OK\r\n\r\n", errors::malformed_status_line},
      {"HTTP/1.1 100 Continue\r\nX: y\r\n\r\nHTTP/1.1 200 OK\r\n\r\n", errors::malformed_status_line},
      {"HTTP/1.1 200 OK\r\nBad Header: x\r\n\r\n", errors::malformed_response_headers},
      {"HTTP/1.1 200 OK\r\nX: a\x01\r\n\r\n", errors::malformed_response_headers},
      {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n", errors::malformed_response_headers},
      {"HTTP/1.1 20", errors::malformed_status_line},
      {"", asio::error::eof},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.response);
    http_stream stream(io_);
    EXPECT_EQ(Open(stream, Scripted(c.response)), c.expected);
  }
}

TEST_P(HttpStream, ReadsLenientButWellFormedHeads) {
  http_stream stream(io_);
  ASSERT_FALSE(Open(stream, Scripted("HTTP/1.1 100 Continue\r\n\r\n"
                                     "HTTP/1.1 200 OK\r\nContent-Length: 5\nX-Folded: a\n b\nContent-Length: x\n\nhello")));
  EXPECT_EQ(stream.response_options().value_of("X-Folded"), "a b");
  EXPECT_EQ(stream.content_length(), 5);
  error_code end;
  EXPECT_EQ(ReadBody(stream, end), "hello");
  EXPECT_EQ(end, asio::error::eof);
}

TEST_P(HttpStream, EmptyBodyOnAKeptConnectionEndsAtOnce) {
  http_stream stream(io_);
  stream.set_request_options(KeepAlive());
  ASSERT_FALSE(Open(stream, Scripted("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", "keep")));
  char byte = 0;
  error_code ec;
  EXPECT_EQ(ReadSome(stream, &byte, 1, ec), 0u);
  EXPECT_FALSE(ec);
}

TEST_P(HttpStream, ChunkFramesAreChecked) {
  const struct {
    const char* body;
    const char* action;
    const char* data;
    error_code end;
  } cases[] = {
      {"5\r\nhello\r\n0\r\n\r\n", "close", "hello", asio::error::eof},
      {"5;x=y\r\nhello\r\n0\r\nT: 1\r\n\r\n", "close", "hello", asio::error::eof},
      {"5\r\nhelloX\r\n0\r\n\r\n", "close", "hello", errors::invalid_chunked_encoding},
      {"zz\r\nhello\r\n", "close", "", errors::invalid_chunked_encoding},
      {"ffffffffffffffffff\r\n", "close", "", errors::invalid_chunked_encoding},
      {"5\r\nhel", "close", "hel", errors::invalid_chunked_encoding},
      {"5\r\nhello\r\n", "close", "hello", errors::invalid_chunked_encoding},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body);
    http_stream stream(io_);
    ASSERT_FALSE(Open(stream, Scripted(std::string("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n") + c.body,
                                       c.action)));
    error_code end;
    EXPECT_EQ(ReadBody(stream, end), c.data);
    EXPECT_EQ(end, c.end);
  }
}

TEST_P(HttpStream, AResetMidBodyIsAnError) {
  http_stream stream(io_);
  ASSERT_FALSE(Open(stream, Scripted("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nfirst", "reset")));
  error_code end;
  EXPECT_EQ(ReadBody(stream, end), "first");
  // Some loopback stacks report the reset as an end of stream; either way the body is cut short
  // with an error, never a clean end.
  EXPECT_TRUE(end == asio::error::connection_reset || end == asio::error::eof) << end.message();
}

// Only the asynchronous read can be ended by a timer on the same io_context.
class StalledHttpStream : public HttpStream {};

TEST_P(StalledHttpStream, CloseEndsAStalledRead) {
  http_stream stream(io_);
  ASSERT_FALSE(Open(stream, Scripted("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n", "stall")));
  asio::steady_timer timer(io_, std::chrono::milliseconds(200));
  timer.async_wait([&](const error_code&) {
    error_code ignored;
    stream.close(ignored);
  });
  char buffer[16];
  error_code ec;
  EXPECT_EQ(ReadSome(stream, buffer, sizeof buffer, ec), 0u);
#ifdef _WIN32
  EXPECT_TRUE(ec);  // Wine reports its own code for an overlapped read on a closed socket
#else
  EXPECT_EQ(ec, asio::error::operation_aborted);
#endif
  EXPECT_FALSE(stream.is_open());
}

TEST_P(HttpStream, SendsTheRequestTextAndItsCookies) {
  http_stream stream(io_);
  const std::string port = Environment("NEXVALE_TEST_FAULT_PORT");
  header_options options;
  options.insert("Range", "bytes=0-");
  stream.set_request_options(options);
  const std::string url =
      Scripted("HTTP/1.1 302 Found\r\nSet-Cookie: id=42; Path=/\r\nSet-Cookie: other=1; Domain=elsewhere.test\r\n"
               "Location: /echo\r\nContent-Length: 0\r\n\r\n");
  ASSERT_FALSE(Open(stream, url));
  error_code end;
  EXPECT_EQ(ReadBody(stream, end),
            "GET /echo HTTP/1.1\r\n"
            "Host: 127.0.0.1:" + port + "\r\n"
            "Accept: text/html, application/xhtml+xml, */*\r\n"
            "User-Agent: Mozilla/5.0 (Windows NT 6.1; Trident/7.0; rv:11.0) like Gecko\r\n"
            "Cookie: id=42\r\n"
            "Connection: close\r\n"
            "Range: bytes=0-\r\n"
            "\r\n");
  EXPECT_EQ(stream.location(), Echo());
}

std::string ModeName(const ::testing::TestParamInfo<bool>& info) { return info.param ? "Async" : "Blocking"; }
INSTANTIATE_TEST_SUITE_P(Modes, HttpStream, ::testing::Values(false, true), ModeName);
INSTANTIATE_TEST_SUITE_P(Modes, StalledHttpStream, ::testing::Values(true), ModeName);

}  // namespace
}  // namespace httpdl
