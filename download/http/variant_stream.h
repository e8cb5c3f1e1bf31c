#pragma once
// The transport under an HTTP connection: a plain TCP socket or TLS over one, chosen per
// connection, with one set of read, write and close operations for both.

#include <memory>

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl/stream.hpp>
#include <boost/asio/write.hpp>

namespace httpdl {

class variant_stream {
 public:
  using tcp = boost::asio::ip::tcp;
  using tls_stream = boost::asio::ssl::stream<tcp::socket>;

  explicit variant_stream(boost::asio::io_context& io) : io_(io), plain_(io) {}

  // Replaces the transport by a fresh, unconnected one of the chosen kind.
  void use_plain() {
    tls_.reset();
    plain_ = tcp::socket(io_);
  }
  tls_stream& use_tls(boost::asio::ssl::context& context) {
    boost::system::error_code ignored;
    plain_.close(ignored);
    tls_ = std::make_unique<tls_stream>(io_, context);
    return *tls_;
  }

  bool is_tls() const { return tls_ != nullptr; }
  tls_stream& tls() { return *tls_; }
  tcp::socket& socket() { return tls_ ? tls_->next_layer() : plain_; }
  bool is_open() const { return tls_ ? tls_->next_layer().is_open() : plain_.is_open(); }
  void close(boost::system::error_code& ec) { socket().close(ec); }

  void handshake(boost::system::error_code& ec) { tls_->handshake(tls_stream::client, ec); }
  template <typename Handler>
  void async_handshake(Handler&& handler) {
    tls_->async_handshake(tls_stream::client, std::forward<Handler>(handler));
  }

  std::size_t read_some(boost::asio::mutable_buffer buffer, boost::system::error_code& ec) {
    return tls_ ? tls_->read_some(buffer, ec) : plain_.read_some(buffer, ec);
  }
  template <typename Handler>
  void async_read_some(boost::asio::mutable_buffer buffer, Handler&& handler) {
    if (tls_) tls_->async_read_some(buffer, std::forward<Handler>(handler));
    else plain_.async_read_some(buffer, std::forward<Handler>(handler));
  }

  std::size_t write(boost::asio::const_buffer buffer, boost::system::error_code& ec) {
    return tls_ ? boost::asio::write(*tls_, buffer, ec) : boost::asio::write(plain_, buffer, ec);
  }
  template <typename Handler>
  void async_write(boost::asio::const_buffer buffer, Handler&& handler) {
    if (tls_) boost::asio::async_write(*tls_, buffer, std::forward<Handler>(handler));
    else boost::asio::async_write(plain_, buffer, std::forward<Handler>(handler));
  }

 private:
  boost::asio::io_context& io_;
  tcp::socket plain_;
  std::unique_ptr<tls_stream> tls_;
};

}  // namespace httpdl
