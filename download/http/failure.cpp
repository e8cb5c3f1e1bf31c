#include "download/http/failure.h"

#include <boost/asio/error.hpp>
#include <boost/asio/ssl/error.hpp>
#include <openssl/err.h>
#include <openssl/ssl.h>

#include "download/http/error.h"
#include "download/http/url.h"

namespace httpdl {

namespace {

namespace asio = boost::asio;
using boost::system::error_code;

std::string with_detail(std::string text, const std::string& detail) {
  if (!detail.empty()) text.append(" (").append(detail).append(")");
  return text;
}

struct server {
  std::string host;
  std::string host_and_port;
};

server server_of(const std::string& url) {
  error_code ec;
  const parsed_url parsed(url, ec);
  if (ec) return {url, url};
  return {parsed.host(), parsed.host() + ":" + std::to_string(parsed.port())};
}

bool is_certificate_refusal(const error_code& ec) {
  return ec.category() == asio::error::get_ssl_category() &&
         ERR_GET_REASON(static_cast<unsigned long>(ec.value())) == SSL_R_CERTIFICATE_VERIFY_FAILED;
}

// Failures of the network or of the server's answers, on the probe or on the one connection.
std::string network_words(const download_failure& failure) {
  const error_code& ec = failure.error;
  const server at = server_of(failure.url);
  if (is_certificate_refusal(ec)) {
    return "certificate refused: " + (failure.detail.empty() ? ec.message() : failure.detail) + " (" + at.host_and_port + ")";
  }
  if (ec.category() == asio::error::get_ssl_category() || ec == asio::ssl::error::stream_truncated) {
    return "secure connection failed: " + ec.message() + " (" + at.host_and_port + ")";
  }
  if (ec == asio::error::host_not_found || ec == asio::error::host_not_found_try_again || ec == asio::error::no_data) {
    return "host not found: " + at.host;
  }
  if (ec == asio::error::connection_refused) return "connection refused: " + at.host_and_port;
  if (ec == asio::error::timed_out) return with_detail("no data from the server: " + at.host_and_port, failure.detail);
  if (ec == asio::error::connection_reset) return "connection reset by the server: " + at.host_and_port;
  if (ec == asio::error::network_unreachable || ec == asio::error::host_unreachable) {
    return "network unreachable: " + at.host_and_port;
  }
  if (ec == asio::error::eof) {
    return failure.stage == failure_stage::probe ? "the server closed the connection without an answer: " + at.host_and_port
                                                 : "the server closed the connection before the end of the file";
  }
  if (const int status = status_of(ec)) {
    return "HTTP " + std::to_string(status) + " from the server (" + ec.message() + ")";
  }
  if (ec == errors::size_out_of_bounds) {
    return with_detail("the server announced a size beyond what any download can have", failure.detail);
  }
  if (ec == errors::size_unknown) return "the server did not say how large the file is, so it cannot be checked";
  if (ec.category() == http_category()) return with_detail("malformed answer from the server: " + ec.message(), failure.detail);
  return with_detail("network error: " + ec.message(), failure.detail);
}

}  // namespace

std::string describe(const download_failure& failure) {
  const error_code& ec = failure.error;
  switch (failure.stage) {
    case failure_stage::none:
      return {};
    case failure_stage::address:
      return "the download address is not a usable URL: " + failure.url;
    case failure_stage::probe:
    case failure_stage::transfer:
      return network_words(failure);
    case failure_stage::storage:
      return with_detail("could not open the download file: " + ec.message(), failure.detail);
    case failure_stage::write:
      if (ec == boost::system::errc::no_space_on_device) return "write failed: disk full";
      return "write failed: " + ec.message();
    case failure_stage::ranges:
      return "HTTP " + std::to_string(failure.http_status) + " for every range";
    case failure_stage::incomplete:
      return "every connection ended before the file was complete";
    case failure_stage::move:
      return with_detail("could not move the download into place: " + ec.message(), failure.detail);
    case failure_stage::internal:
      return "the download stopped on an unexpected error: " + failure.detail;
  }
  return {};
}

}  // namespace httpdl
