#include <gtest/gtest.h>

#include <boost/asio/error.hpp>

#include "download/http/error.h"
#include "download/http/response_head.h"

namespace httpdl {
namespace {

struct Outcome {
  response_head_parser::result result;
  boost::system::error_code error;
  response_head head;
  std::string rest;  // bytes after the head
};

// Feeds `bytes` in pieces of `piece` bytes, as a network would deliver them.
Outcome Parse(const std::string& bytes, std::size_t piece = 1 << 20) {
  response_head_parser parser;
  Outcome out{response_head_parser::result::need_more, {}, {}, {}};
  for (std::size_t at = 0; at < bytes.size();) {
    const std::string_view chunk = std::string_view(bytes).substr(at, piece);
    std::size_t consumed = 0;
    out.result = parser.feed(chunk, consumed);
    at += consumed;
    if (out.result != response_head_parser::result::need_more) {
      out.rest = bytes.substr(at);
      break;
    }
  }
  out.error = parser.error();
  out.head = parser.head();
  return out;
}

TEST(StatusLine, AcceptsTheGrammarAndNothingElse) {
  const struct {
    const char* line;
    int status;  // 0: rejected
  } cases[] = {
      {"HTTP/1.1 206 Partial Content\r\n", 206},
      {"HTTP/1.0 200 OK\r\n", 200},
      {"HTTP/1.1 404 \r\n", 404},
      {"HTTP/12.34 302 Found it \xC3\xA4\r\n", 302},
      {"HTTP/1.1 200\r\n", 0},
      {"HTTP/1.1 200 OK\n", 0},
      {"HTTP/1.1 200 OK\r", 0},
      {"HTTP/1.1 200 OK", 0},
      {"HTTP/1.1  200 OK\r\n", 0},
      {"HTTP/1.1 200  OK\r\n", 200},
      {"HTTP/1 200 OK\r\n", 0},
      {"HTTP/.1 200 OK\r\n", 0},
      {"HTTP/1. 200 OK\r\n", 0},
      {"http/1.1 200 OK\r\n", 0},
      {" HTTP/1.1 200 OK\r\n", 0},
      {"HTTP/1.1 OK\r\n", 0},
      {"HTTP/1.1 2000 OK\r\n", 0},
      {"HTTP/1.1 20x OK\r\n", 0},
      {"HTTP/1.1 200 O\x01K\r\n", 0},
      {"HTTP/1.1 200 OK\x7f\r\n", 0},
      {"HTTP/1.1 200 OK\r\r\n", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    int status = 0;
    EXPECT_EQ(parse_status_line(c.line, status), c.status != 0);
    if (c.status != 0) {
      EXPECT_EQ(status, c.status);
    }
  }
}

TEST(ResponseHead, ReadsHeadersInOrderAndLeavesTheBody) {
  const std::string bytes =
      "HTTP/1.1 206 Partial Content\r\n"
      "Content-Type:  application/octet-stream \r\n"
      "X-Folded: first\r\n"
      " \t second\r\n"
      "x-bare-lf: yes\n"
      "Set-Cookie: a=1\r\n"
      "Set-Cookie: b=2\r\n"
      "X-Tab: a\tb\r\n"
      "X-Empty:\r\n"
      "X-High: \xC3\xA4\r\n"
      "\r\n"
      "body bytes";
  for (std::size_t piece : {std::size_t{1}, std::size_t{7}, bytes.size()}) {
    SCOPED_TRACE(piece);
    const Outcome out = Parse(bytes, piece);
    ASSERT_EQ(out.result, response_head_parser::result::done) << out.error.message();
    EXPECT_EQ(out.rest, "body bytes");
    EXPECT_EQ(out.head.status_code, 206);
    EXPECT_EQ(out.head.content_type, "application/octet-stream");
    const std::vector<header_options::entry> expected = {
        {"_status_code", "206"},        {"Content-Type", "application/octet-stream"},
        {"X-Folded", "first second"},   {"x-bare-lf", "yes"},
        {"Set-Cookie", "a=1"},          {"Set-Cookie", "b=2"},
        {"X-Tab", "a\tb"},              {"X-Empty", ""},
        {"X-High", "\xC3\xA4"}};
    EXPECT_EQ(out.head.options.entries(), expected);
  }
}

TEST(ResponseHead, BareLineFeedsEndTheBlockToo) {
  const Outcome out = Parse("HTTP/1.1 200 OK\r\nA: 1\nB: 2\n\nrest");
  ASSERT_EQ(out.result, response_head_parser::result::done);
  EXPECT_EQ(out.head.options.value_of("B"), "2");
  EXPECT_EQ(out.rest, "rest");
}

TEST(ResponseHead, RejectsMalformedHeaderBlocks) {
  for (const char* block : {"Bad Name: x\r\n", ": x\r\n", "NoColon\r\n", "A: b\x01\r\n", " leading: fold\r\n",
                            "A: b\rC: d\r\n", "Na(me): v\r\n", "N@me: v\r\n", "A: 1\r\n\rX", "A: \x7f\r\n",
                            "N\xC3\xA4me: v\r\n"}) {
    SCOPED_TRACE(block);
    const Outcome out = Parse(std::string("HTTP/1.1 200 OK\r\n") + block + "\r\n");
    EXPECT_EQ(out.result, response_head_parser::result::failed);
    EXPECT_EQ(out.error, make_error_code(errors::malformed_response_headers));
  }
}

TEST(ResponseHead, SkipsInterimContinueResponses) {
  const Outcome ok = Parse("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 100 Go on\r\n\r\nHTTP/1.1 200 OK\r\nA: 1\r\n\r\n");
  ASSERT_EQ(ok.result, response_head_parser::result::done);
  EXPECT_EQ(ok.head.status_code, 200);
  EXPECT_EQ(ok.head.options.entries().front(), header_options::entry("_status_code", "200"));

  const Outcome with_headers = Parse("HTTP/1.1 100 Continue\r\nX: y\r\n\r\nHTTP/1.1 200 OK\r\n\r\n");
  EXPECT_EQ(with_headers.result, response_head_parser::result::failed);
  EXPECT_EQ(with_headers.error, make_error_code(errors::malformed_status_line));
}

TEST(ResponseHead, LengthComesFromContentLengthAndContentRange) {
  const struct {
    const char* headers;
    std::int64_t length;
  } cases[] = {
      {"Content-Length: 10\r\nContent-Range: bytes 0-9/100\r\n", 100},
      {"Content-Range: bytes 0-9/100\r\nContent-Length: 10\r\n", 100},
      {"Content-Length: 20\r\ncontent-length: 10\r\n", 20},
      {"Content-Length: 0\r\n", 0},
      {"Content-Length: 9223372036854775807\r\n", INT64_MAX},
      {"Content-Length: 9223372036854775808\r\n", -1},
      {"Content-Length: 99999999999999999999999\r\n", -1},
      {"Content-Length: -5\r\n", -1},
      {"Content-Length: +5\r\n", -1},
      {"Content-Length: abc\r\n", -1},
      {"Content-Length: 5, 5\r\n", -1},
      {"Content-Length:\r\n", -1},
      {"Content-Range: bytes */1000\r\n", 1000},
      {"Content-Range: bytes 0-9/*\r\n", -1},
      {"Content-Range: bytes 0-9\r\n", -1},
      {"Content-Range: bytes 0-9/ 77 \r\n", 77},
      {"", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.headers);
    const Outcome out = Parse(std::string("HTTP/1.1 206 Partial Content\r\n") + c.headers + "\r\n");
    ASSERT_EQ(out.result, response_head_parser::result::done);
    EXPECT_EQ(out.head.content_length, c.length);
  }
}

TEST(ResponseHead, TheBodyEndsAfterContentLengthNotAfterTheWholeFile) {
  const Outcome range = Parse("HTTP/1.1 206 Partial Content\r\nContent-Length: 10\r\nContent-Range: bytes 0-9/100\r\n\r\n");
  EXPECT_EQ(range.head.content_length, 100);
  EXPECT_EQ(range.head.body_length, 10);
  const Outcome no_length = Parse("HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-9/100\r\n\r\n");
  EXPECT_EQ(no_length.head.body_length, -1);
}

TEST(ResponseHead, RecognisesLocationTransferCodingAndConnection) {
  const Outcome out = Parse(
      "HTTP/1.1 302 Found\r\nlocation: /a\r\nTransfer-Encoding: Chunked\r\nConnection: keep-alive, Close\r\n\r\n");
  ASSERT_EQ(out.result, response_head_parser::result::done);
  EXPECT_EQ(out.head.location, "/a");
  EXPECT_TRUE(out.head.chunked);
  EXPECT_TRUE(out.head.connection_close);

  const Outcome plain = Parse("HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\nConnection: keep-alive\r\n\r\n");
  EXPECT_FALSE(plain.head.chunked);
  EXPECT_FALSE(plain.head.connection_close);
}

TEST(ResponseHead, EndOfStreamIsReportedByWhereItCame) {
  const boost::system::error_code eof = boost::asio::error::eof;
  const struct {
    const char* bytes;
    boost::system::error_code expected;
  } cases[] = {
      {"", eof},
      {"HTTP/1.1 20", errors::malformed_status_line},
      {"HTTP/1.1 100 Continue\r\n", errors::malformed_status_line},
      {"HTTP/1.1 200 OK\r\nA: 1\r\n", errors::malformed_response_headers},
      {"HTTP/1.1 200 OK\r\n\r", errors::malformed_response_headers},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    response_head_parser parser;
    std::size_t consumed = 0;
    EXPECT_EQ(parser.feed(c.bytes, consumed), response_head_parser::result::need_more);
    EXPECT_EQ(parser.end_of_stream_error(eof), c.expected);
  }
}

TEST(ResponseHead, RefusesAHeadWithoutEnd) {
  const std::string endless = "HTTP/1.1 200 OK\r\n" + std::string(response_head_parser::kMaxHeadBytes, 'X');
  EXPECT_EQ(Parse(endless).error, make_error_code(errors::malformed_response_headers));
  EXPECT_EQ(Parse("HTTP/1.1 200 " + std::string(response_head_parser::kMaxHeadBytes, 'X')).error,
            make_error_code(errors::malformed_status_line));
}

}  // namespace
}  // namespace httpdl
