// The heads of the probe's answer and of the answers for ranges, judged without any network.

#include <gtest/gtest.h>

#include <optional>

#include "download/http/error.h"
#include "download/http/range_answer.h"
#include "download/http/state_file.h"

namespace httpdl {
namespace {

using boost::system::error_code;

struct Head {
  const char* status;
  const char* content_length;  // null: no such header
  const char* content_range;   // null: no such header
  const char* connection = "keep-alive";
};

header_options OptionsOf(const Head& head) {
  header_options options;
  options.insert(option::status_code, head.status);
  if (head.content_length) options.insert("Content-Length", head.content_length);
  if (head.content_range) options.insert("content-range", head.content_range);
  if (head.connection) options.insert("Connection", head.connection);
  return options;
}

constexpr std::int64_t kBound = kMaxFileSize;

TEST(ProbeAnswer, DecidesSizeAndConnectionsOrRefusesTheAnswer) {
  const error_code ok;
  const error_code invalid = errors::invalid_content_range;
  const error_code beyond = errors::body_beyond_range;
  const error_code too_large = errors::size_out_of_bounds;
  const struct {
    const char* what;
    Head head;
    error_code error;
    std::int64_t size;
    bool multi;
    bool from_zero;
    std::int64_t last;
  } cases[] = {
      {"whole file", {"200", "1000", nullptr}, ok, 1000, false, false, -1},
      {"whole file of unknown size", {"200", nullptr, nullptr}, ok, -1, false, false, -1},
      {"whole file with a length that is no number", {"200", "many", nullptr}, ok, -1, false, false, -1},
      {"first part of a file served in ranges", {"206", "65536", "bytes 0-65535/400000"}, ok, 400000, true, true, 65535},
      {"range without a length", {"206", nullptr, "bytes 0-99/1000"}, ok, 1000, true, true, 99},
      {"spelling and blanks", {"206", " 100 ", "  BYTES 0 - 99 / 1000 "}, ok, 1000, true, true, 99},
      {"range that does not start at 0", {"206", "95", "bytes 5-99/1000"}, ok, 1000, true, false, 99},
      {"partial content without a range: one connection", {"206", "1000", nullptr}, ok, 1000, false, false, -1},
      {"range with a length that is no number: one connection", {"206", "many", "bytes 0-99/1000"}, ok, 1000, false, true, 99},
      {"one connection cannot start past 0", {"206", "many", "bytes 5-99/1000"}, errors::malformed_response_headers, -1, false, false, -1},
      {"unknown total: one connection", {"206", "100", "bytes 0-99/*"}, ok, 100, false, true, 99},
      // Answers whose numbers cannot all be true.
      {"last byte past a total of 1", {"206", "1024", "bytes 0-1023/1"}, invalid, -1, false, false, -1},
      {"total of 0", {"206", "1024", "bytes 0-1023/0"}, invalid, -1, false, false, -1},
      {"last byte at the total", {"206", nullptr, "bytes 0-1000/1000"}, invalid, -1, false, false, -1},
      {"first byte after the last", {"206", nullptr, "bytes 10-5/1000"}, invalid, -1, false, false, -1},
      {"body longer than its range", {"206", "2048", "bytes 0-1023/4096"}, beyond, -1, false, false, -1},
      {"unsatisfied form", {"206", nullptr, "bytes */1000"}, invalid, -1, false, false, -1},
      {"no total", {"206", nullptr, "bytes 0-99"}, invalid, -1, false, false, -1},
      {"other unit", {"206", nullptr, "items 0-99/1000"}, invalid, -1, false, false, -1},
      {"total that is no number", {"206", nullptr, "bytes 0-99/lots"}, invalid, -1, false, false, -1},
      // Sizes at and beyond the bound.
      {"total at the bound", {"206", "1024", "bytes 0-1023/1099511627776"}, ok, kBound, true, true, 1023},
      {"total one above the bound", {"206", "1024", "bytes 0-1023/1099511627777"}, too_large, -1, false, false, -1},
      {"total of 2^62", {"206", "1024", "bytes 0-1023/4611686018427387904"}, too_large, -1, false, false, -1},
      {"largest signed 64-bit total", {"206", "1024", "bytes 0-1023/9223372036854775807"}, too_large, -1, false, false, -1},
      {"largest unsigned 64-bit total", {"206", "1024", "bytes 0-1023/18446744073709551615"}, too_large, -1, false, false, -1},
      {"total beyond 64 bits", {"206", "1024", "bytes 0-1023/99999999999999999999999"}, too_large, -1, false, false, -1},
      {"whole file at the bound", {"200", "1099511627776", nullptr}, ok, kBound, false, false, -1},
      {"whole file one above the bound", {"200", "1099511627777", nullptr}, too_large, -1, false, false, -1},
      {"whole file beyond 64 bits", {"200", "18446744073709551616", nullptr}, too_large, -1, false, false, -1},
      {"unknown total with a length above the bound", {"206", "4611686018427387904", "bytes 0-4611686018427387903/*"}, too_large, -1, false, false, -1},
      {"refusal", {"404", "0", nullptr}, status_error(404), -1, false, false, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const probe_verdict verdict = interpret_probe(OptionsOf(c.head));
    EXPECT_EQ(verdict.error, c.error);
    EXPECT_EQ(verdict.file_size, c.size);
    EXPECT_EQ(verdict.multi_connection, c.multi);
    EXPECT_EQ(verdict.from_zero, c.from_zero);
    EXPECT_EQ(verdict.answered_last, c.last);
  }
}

TEST(ProbeAnswer, KeepAliveOnlyWhenTheServerSaysSo) {
  for (const auto& [connection, kept] : {std::pair{"keep-alive", true}, {"Keep-Alive", true}, {"close", false}}) {
    EXPECT_EQ(interpret_probe(OptionsOf({"206", nullptr, "bytes 0-9/10", connection})).keep_alive, kept) << connection;
  }
  EXPECT_FALSE(interpret_probe(OptionsOf({"206", nullptr, "bytes 0-9/10", nullptr})).keep_alive);
}

TEST(RangeAnswer, OnlyExactlyThePartAskedForIsAccepted) {
  const error_code invalid = errors::invalid_content_range;
  const struct {
    const char* what;
    Head head;
    error_code error;
    std::int64_t last;
  } cases[] = {
      {"the range asked for", {"206", "100", "bytes 100-199/1000"}, {}, 199},
      {"a shorter body ends early and is asked for again", {"206", "50", "bytes 100-199/1000"}, {}, 199},
      {"the whole file", {"200", "1000", nullptr}, status_error(200), -1},
      {"no range", {"206", "100", nullptr}, invalid, -1},
      {"another start", {"206", "100", "bytes 101-200/1000"}, invalid, -1},
      {"another total", {"206", "100", "bytes 100-199/1001"}, invalid, -1},
      {"unknown total", {"206", "100", "bytes 100-199/*"}, invalid, -1},
      {"last byte at the total", {"206", nullptr, "bytes 100-1000/1000"}, invalid, -1},
      {"body longer than its range", {"206", "200", "bytes 100-199/1000"}, errors::body_beyond_range, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::int64_t last = -1;
    EXPECT_EQ(check_range_answer(OptionsOf(c.head), 100, 1000, last), c.error);
    EXPECT_EQ(last, c.last);
  }
}

TEST(RangeAnswer, SummaryNamesStatusAndSizeHeaders) {
  EXPECT_EQ(answer_summary(OptionsOf({"206", "1024", "bytes 0-1023/1"})),
            "206, Content-Length 1024, Content-Range bytes 0-1023/1");
  EXPECT_EQ(answer_summary(OptionsOf({"200", nullptr, nullptr})), "200");
}

}  // namespace
}  // namespace httpdl
