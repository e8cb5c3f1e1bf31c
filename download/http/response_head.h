#pragma once
// Reading the head of an HTTP response: the status line and the header block, fed in pieces
// as they arrive, and the values the stream takes from the headers.

#include <cstdint>
#include <string>
#include <string_view>

#include <boost/system/error_code.hpp>

#include "download/http/header_options.h"

namespace httpdl {

struct response_head {
  int status_code = 0;
  header_options options;         // "_status_code", then each header in order of arrival
  std::string content_type;
  std::int64_t content_length = -1;  // the largest of Content-Length and Content-Range's total
  std::int64_t body_length = -1;     // Content-Length alone: where this response's body ends
  std::string location;           // as received; the stream makes it absolute
  bool chunked = false;           // Transfer-Encoding: chunked
  bool connection_close = false;  // the server's Connection names "close"
};

// One status line with its CR LF: "HTTP/" digits "." digits SP code SP reason CR LF.
bool parse_status_line(std::string_view line, int& status);

// A whole header block, each line ended by CR LF or a bare LF, without the empty line that
// ends it. Appends the headers to `head.options` and fills the recognised values.
// Fails with malformed_response_headers.
boost::system::error_code parse_header_block(std::string_view block, response_head& head);

class response_head_parser {
 public:
  // The whole head, interim 100 responses included, may not be longer than this.
  static constexpr std::size_t kMaxHeadBytes = 64 * 1024;

  enum class result { need_more, done, failed };

  // Consumes the head's bytes from the front of `data`; `consumed` tells how many were taken.
  // After `done` the bytes beyond `consumed` belong to the body.
  result feed(std::string_view data, std::size_t& consumed);
  // The error to report when the stream ends before the head is complete; `eof` is what the
  // transport reported.
  boost::system::error_code end_of_stream_error(const boost::system::error_code& eof) const;

  const boost::system::error_code& error() const { return error_; }
  const response_head& head() const { return head_; }

 private:
  enum class phase { status_line, after_continue_cr, after_continue_lf, header_block, block_end_lf, done, failed };
  result fail(boost::system::error_code ec);
  result finish_status_line();
  result finish_block();

  phase phase_ = phase::status_line;
  std::string line_;
  std::string block_;
  bool at_line_start_ = true;
  std::size_t total_ = 0;
  response_head head_;
  boost::system::error_code error_;
};

}  // namespace httpdl
