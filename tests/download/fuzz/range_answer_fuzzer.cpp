// The rules for the heads of the probe's answer and of range answers: no crash, and nothing
// they accept breaks the invariants the downloader builds on (a size within the bound, a range
// inside its file). The input is up to four lines: status, Content-Length, Content-Range,
// Connection; a line left out is a header left out, and the first byte chooses which are left.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "download/http/range_answer.h"
#include "download/http/state_file.h"

namespace {

using httpdl::header_options;

header_options HeadOf(std::string_view text, std::uint8_t present) {
  static constexpr const char* kNames[] = {httpdl::option::status_code, "Content-Length", "Content-Range", "Connection"};
  header_options head;
  for (int field = 0; field < 4; ++field) {
    const auto end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (present & (1u << field)) head.insert(kNames[field], std::string(line));
  }
  return head;
}

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const header_options head = HeadOf(text, data[0]);

  httpdl::content_range range;
  if (!httpdl::parse_content_range(head.value_of("Content-Range"), range)) {
    Require(range.first >= 0 && range.first <= range.last);
    Require(range.total == -1 || (range.last < range.total && range.total <= httpdl::kMaxFileSize));
  }

  const httpdl::probe_verdict verdict = httpdl::interpret_probe(head);
  if (verdict.error) {
    Require(verdict.file_size == -1 && !verdict.multi_connection);
  } else {
    Require(verdict.file_size >= -1 && verdict.file_size <= httpdl::kMaxFileSize);
    if (verdict.multi_connection) {
      Require(verdict.file_size > 0 && verdict.answered_last >= 0 && verdict.answered_last < verdict.file_size);
    }
    // One connection writes from byte 0, so an answer it keeps starts there.
    if (!verdict.multi_connection && verdict.answered_last >= 0) Require(verdict.from_zero);
  }

  // A range answer for the range the probe's answer would leave next.
  if (verdict.multi_connection) {
    const std::int64_t first = verdict.answered_last < verdict.file_size - 1 ? verdict.answered_last + 1 : 0;
    std::int64_t last = -1;
    if (!httpdl::check_range_answer(head, first, verdict.file_size, last)) {
      Require(last >= first && last < verdict.file_size);
    }
  }
  return 0;
}
