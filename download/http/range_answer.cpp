#include "download/http/range_answer.h"

#include <algorithm>

#include "common/AsciiText.h"
#include "download/http/error.h"
#include "download/http/state_file.h"

namespace httpdl {

namespace {

using asciitext::TrimBlanks;

bool all_digits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), asciitext::IsDigit);
}

// A byte count as a header gives it: -1 when the text is not decimal digits. Counts beyond 63
// bits saturate: every bound they meet is far lower, so they fail it like any large count.
std::int64_t read_count(std::string_view text) {
  text = TrimBlanks(text);
  if (!all_digits(text)) return -1;
  return static_cast<std::int64_t>(asciitext::ParseDecimal(text, INT64_MAX).value_or(INT64_MAX));
}

int status_number(const header_options& head) {
  return static_cast<int>(asciitext::ParseDecimal(head.value_of(option::status_code), 999).value_or(0));
}

// The body's own length against the range it is announced to carry.
bool body_fits(const header_options& head, const content_range& range) {
  std::string text;
  if (!head.find(option::content_length, text)) return true;
  const std::int64_t length = read_count(text);
  return length < 0 || length <= range.last - range.first + 1;
}

}  // namespace

boost::system::error_code parse_content_range(std::string_view text, content_range& out) {
  const boost::system::error_code invalid = errors::invalid_content_range;
  text = TrimBlanks(text);
  const auto space = text.find(' ');
  if (space == std::string_view::npos || !asciitext::EqualsIgnoringCase(text.substr(0, space), "bytes")) return invalid;
  const std::string_view span = text.substr(space + 1);
  const auto dash = span.find('-');
  const auto slash = span.find('/');
  if (dash == std::string_view::npos || slash == std::string_view::npos || dash > slash) return invalid;
  const std::int64_t first = read_count(span.substr(0, dash));
  const std::int64_t last = read_count(span.substr(dash + 1, slash - dash - 1));
  const std::string_view total_text = TrimBlanks(span.substr(slash + 1));
  const std::int64_t total = total_text == "*" ? -1 : read_count(total_text);
  if (total_text != "*" && total < 0) return invalid;
  if (total > kMaxFileSize) return errors::size_out_of_bounds;
  if (first < 0 || last < first || (total >= 0 && last >= total)) return invalid;
  out = {first, last, total};
  return {};
}

probe_verdict interpret_probe(const header_options& head) {
  probe_verdict verdict;
  const auto refuse = [&verdict](boost::system::error_code ec) {
    verdict = probe_verdict();
    verdict.error = ec;
    return verdict;
  };
  std::string length_text;
  const bool has_length = head.find(option::content_length, length_text);
  const std::int64_t length = read_count(length_text);
  verdict.file_size = length;

  const int status = status_number(head);
  if (status != 200 && status != 206) return refuse(status_error(status));
  std::string range_text;
  // Partial content means the server serves ranges. The file's size is then the total of
  // Content-Range (Content-Length is only this part's length), and only a Content-Range makes
  // the later answers checkable, so without one the download keeps to one connection. A
  // Content-Length that is there but no number makes the answers untrustworthy: one connection
  // then reads the body.
  if (status == 206 && head.find(option::content_range, range_text)) {
    content_range answered;
    if (const auto ec = parse_content_range(range_text, answered)) return refuse(ec);
    if (!body_fits(head, answered)) return refuse(errors::body_beyond_range);
    verdict.from_zero = answered.first == 0;
    verdict.answered_last = answered.last;
    if (answered.total >= 0) verdict.file_size = answered.total;
    verdict.multi_connection = answered.total >= 0 && (!has_length || length >= 0);
    // One connection writes the answer from byte 0 on, so it has to start there.
    if (!verdict.multi_connection && answered.first > 0) return refuse(errors::malformed_response_headers);
  }
  if (verdict.file_size > kMaxFileSize) return refuse(errors::size_out_of_bounds);
  verdict.keep_alive = asciitext::Lowered(head.value_of(option::connection)) == "keep-alive";
  return verdict;
}

boost::system::error_code check_range_answer(const header_options& head, std::int64_t expected_first,
                                             std::int64_t file_size, std::int64_t& answered_last) {
  const int status = status_number(head);
  if (status != 206) return status_error(status);
  std::string range_text;
  if (!head.find(option::content_range, range_text)) return errors::invalid_content_range;
  content_range answered;
  if (const auto ec = parse_content_range(range_text, answered)) return ec;
  if (answered.first != expected_first || answered.total != file_size) return errors::invalid_content_range;
  if (!body_fits(head, answered)) return errors::body_beyond_range;
  answered_last = answered.last;
  return {};
}

std::string answer_summary(const header_options& head) {
  std::string out = head.value_of(option::status_code);
  for (const char* name : {option::content_length, option::content_range}) {
    std::string value;
    if (head.find(name, value)) out.append(", ").append(name).append(" ").append(value);
  }
  return out;
}

}  // namespace httpdl
