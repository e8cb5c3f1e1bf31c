#include "download/http/request.h"

#include <algorithm>

#include "common/AsciiText.h"

namespace httpdl {

namespace {

bool breaks_line(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool breaks_request_line(std::string_view text) {
  return text.empty() || std::any_of(text.begin(), text.end(), [](char c) {
           const auto b = static_cast<unsigned char>(c);
           return b <= 0x20 || b == 0x7F;
         });
}

// Takes the caller's value for `name` out of `options`, or the default.
std::string take(header_options& options, const char* name, std::string fallback) {
  for (const auto& [present, value] : options.entries()) {
    if (asciitext::EqualsIgnoringCase(present, name)) {
      std::string taken = value;
      options.remove(std::string(present));
      return taken;
    }
  }
  return fallback;
}

}  // namespace

built_request build_request(const parsed_url& url, const header_options& options,
                            const cookie_store& cookies, unix_seconds now,
                            boost::system::error_code& ec) {
  const auto invalid = boost::system::errc::make_error_code(boost::system::errc::invalid_argument);
  built_request out;
  header_options rest = options;
  out.url = url;

  const std::string replacement = take(rest, option::url, "");
  if (!replacement.empty()) {
    out.url = parsed_url(replacement, ec);
    if (ec) return {};
    out.sent.insert(option::url, replacement);
  }

  const std::string method = take(rest, option::request_method, "GET");
  const std::string version = take(rest, option::http_version, "HTTP/1.1");
  const std::string target = out.url.to_string(url_part::request_target);
  const std::string host = take(rest, option::host, out.url.to_string(url_part::host_and_port));
  const std::string accept = take(rest, option::accept, kDefaultAccept);
  const std::string user_agent = take(rest, option::user_agent, kDefaultUserAgent);
  const std::string connection = take(rest, option::connection, "close");
  const std::string body = take(rest, option::request_body, "");
  const std::string cookie = cookies.cookie_string(out.url, now);

  if (breaks_request_line(method) || breaks_request_line(target) || breaks_request_line(version) ||
      breaks_line(host) || breaks_line(accept) || breaks_line(user_agent) || breaks_line(connection) ||
      breaks_line(cookie)) {
    ec = invalid;
    return {};
  }

  std::string& t = out.text;
  t = method + " " + target + " " + version + "\r\n";
  t += "Host: " + host + "\r\n";
  t += "Accept: " + accept + "\r\n";
  t += "User-Agent: " + user_agent + "\r\n";
  if (!cookie.empty()) t += "Cookie: " + cookie + "\r\n";
  t += "Connection: " + connection + "\r\n";

  out.sent.insert(option::request_method, method);
  out.sent.insert(option::http_version, version);
  out.sent.insert(option::path, target);
  out.sent.insert(option::host, host);
  out.sent.insert(option::accept, accept);
  out.sent.insert(option::user_agent, user_agent);
  if (!cookie.empty()) out.sent.insert(option::cookie, cookie);
  out.sent.insert(option::connection, connection);

  for (const auto& [name, value] : rest.entries()) {
    if (option::is_pseudo(name)) continue;
    if (name.empty() || name.find(':') != std::string::npos || breaks_line(name) || breaks_line(value)) {
      ec = invalid;
      return {};
    }
    t += name + ": " + value + "\r\n";
    out.sent.insert(name, value);
  }
  t += "\r\n";
  t += body;
  out.sent.insert(option::request_body, body);
  ec.clear();
  return out;
}

}  // namespace httpdl
