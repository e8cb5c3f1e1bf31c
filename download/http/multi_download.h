#pragma once
// Downloads one URL into one file over several HTTP connections. A probe connection asks for
// "bytes=0-"; when the server answers with partial content the file is split into ranges that
// parallel connections fetch, one range per request. Progress lives in two range maps and is
// written once a second to a state file, so that a stopped or failed download resumes where it
// ended. All network work runs on the caller's io_context; the owner runs it until it has no
// more work.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <boost/asio/io_context.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/date_time/posix_time/posix_time_types.hpp>
#include <boost/system/error_code.hpp>

#include "download/http/failure.h"
#include "download/http/header_options.h"
#include "download/http/http_stream.h"
#include "download/http/range_answer.h"
#include "download/http/range_map.h"
#include "download/http/state_file.h"
#include "download/http/storage.h"
#include "download/http/url.h"

namespace httpdl {

struct download_settings {
  int connections = 5;          // parallel connections; -1 means 5
  int piece_size = -1;          // bytes per piece; -1 means compute_piece_size(file size)
  int timeout_seconds = 11;     // a connection silent for longer than this is re-opened
  int pieces_per_request = 10;  // the largest range one request asks for, in pieces
  std::wstring state_file;      // empty: the file name followed by ".cfg"
  bool use_stored_url = true;   // resume from the state file's "final_url"
  std::wstring temp_file;       // the file the body is written to
  bool verify_certificate = true;
  std::function<std::unique_ptr<storage_interface>()> storage_factory;  // none: a file_storage
  httpdl::header_options header_options;  // copied into every request
  proxy_config proxy;
  std::string ca_file;  // further trusted roots (PEM) for every connection; empty: none
};

// Bytes of the current second and the smoothed speed; read by other threads.
struct download_stat {
  std::atomic<std::int64_t> bytes_this_second{0};
  std::atomic<int> speed{0};  // bytes per second
};

// Bytes asked for by one read. The benchmark builds the engine once with another size
// (-DHTTPDL_READ_SIZE=...) to show what the read size alone costs.
#ifndef HTTPDL_READ_SIZE
#define HTTPDL_READ_SIZE 2048
#endif
inline constexpr std::size_t kReadSize = HTTPDL_READ_SIZE;

// One connection and the range it fetches. Shared by the handlers working on it.
struct http_stream_object {
  std::shared_ptr<http_stream> stream;
  std::array<char, kReadSize> buffer{};
  range request_range;  // inclusive
  std::int64_t answered_last = -1;  // the last byte the answer being read announces
  std::int64_t bytes_in_range = 0;
  std::atomic<std::int64_t> total_bytes{0};  // over the connection's life; read by other threads
  boost::posix_time::ptime last_request_time;  // last completed open, request or read
  boost::system::error_code last_error;
  bool done = false;       // nothing more to do
  bool reconnect = false;  // re-open at the next timer tick
  bool open_ended = false; // reading the probe's answer, which runs to the file's end
};

class multi_download {
 public:
  explicit multi_download(boost::asio::io_context& io);
  multi_download(const multi_download&) = delete;
  multi_download& operator=(const multi_download&) = delete;
  ~multi_download();

  // Probes the URL and schedules the transfer on the io_context, or schedules nothing when the
  // state file already shows the file complete. Throws boost::system::system_error.
  void start(const std::string& url, const download_settings& settings);
  // Any thread: sets the abort flag and has the io_context close the timer and the streams.
  // The posted closing refers to this object, so it must outlive the io_context's handlers.
  void stop();
  // Closes the state file and the storage.
  void close();

