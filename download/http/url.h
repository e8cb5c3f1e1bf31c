#pragma once
// A URL split into its parts, and put together again from any selection of them.

#include <cstdint>
#include <string>
#include <string_view>

#include <boost/system/error_code.hpp>

namespace httpdl {

// Bits of the mask given to parsed_url::to_string, in the order the parts are composed.
namespace url_part {
enum : unsigned {
  protocol = 0x01,
  user_info = 0x02,
  host = 0x04,
  port = 0x08,
  path = 0x10,
  query = 0x20,
  fragment = 0x40,
};
inline constexpr unsigned all = 127;              // the full URL
inline constexpr unsigned host_and_port = 12;     // the default "Host" value
inline constexpr unsigned request_target = 112;   // path, query and fragment
}  // namespace url_part

class parsed_url {
 public:
  parsed_url() = default;
  // On failure the URL stays empty and `ec` is the generic invalid-argument error.
  parsed_url(std::string_view text, boost::system::error_code& ec);
  // Throws boost::system::system_error with the invalid-argument error on failure.
  explicit parsed_url(std::string_view text);

  std::string to_string(unsigned mask = url_part::all) const;

  const std::string& protocol() const { return protocol_; }
  const std::string& user_info() const { return user_info_; }
  const std::string& host() const { return host_; }
  const std::string& port_text() const { return port_; }
  // The port text as a number; without one, the protocol's well-known port (0 when unknown).
  std::uint16_t port() const;
  const std::string& path() const { return path_; }
  const std::string& query() const { return query_; }
  const std::string& fragment() const { return fragment_; }
  bool ipv6() const { return ipv6_; }
  bool empty() const { return protocol_.empty() && host_.empty() && path_.empty(); }

  friend bool operator==(const parsed_url&, const parsed_url&) = default;

 private:
  bool parse(std::string_view text);

  std::string protocol_;
  std::string user_info_;
  std::string host_;
  std::string port_;
  std::string path_;
  std::string query_;
  std::string fragment_;
  bool ipv6_ = false;
};

}  // namespace httpdl
