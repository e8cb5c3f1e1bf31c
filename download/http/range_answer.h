#pragma once
// Judging the heads of the answers a range download gets, free of I/O. The probe's answer
// decides the file's size and whether the file is split among connections; every later answer
// must be exactly the part asked for. An answer whose numbers cannot all be true (a range that
// ends at or past its own total, a body longer than its range, a size no download can have) is
// refused, never taken as a finished download.

#include <cstdint>
#include <string>
#include <string_view>

#include <boost/system/error_code.hpp>

#include "download/http/header_options.h"

namespace httpdl {

// "bytes <first>-<last>/<total>", total -1 for "*" (unknown).
struct content_range {
  std::int64_t first = 0;
  std::int64_t last = 0;
  std::int64_t total = -1;
};

// Reads a Content-Range value; the numbers must satisfy first <= last < total. Errors:
// size_out_of_bounds for a total above kMaxFileSize, invalid_content_range for anything else
// that is not such a range.
boost::system::error_code parse_content_range(std::string_view text, content_range& out);

// What the probe's answer ("bytes=0-" asked for) means for the download.
struct probe_verdict {
  boost::system::error_code error;  // set: the answer cannot be used and the download fails
  std::int64_t file_size = -1;      // -1 while unknown
  bool multi_connection = false;    // the file can be fetched in ranges by several connections
  bool from_zero = false;           // the answer's body starts at byte 0
  std::int64_t answered_last = -1;  // the last byte the answer announces (206 with a range)
  bool keep_alive = false;          // the server keeps connections open for further requests
};
probe_verdict interpret_probe(const header_options& head);

// The head of an answer to a request for the range starting at `expected_first` of a file of
// `file_size` bytes: nothing but a 206 for exactly that start and total, whose body does not
// run past its range, may be written there. On success `answered_last` is the range's last byte.
boost::system::error_code check_range_answer(const header_options& head, std::int64_t expected_first,
                                             std::int64_t file_size, std::int64_t& answered_last);

// The status and the size headers of an answer, as a log names them:
// "206, Content-Length 1024, Content-Range bytes 0-1023/1".
std::string answer_summary(const header_options& head);

}  // namespace httpdl
