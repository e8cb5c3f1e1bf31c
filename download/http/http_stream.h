#pragma once
// One HTTP/1.1 client connection over plain TCP or TLS: opens a URL (resolve, connect, TLS
// handshake, request, response head, redirects), hands out the body, and can carry further
// requests when the server keeps the connection alive. Every operation has a blocking form and
// an asynchronous form; both run the same steps.
//
// The stream must outlive its pending asynchronous operations. It is driven by one thread at a
// time; only close() may also be called from another thread.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl/context.hpp>

#include "download/http/chunked_decoder.h"
#include "download/http/cookie_store.h"
#include "download/http/header_options.h"
#include "download/http/response_head.h"
#include "download/http/url.h"
#include "download/http/variant_stream.h"

namespace httpdl {

// Where connections go through; only direct connections exist in this system.
struct proxy_config {
  enum class proxy_kind { none };
  std::string host;
  std::uint16_t port = 0;
  std::string user_name;
  std::string password;
  proxy_kind kind = proxy_kind::none;
};

class http_stream {
 public:
  using error_code = boost::system::error_code;
  using open_handler = std::function<void(const error_code&)>;
  using read_handler = std::function<void(const error_code&, std::size_t)>;

  static constexpr int kDefaultRedirectLimit = 5;

  explicit http_stream(boost::asio::io_context& io);
  http_stream(const http_stream&) = delete;
  http_stream& operator=(const http_stream&) = delete;

  // Connects when needed, sends the request and reads the response head, following 301 and 302
  // up to the redirect limit. Succeeds on 200 and 206; any other status is the error with that
  // number in the "HTTP" category, with the response options still filled.
  void open(const std::string& url, error_code& ec);
  void async_open(const std::string& url, open_handler handler);
  // A new request on the open connection, built from `options`; reads its response head.
  void async_send_request(const header_options& options, open_handler handler);

  // Up to buffer-size bytes of the body. At the end of a body on a connection that stays open
  // the read completes with 0 bytes and no error; on one that closes, with end-of-stream.
  std::size_t read_some(boost::asio::mutable_buffer buffer, error_code& ec);
  void async_read_some(boost::asio::mutable_buffer buffer, read_handler handler);

  // Closes the transport when it is open (pending operations complete with an error) and
  // forgets the response: buffers, content type, location and protocol.
  void close(error_code& ec);

  void set_request_options(const header_options& options) { request_options_ = options; }
  void set_proxy(const proxy_config& proxy) { proxy_ = proxy; }
  // Checks that the server's certificate chains to a trusted root and names the host. Also
  // refuses redirects from "https" to "http".
  void set_verify_certificate(bool verify) { verify_certificate_ = verify; }
  // A PEM file of further trusted roots, used when certificates are verified.
  void set_ca_file(const std::string& path) { ca_file_ = path; }
  void set_redirect_limit(int limit) { redirect_limit_ = limit; }
  // Connects to these addresses, in order, instead of resolving `host`.
  void set_host_addresses(const std::string& host, std::vector<boost::asio::ip::address> addresses);

  const header_options& request_options() const { return request_options_; }
  const header_options& sent_options() const { return sent_options_; }
  const header_options& response_options() const { return response_options_; }
  int status_code() const { return status_code_; }
  std::int64_t content_length() const { return content_length_; }
  const std::string& content_type() const { return content_type_; }
  // The absolute target of the last redirect followed or refused; kept until close().
  const std::string& location() const { return location_; }
  bool keep_alive() const { return keep_alive_; }
  const parsed_url& url() const { return url_; }
  bool is_open() const { return transport_.is_open(); }
  // Why the server's certificate was refused in the last failed TLS handshake, in OpenSSL's
  // words ("self-signed certificate"); empty when none was.
  const std::string& certificate_problem() const { return certificate_problem_; }

 private:
  // What the current operation needs next from the network.
  enum class wire { resolve, connect, handshake, write, read, finished };
  enum class phase { idle, resolving, connecting, handshaking, writing, reading_head, reading_body };

  wire start_open(const std::string& url);
  wire connect_transport();
  wire start_request();
  wire advance(const error_code& ec, std::size_t bytes);
  wire on_connected(const error_code& ec);
  wire on_head_bytes(std::size_t bytes);
  wire on_head_complete();
  wire continue_body();
  wire finish(const error_code& ec, std::size_t bytes = 0);
  error_code prepare_tls();
  void note_certificate_problem();
  void reset_response();
  void close_transport();

  error_code run_blocking(wire next, std::size_t& bytes);
  void run_async(wire next);

  boost::asio::io_context& io_;
  boost::asio::ip::tcp::resolver resolver_;
  boost::asio::ssl::context tls_context_;
  bool system_roots_loaded_ = false;
  std::string loaded_ca_file_;
  variant_stream transport_;
  std::string connected_origin_;  // protocol, host and port the transport was connected for

  parsed_url url_;
  std::string protocol_;
  header_options request_options_;
  header_options sent_options_;
  header_options response_options_;
  int status_code_ = 0;
  std::string content_type_;
  std::string location_;
  std::string certificate_problem_;
  std::int64_t content_length_ = -1;
  // The body's own length from Content-Length; for a range it is shorter than content_length_,
  // which carries the whole file's size from Content-Range.
  std::int64_t body_length_ = -1;
  std::int64_t body_bytes_ = 0;
  std::string request_buffer_;
  std::string response_buffer_;  // bytes read past the head, not yet handed out
  bool keep_alive_ = true;
  bool chunked_ = false;
  chunked_decoder chunks_;
  int redirect_count_ = 0;
  int redirect_limit_ = kDefaultRedirectLimit;
  bool verify_certificate_ = false;
  std::string ca_file_;
  proxy_config proxy_;
  cookie_store cookies_;
  std::map<std::string, std::vector<boost::asio::ip::address>> host_addresses_;

  // The operation in progress.
  phase phase_ = phase::idle;
  bool blocking_ = false;
  bool opening_ = false;  // open and follow-up requests, as against body reads
  std::vector<boost::asio::ip::tcp::endpoint> endpoints_;
  std::size_t next_endpoint_ = 0;
  response_head_parser head_parser_;
  boost::asio::mutable_buffer user_buffer_;
  boost::asio::mutable_buffer read_target_;
  bool reading_into_user_buffer_ = false;
  std::array<char, 4096> scratch_{};
  error_code result_;
  std::size_t result_bytes_ = 0;
  read_handler handler_;
};

}  // namespace httpdl
