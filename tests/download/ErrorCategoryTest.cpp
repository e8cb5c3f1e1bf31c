#include <gtest/gtest.h>

#include <map>

#include "download/http/error.h"

namespace httpdl {
namespace {

TEST(HttpErrorCategory, NamesEveryCode) {
  const std::map<int, std::string> messages = {
      {1, "Malformed status line"}, {2, "Malformed response headers"},
      {10, "invalid type requested from entry"}, {11, "Invalid chunked encoding"},
      {12, "Invalid redirect address"}, {13, "Announced file size out of bounds"},
      {14, "Invalid or unexpected Content-Range"}, {15, "Body longer than its Content-Range"},
      {16, "File size unknown"}, {100, "Continue"}, {101, "Switching protocols"},
      {200, "OK"}, {201, "Created"}, {202, "Accepted"}, {203, "Non-authoritative information"},
      {204, "No content"}, {205, "Reset content"}, {206, "Partial content"},
      {300, "Multiple choices"}, {301, "Moved permanently"}, {302, "Found"}, {303, "See other"},
      {304, "Not modified"}, {305, "Use proxy"}, {307, "Temporary redirect"},
      {400, "Bad request"}, {401, "Unauthorized"}, {402, "Payment required"}, {403, "Forbidden"},
      {404, "Not found"}, {405, "Method not allowed"}, {406, "Not acceptable"},
      {407, "Proxy authentication required"}, {408, "Request time-out"}, {409, "Conflict"},
      {410, "Gone"}, {411, "Length required"}, {412, "Precondition failed"},
      {413, "Request entity too large"}, {414, "Request URI too large"},
      {415, "Unsupported media type"}, {416, "Requested range not satisfiable"},
      {417, "Expectation failed"}, {500, "Internal server error"}, {501, "Not implemented"},
      {502, "Bad gateway"}, {503, "Service unavailable"}, {504, "Gateway time-out"},
      {505, "HTTP version not supported"}};
  EXPECT_STREQ(http_category().name(), "HTTP");
  for (int code = -1; code <= 600; ++code) {
    SCOPED_TRACE(code);
    const auto known = messages.find(code);
    EXPECT_EQ(status_error(code).message(), known == messages.end() ? "Unknown HTTP error" : known->second);
  }
}

TEST(HttpErrorCategory, StatusCodesCompareByNumberInTheirOwnCategory) {
  const boost::system::error_code not_found = status_error(404);
  EXPECT_EQ(not_found.value(), 404);
  EXPECT_EQ(&not_found.category(), &http_category());
  EXPECT_NE(not_found, boost::system::error_code(404, boost::system::generic_category()));
  const boost::system::error_code chunk_error = errors::invalid_chunked_encoding;
  EXPECT_EQ(chunk_error, status_error(11));
}

}  // namespace
}  // namespace httpdl
