#include "download/http/http_stream.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include <boost/asio/post.hpp>
#include <boost/asio/ssl/error.hpp>
#include <openssl/x509v3.h>

#include "common/AsciiText.h"
#include "download/http/error.h"
#include "download/http/location.h"
#include "download/http/request.h"
#include "download/http/tls_trust.h"

namespace httpdl {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

namespace {

unix_seconds now_seconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

std::string origin_of(const parsed_url& url) {
  return url.protocol() + "://" + url.to_string(url_part::host) + ":" + std::to_string(url.port());
}

bool is_ip_address(const std::string& host) {
  boost::system::error_code ec;
  asio::ip::make_address(host, ec);
  return !ec;
}

}  // namespace

http_stream::http_stream(asio::io_context& io)
    : io_(io), resolver_(io), tls_context_(asio::ssl::context::tls_client), transport_(io) {
  tls_context_.set_options(asio::ssl::context::default_workarounds | asio::ssl::context::no_compression);
}

void http_stream::set_host_addresses(const std::string& host, std::vector<asio::ip::address> addresses) {
  host_addresses_[host] = std::move(addresses);
}

// ---- operations -----------------------------------------------------------------------------

void http_stream::open(const std::string& url, error_code& ec) {
  blocking_ = true;
  opening_ = true;
  std::size_t ignored = 0;
  ec = run_blocking(start_open(url), ignored);
}

void http_stream::async_open(const std::string& url, open_handler handler) {
  blocking_ = false;
  opening_ = true;
  handler_ = [h = std::move(handler)](const error_code& ec, std::size_t) { h(ec); };
  run_async(start_open(url));
}

void http_stream::async_send_request(const header_options& options, open_handler handler) {
  request_options_ = options;
  blocking_ = false;
  opening_ = true;
  handler_ = [h = std::move(handler)](const error_code& ec, std::size_t) { h(ec); };
  run_async(start_request());
}

std::size_t http_stream::read_some(asio::mutable_buffer buffer, error_code& ec) {
  blocking_ = true;
  opening_ = false;
  user_buffer_ = buffer;
  phase_ = phase::reading_body;
  std::size_t bytes = 0;
  ec = run_blocking(continue_body(), bytes);
  return bytes;
}

void http_stream::async_read_some(asio::mutable_buffer buffer, read_handler handler) {
  blocking_ = false;
  opening_ = false;
  user_buffer_ = buffer;
  phase_ = phase::reading_body;
  handler_ = std::move(handler);
  run_async(continue_body());
}

void http_stream::close(error_code& ec) {
  ec.clear();
  resolver_.cancel();
  if (transport_.is_open()) transport_.close(ec);
  request_buffer_.clear();
  response_buffer_.clear();
  content_type_.clear();
  location_.clear();
  protocol_.clear();
}

// ---- the steps, shared by the blocking and the asynchronous forms ---------------------------

void http_stream::reset_response() {
  content_type_.clear();
  status_code_ = 0;
  content_length_ = -1;
  body_length_ = -1;
  body_bytes_ = 0;
  request_buffer_.clear();
  response_buffer_.clear();
}

void http_stream::close_transport() {
  error_code ignored;
  transport_.close(ignored);
}

http_stream::wire http_stream::start_open(const std::string& url) {
  error_code ec;
  parsed_url parsed(url, ec);
  if (ec) return finish(ec);
  url_ = std::move(parsed);
  protocol_ = url_.protocol();
  certificate_problem_.clear();
  reset_response();
  if (protocol_ != "http" && protocol_ != "https") return finish(asio::error::operation_not_supported);
  // A connection is only worth reusing when it leads to the same server and that server
  // promised to keep it.
  if (transport_.is_open() && keep_alive_ && connected_origin_ == origin_of(url_)) return start_request();
  close_transport();
  return connect_transport();
}

http_stream::wire http_stream::connect_transport() {
  if (protocol_ == "https") {
    transport_.use_tls(tls_context_);
    if (const error_code ec = prepare_tls()) return finish(ec);
  } else {
    transport_.use_plain();
  }
  endpoints_.clear();
  next_endpoint_ = 0;
  const auto pinned = host_addresses_.find(url_.host());
  if (pinned == host_addresses_.end()) {
    phase_ = phase::resolving;
    return wire::resolve;
  }
  for (const auto& address : pinned->second) endpoints_.emplace_back(address, url_.port());
  if (endpoints_.empty()) return finish(asio::error::host_not_found);
  phase_ = phase::connecting;
  return wire::connect;
}

boost::system::error_code http_stream::prepare_tls() {
  auto& tls = transport_.tls();
  SSL* ssl = tls.native_handle();
  const std::string& host = url_.host();
  const bool ip = url_.ipv6() || is_ip_address(host);
  // Server name indication carries host names only, never address literals.
  if (!ip && SSL_set_tlsext_host_name(ssl, host.c_str()) != 1) {
    return {static_cast<int>(ERR_get_error()), asio::error::get_ssl_category()};
  }
  if (!verify_certificate_) {
    tls.set_verify_mode(asio::ssl::verify_none);
    return {};
  }
  if (!system_roots_loaded_) {
    add_system_roots(tls_context_.native_handle());
    system_roots_loaded_ = true;
  }
  if (!ca_file_.empty() && ca_file_ != loaded_ca_file_) {
    error_code ec;
    tls_context_.load_verify_file(ca_file_, ec);
    if (ec) return ec;
    loaded_ca_file_ = ca_file_;
  }
  tls.set_verify_mode(asio::ssl::verify_peer);
  X509_VERIFY_PARAM* param = SSL_get0_param(ssl);
  X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
  const int named = ip ? X509_VERIFY_PARAM_set1_ip_asc(param, host.c_str())
                       : X509_VERIFY_PARAM_set1_host(param, host.c_str(), host.size());
  if (named != 1) return asio::error::invalid_argument;
  return {};
}

void http_stream::note_certificate_problem() {
  const long result = SSL_get_verify_result(transport_.tls().native_handle());
  if (result != X509_V_OK) certificate_problem_ = X509_verify_cert_error_string(result);
}

http_stream::wire http_stream::start_request() {
  reset_response();
  error_code ec;
  built_request request = build_request(url_, request_options_, cookies_, now_seconds(), ec);
  if (ec) return finish(ec);
  url_ = std::move(request.url);
  request_buffer_ = std::move(request.text);
  sent_options_ = std::move(request.sent);
  keep_alive_ = true;
  chunked_ = false;
  chunks_ = chunked_decoder();
  head_parser_ = response_head_parser();
  phase_ = phase::writing;
  return wire::write;
}

http_stream::wire http_stream::advance(const error_code& ec, std::size_t bytes) {
  switch (phase_) {
    case phase::resolving:
      if (ec) return finish(ec);
      if (endpoints_.empty()) return finish(asio::error::host_not_found);
      phase_ = phase::connecting;
      return wire::connect;
    case phase::connecting:
      return on_connected(ec);
    case phase::handshaking:
      if (!ec) return start_request();
      note_certificate_problem();
      return finish(ec);
    case phase::writing:
      if (ec) return finish(ec);
      phase_ = phase::reading_head;
      return on_head_bytes(0);
    case phase::reading_head:
      if (ec) return finish(ec == asio::error::eof ? head_parser_.end_of_stream_error(ec) : ec);
      return on_head_bytes(bytes);
    case phase::reading_body:
      if (reading_into_user_buffer_) {
        body_bytes_ += static_cast<std::int64_t>(bytes);
        return finish(ec, bytes);
      }
      // Only a chunked body is read through the scratch buffer, and its end is its last chunk.
      if (ec) return finish(ec == asio::error::eof ? make_error_code(errors::invalid_chunked_encoding) : ec);
      response_buffer_.append(scratch_.data(), bytes);
      return continue_body();
    case phase::idle:
      break;
  }
  return finish(ec);
}

http_stream::wire http_stream::on_connected(const error_code& ec) {
  if (!ec) {
    connected_origin_ = origin_of(url_);
    if (!transport_.is_tls()) return start_request();
    phase_ = phase::handshaking;
    return wire::handshake;
  }
  if (ec == asio::error::operation_aborted) return finish(ec);
  close_transport();
  if (++next_endpoint_ < endpoints_.size()) return wire::connect;
  return finish(ec);
}

http_stream::wire http_stream::on_head_bytes(std::size_t bytes) {
  response_buffer_.append(scratch_.data(), bytes);
  std::size_t consumed = 0;
  const auto result = head_parser_.feed(response_buffer_, consumed);
  response_buffer_.erase(0, consumed);
  if (result == response_head_parser::result::failed) return finish(head_parser_.error());
  if (result == response_head_parser::result::done) return on_head_complete();
  read_target_ = asio::buffer(scratch_);
  reading_into_user_buffer_ = false;
  return wire::read;
}

http_stream::wire http_stream::on_head_complete() {
  const response_head& head = head_parser_.head();
  status_code_ = head.status_code;
  response_options_ = head.options;
  content_type_ = head.content_type;
  content_length_ = head.content_length;
  body_length_ = head.body_length;
  chunked_ = head.chunked;
  keep_alive_ = !asciitext::EqualsIgnoringCase(sent_options_.value_of(option::connection), "close") && !head.connection_close;
  const unix_seconds now = now_seconds();
  for (const auto& [name, value] : response_options_.entries()) {
    if (asciitext::EqualsIgnoringCase(name, "set-cookie")) cookies_.set_cookie(value, url_, now);
  }
  std::string target;
  if (!head.location.empty()) target = location_ = resolve_reference(url_, head.location);

  if (status_code_ == 301 || status_code_ == 302) {
    close_transport();
    if (++redirect_count_ > redirect_limit_) return finish(status_error(status_code_));
    error_code ec;
    const parsed_url next(target, ec);
    if (ec) return finish(blocking_ ? ec : make_error_code(errors::invalid_redirect));
    // A verified connection is not given up for one nobody can vouch for.
    if (verify_certificate_ && protocol_ == "https" && next.protocol() != "https") {
      return finish(errors::invalid_redirect);
    }
    return start_open(target);
  }
  if (status_code_ == 200 || status_code_ == 206) return finish({});
  return finish(status_error(status_code_));
}

http_stream::wire http_stream::continue_body() {
  char* out = static_cast<char*>(user_buffer_.data());
  const std::size_t room = user_buffer_.size();
  if (room == 0) return finish({}, 0);

  if (chunked_) {
    for (;;) {
      if (chunks_.finished()) return finish(keep_alive_ ? error_code() : error_code(asio::error::eof));
      if (response_buffer_.empty()) {
        read_target_ = asio::buffer(scratch_);
        reading_into_user_buffer_ = false;
        return wire::read;
      }
      std::size_t consumed = 0, produced = 0;
      const auto result = chunks_.decode(response_buffer_, out, room, consumed, produced);
      response_buffer_.erase(0, consumed);
      // Data before a broken frame is still handed out; the next read reports the break.
      if (produced > 0) {
        body_bytes_ += static_cast<std::int64_t>(produced);
        return finish({}, produced);
      }
      if (result == chunked_decoder::result::failed) return finish(errors::invalid_chunked_encoding);
    }
  }

  std::size_t limit = room;
  if (body_length_ >= 0) {
    const std::int64_t remaining = body_length_ - body_bytes_;
    // On a connection that stays open the next response follows the body directly.
    if (remaining <= 0 && keep_alive_) return finish({}, 0);
    if (remaining > 0) limit = static_cast<std::size_t>(std::min<std::int64_t>(remaining, static_cast<std::int64_t>(room)));
  }
  if (!response_buffer_.empty()) {
    const std::size_t n = std::min(limit, response_buffer_.size());
    std::memcpy(out, response_buffer_.data(), n);
    response_buffer_.erase(0, n);
    body_bytes_ += static_cast<std::int64_t>(n);
    return finish({}, n);
  }
  read_target_ = asio::buffer(out, limit);
  reading_into_user_buffer_ = true;
  return wire::read;
}

http_stream::wire http_stream::finish(const error_code& ec, std::size_t bytes) {
  if (opening_) redirect_count_ = 0;
  phase_ = phase::idle;
  result_ = ec;
  result_bytes_ = bytes;
  return wire::finished;
}

// ---- drivers ----------------------------------------------------------------------------------

boost::system::error_code http_stream::run_blocking(wire next, std::size_t& bytes) {
  for (;;) {
    error_code ec;
    std::size_t n = 0;
    switch (next) {
      case wire::finished:
        bytes = result_bytes_;
        return result_;
      case wire::resolve: {
        const auto results = resolver_.resolve(url_.host(), std::to_string(url_.port()),
                                               tcp::resolver::address_configured, ec);
        for (const auto& entry : results) endpoints_.push_back(entry.endpoint());
        break;
      }
      case wire::connect:
        transport_.socket().connect(endpoints_[next_endpoint_], ec);
        break;
      case wire::handshake:
        transport_.handshake(ec);
        break;
      case wire::write:
        n = transport_.write(asio::buffer(request_buffer_), ec);
        break;
      case wire::read:
        n = transport_.read_some(read_target_, ec);
        break;
    }
    next = advance(ec, n);
  }
}

void http_stream::run_async(wire next) {
  auto step = [this](const error_code& ec, std::size_t n) { run_async(advance(ec, n)); };
  switch (next) {
    case wire::finished: {
      // Completion handlers always run from the io_context, never inside the call that
      // started the operation.
      read_handler handler = std::move(handler_);
      handler_ = nullptr;
      asio::post(io_, [handler = std::move(handler), ec = result_, n = result_bytes_] { handler(ec, n); });
      return;
    }
    case wire::resolve:
      resolver_.async_resolve(url_.host(), std::to_string(url_.port()), tcp::resolver::address_configured,
                              [this](const error_code& ec, const tcp::resolver::results_type& results) {
                                for (const auto& entry : results) endpoints_.push_back(entry.endpoint());
                                run_async(advance(ec, 0));
                              });
      return;
    case wire::connect:
      transport_.socket().async_connect(endpoints_[next_endpoint_], [step](const error_code& ec) { step(ec, 0); });
      return;
    case wire::handshake:
      transport_.async_handshake([step](const error_code& ec) { step(ec, 0); });
      return;
    case wire::write:
      transport_.async_write(asio::buffer(request_buffer_), step);
      return;
    case wire::read:
      transport_.async_read_some(read_target_, step);
      return;
  }
}

}  // namespace httpdl