  std::int64_t file_size() const { return file_size_.load(); }  // -1 while unknown
  std::int64_t downloaded_bytes() const;
  std::wstring file_name() const;
  int speed() const { return stat_.speed.load(); }
  // The download ended with every byte of the file stored.
  bool complete() const { return complete_.load(); }
  // Why the last run failed: the first fatal error of the start or of the transfer (a probe
  // refused, a failed write, every remaining range refused); empty when it did not fail.
  download_failure failure() const;
  // Why the last start threw the state file away; empty when it did not. Asked on the thread
  // that ran start().
  std::string discarded_state_file() const;

 private:
  using record_ptr = std::shared_ptr<http_stream_object>;
  using error_code = boost::system::error_code;

  // The steps of start().
  void begin_run(const std::string& url, const download_settings& settings);
  record_ptr open_probe();
  probe_verdict adopt_probe_answer(const http_stream& probe);
  bool resume_or_start_afresh();
  void finish_without_transfer(http_stream& probe);
  void open_storage(bool resumed);
  void settle_settings(bool resumed);
  void start_probe_connection(const record_ptr& probe, const probe_verdict& verdict);
  void start_other_connections();
  [[noreturn]] void fail_start(download_failure failure);

  std::shared_ptr<http_stream> new_stream();
  void configure_range_request(http_stream_object& record, bool keep_alive, int redirect_limit) const;
  void open_connection(std::size_t index, const range& wanted, const http_stream_object* replaced,
                       std::shared_ptr<http_stream> stream);
  bool take_next_range(range& out);
  bool is_live(std::size_t index, const record_ptr& record) const;

  void async_open(std::size_t index, const record_ptr& record);
  void async_read(std::size_t index, const record_ptr& record);
  void on_data(std::size_t index, const record_ptr& record, const error_code& ec, std::size_t bytes);
  std::size_t usable_bytes(const http_stream_object& record, std::size_t bytes) const;
  void on_opened(std::size_t index, const record_ptr& record, const error_code& ec);
  void on_range_answer(std::size_t index, const record_ptr& record, const error_code& ec);
  void request_next_range(std::size_t index, const record_ptr& record);

  // The jobs of the one-second timer.
  void arm_timer();
  void on_timer(const error_code& ec);
  void update_speed();
  bool tend_connections();
  bool reopen_or_retire(std::size_t index, const record_ptr& record);

  void finish_record(http_stream_object& record);
  void end_when_all_done();
  void end_single_connection(bool complete, const error_code& ec);
  void end_download(bool complete);
  void note_failure(download_failure failure);
  void fail_download(download_failure failure);
  void close_streams();
  void release_files();

  bool load_state_file(std::int64_t probed_size);
  std::string read_state_record(std::int64_t probed_size, download_state& state);
  void save_state_file();
  bool discard_state_file(std::string why);

  boost::asio::io_context& io_;
  boost::asio::steady_timer timer_;

  mutable std::mutex connections_mutex_;
  std::vector<record_ptr> connections_;

  parsed_url final_url_;
  std::string requested_url_;
  bool multi_connection_ = false;
  bool keep_alive_ = false;
  std::atomic<std::int64_t> file_size_{-1};
  mutable std::mutex file_name_mutex_;
  std::wstring file_name_;
  download_settings settings_;
  std::int64_t piece_size_ = 0;
  std::int64_t max_request_bytes_ = 0;
  download_stat stat_;

  std::unique_ptr<storage_interface> storage_;
  std::unique_ptr<storage_interface> state_file_;

  std::mutex allocation_mutex_;
  range_map allocated_;
  mutable range_map downloaded_;

  std::atomic<bool> abort_{true};
  std::atomic<bool> complete_{false};
  // Counts start() calls, so that a stop() posted for an earlier run leaves a later one alone.
  std::atomic<unsigned> generation_{0};
  std::atomic<unsigned> stop_requested_generation_{0};
  mutable std::mutex failure_mutex_;
  download_failure failure_;
  // The first error that ended a connection for good, which explains a download whose
  // connections all gave up (task thread only).
  error_code first_refusal_;
  std::string discarded_state_file_;  // task thread only
};

}  // namespace httpdl
