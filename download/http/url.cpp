#include "download/http/url.h"

#include <algorithm>

#include <boost/system/system_error.hpp>

#include "common/AsciiText.h"

namespace httpdl {

namespace {

constexpr std::string_view::size_type npos = std::string_view::npos;

// Ports above this cannot be connected to; such a port text makes the URL invalid.
constexpr unsigned kMaxPort = 65535;

}  // namespace

parsed_url::parsed_url(std::string_view text, boost::system::error_code& ec) {
  if (parse(text)) {
    ec.clear();
  } else {
    *this = parsed_url();
    ec = boost::system::errc::make_error_code(boost::system::errc::invalid_argument);
  }
}

parsed_url::parsed_url(std::string_view text) {
  boost::system::error_code ec;
  *this = parsed_url(text, ec);
  if (ec) throw boost::system::system_error(ec);
}

bool parsed_url::parse(std::string_view text) {
  const auto colon = text.find(':');
  protocol_ = asciitext::Lowered(text.substr(0, colon));
  if (protocol_.empty() || colon == npos || text.substr(colon, 3) != "://") return false;
  std::string_view rest = text.substr(colon + 3);

  // User info: ends at an "@" met before any host or path delimiter, or after the first ":".
  const auto first = rest.find_first_of("@:[/?#");
  if (first != npos && rest[first] == '@') {
    user_info_ = rest.substr(0, first);
    rest.remove_prefix(first + 1);
  } else if (first != npos && rest[first] == ':') {
    const auto at = rest.find_first_of("@/?#", first);
    if (at != npos && rest[at] == '@') {
      user_info_ = rest.substr(0, at);
      rest.remove_prefix(at + 1);
    }
  }

  if (!rest.empty() && rest.front() == '[') {
    const auto close = rest.find(']');
    if (close == npos) return false;
    host_ = rest.substr(1, close - 1);
    ipv6_ = true;
    rest.remove_prefix(close + 1);
    if (!rest.empty() && std::string_view(":/?#").find(rest.front()) == npos) return false;
  } else {
    const auto end = std::min(rest.find_first_of(":/?#"), rest.size());
    host_ = rest.substr(0, end);
    rest.remove_prefix(end);
  }

  // An "@" left in the host means a second user-info separator: no valid authority has one.
  if (host_.find('@') != std::string::npos) return false;

  if (!rest.empty() && rest.front() == ':') {
    const auto end = std::min(rest.find_first_of("/?#"), rest.size());
    const std::string_view port = rest.substr(1, end - 1);
    if (!asciitext::ParseDecimal(port, kMaxPort)) return false;
    port_ = port;
    rest.remove_prefix(end);
  }

  if (!rest.empty() && rest.front() == '/') {
    const auto end = std::min(rest.find_first_of("?#"), rest.size());
    path_ = rest.substr(0, end);
    rest.remove_prefix(end);
  } else {
    path_ = "/";
  }

  if (!rest.empty() && rest.front() == '?') {
    const auto end = std::min(rest.find('#'), rest.size());
    query_ = rest.substr(1, end - 1);
    rest.remove_prefix(end);
  }
  if (!rest.empty() && rest.front() == '#') fragment_ = rest.substr(1);
  return true;
}

std::string parsed_url::to_string(unsigned mask) const {
  std::string out;
  if ((mask & url_part::protocol) && !protocol_.empty()) out += protocol_ + "://";
  if ((mask & url_part::user_info) && !user_info_.empty()) out += user_info_ + "@";
  if (mask & url_part::host) out += ipv6_ ? "[" + host_ + "]" : host_;
  if ((mask & url_part::port) && !port_.empty()) out += ":" + port_;
  if ((mask & url_part::path) && !path_.empty()) out += path_;
  if ((mask & url_part::query) && !query_.empty()) out += "?" + query_;
  if ((mask & url_part::fragment) && !fragment_.empty()) out += "#" + fragment_;
  return out;
}

std::uint16_t parsed_url::port() const {
  if (const auto value = asciitext::ParseDecimal(port_, kMaxPort)) return static_cast<std::uint16_t>(*value);
  if (protocol_ == "http") return 80;
  if (protocol_ == "https") return 443;
  if (protocol_ == "ftp") return 21;
  return 0;
}

}  // namespace httpdl
