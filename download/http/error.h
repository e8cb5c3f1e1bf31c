#pragma once
// The engine's "HTTP" error category: its own failures (malformed messages, bad redirects,
// undecodable state files, answers whose sizes and ranges cannot be true) and every HTTP
// status, whose code number is the status itself.

#include <boost/system/error_code.hpp>

namespace httpdl {

namespace errors {
enum http_errors {
  malformed_status_line = 1,
  malformed_response_headers = 2,
  invalid_entry_type = 10,
  invalid_chunked_encoding = 11,
  invalid_redirect = 12,
  size_out_of_bounds = 13,     // an announced file size no download of this engine can have
  invalid_content_range = 14,  // a Content-Range that is malformed, contradicts itself or the request
  body_beyond_range = 15,      // more body than the Content-Range announces
  size_unknown = 16,           // the answer ended without a size to judge it complete by
};
}  // namespace errors

class error_category_impl : public boost::system::error_category {
 public:
  const char* name() const noexcept override;
  std::string message(int code) const override;
};

const boost::system::error_category& http_category();

namespace errors {
inline boost::system::error_code make_error_code(http_errors e) { return {static_cast<int>(e), http_category()}; }
}  // namespace errors
using errors::make_error_code;

// The error for an HTTP status code, e.g. 404.
inline boost::system::error_code status_error(int status) { return {status, http_category()}; }
// The HTTP status an error stands for; 0 for every other error.
inline int status_of(const boost::system::error_code& ec) {
  return ec.category() == http_category() && ec.value() >= 100 && ec.value() <= 599 ? ec.value() : 0;
}

}  // namespace httpdl

namespace boost::system {
template <>
struct is_error_code_enum<httpdl::errors::http_errors> : std::true_type {};
}  // namespace boost::system
