#include "download/http/multi_download.h"

#include <algorithm>
#include <filesystem>
#include <limits>

#include <boost/asio/error.hpp>
#include <boost/asio/post.hpp>
#include <boost/date_time/posix_time/posix_time.hpp>
#include <boost/system/system_error.hpp>

#include "common/Encoding.h"
#include "download/http/error.h"
#include "download/http/state_file.h"
#include "download/http/text.h"

namespace httpdl {

namespace asio = boost::asio;
namespace pt = boost::posix_time;

namespace {

// A non-negative decimal that fits in 64 bits; -1 for anything else.
std::int64_t parse_size(std::string_view text) {
  std::uint64_t value = 0;
  if (!parse_decimal<std::uint64_t>(trim(text), static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()), value)) {
    return -1;
  }
  return static_cast<std::int64_t>(value);
}

// "bytes <first>-<last>/<total>": the first byte and the total (-1 when "*" or unreadable).
struct content_range {
  std::int64_t first = -1;
  std::int64_t total = -1;
};

content_range parse_content_range(std::string_view text) {
  content_range out;
  text = trim(text);
  const auto space = text.find(' ');
  if (space == std::string_view::npos || !iequals(text.substr(0, space), "bytes")) return out;
  const std::string_view span = text.substr(space + 1);
  const auto dash = span.find('-');
  const auto slash = span.find('/');
  if (dash == std::string_view::npos || slash == std::string_view::npos || dash > slash) return out;
  out.first = parse_size(span.substr(0, dash));
  out.total = parse_size(span.substr(slash + 1));
  return out;
}

void set_option(header_options& options, const char* name, const std::string& value) {
  options.remove(name);
  options.insert(name, value);
}

std::string range_value(const range& r) {
  return "bytes=" + std::to_string(r.left) + "-" + std::to_string(r.right);
}

pt::ptime now() { return pt::microsec_clock::universal_time(); }

const boost::system::error_code kWriteFailed = boost::system::errc::make_error_code(boost::system::errc::io_error);

}  // namespace

multi_download::multi_download(asio::io_context& io) : io_(io), timer_(io) {}

multi_download::~multi_download() { close(); }

std::shared_ptr<http_stream> multi_download::new_stream() {
  auto stream = std::make_shared<http_stream>(io_);
  stream->set_proxy(settings_.proxy);
  stream->set_verify_certificate(settings_.verify_certificate);
  stream->set_ca_file(settings_.ca_file);
  return stream;
}

multi_download::record_ptr multi_download::new_record() {
  auto record = std::make_shared<http_stream_object>();
  record->stream = new_stream();
  return record;
}

void multi_download::configure_range_request(http_stream_object& record, bool keep_alive, int redirect_limit) const {
  header_options options = settings_.header_options;
  set_option(options, option::connection, keep_alive ? "keep-alive" : "close");
  set_option(options, option::range, range_value(record.request_range));
  record.stream->set_request_options(options);
  record.stream->set_redirect_limit(redirect_limit);
}

void multi_download::start(const std::string& url, const download_settings& settings) {
  // A clean slate: a later start begins again and resumes from the state file.
  generation_.fetch_add(1);
  {
    std::lock_guard lock(connections_mutex_);
    connections_.clear();
  }
  release_files();
  file_size_ = -1;
  settings_ = settings;
  requested_url_ = url;
  {
    std::lock_guard lock(failure_mutex_);
    failure_.clear();
  }
  complete_ = false;
  multi_connection_ = false;
  keep_alive_ = false;
  stat_.bytes_this_second = 0;
  stat_.speed = 0;
  error_code ec;
  final_url_ = parsed_url(url, ec);
  if (ec) throw boost::system::system_error(ec);
  {
    std::lock_guard lock(file_name_mutex_);
    file_name_ = settings_.temp_file;
  }

  // The probe: the whole file from byte 0, following redirects.
  record_ptr probe = new_record();
  {
    header_options options = settings_.header_options;
    set_option(options, option::range, "bytes=0-");
    set_option(options, option::connection, "keep-alive");
    probe->stream->set_request_options(options);
  }
  probe->stream->open(final_url_.to_string(), ec);
  if (ec) throw boost::system::system_error(ec);

  // Later requests go straight to where the redirects led.
  if (!probe->stream->location().empty()) {
    parsed_url redirected(probe->stream->location(), ec);
    if (!ec) final_url_ = std::move(redirected);
  }

  // Partial content means the server serves ranges. For a 206 the file's size is the total
  // of Content-Range (Content-Length is only this part's length), and only a Content-Range
  // makes the later answers checkable, so without one the download keeps to one connection.
  // A Content-Length that is there but no number makes the answers untrustworthy: one
  // connection then reads the body.
  const header_options& head = probe->stream->response_options();
  std::string length_text;
  const bool has_length = head.find(option::content_length, length_text);
  const std::int64_t length = parse_size(length_text);
  std::int64_t size = length;
  bool probe_from_zero = false;
  if (head.value_of(option::status_code) == "206") {
    const content_range answered = parse_content_range(head.value_of(option::content_range));
    if (answered.total >= 0) size = answered.total;
    multi_connection_ = answered.total >= 0 && (!has_length || length >= 0);
    probe_from_zero = answered.first == 0;
    // One connection writes the answer from byte 0 on, so it has to start there.
    if (!multi_connection_ && answered.first > 0) throw boost::system::system_error(errors::malformed_response_headers);
  }
  if (size >= 0) {
    file_size_ = size;
    allocated_.reset(size);
    downloaded_.reset(size);
  }

  // Resume from the state file; anything unusable there is thrown away with the body.
  bool resumed = false;
  if (multi_connection_) {
    keep_alive_ = to_lower(head.value_of(option::connection)) == "keep-alive";
    if (settings_.state_file.empty()) settings_.state_file = file_name() + L".cfg";
    resumed = load_state_file(size);
    if (!resumed) {
      allocated_.reset(size);
      downloaded_.reset(size);
    }
  }

  // Nothing left to fetch.
  if (multi_connection_ && downloaded_.is_full()) {
    error_code ignored;
    probe->stream->close(ignored);
    release_files();
    complete_ = true;
    return;
  }

  // The body's file. Without a resumable state a leftover body must not keep its tail.
  storage_ = settings_.storage_factory ? settings_.storage_factory() : std::make_unique<file_storage>();
  storage_->open(file_name(), ec);
  // A resumed body keeps its bytes but not a tail beyond the file's end.
  if (!ec && (!resumed || storage_->size() > size)) ec = storage_->truncate(resumed ? size : 0);
  if (ec) {
    release_files();
    throw boost::system::system_error(ec);
  }

  // Settings outside their sense get the nearest sensible value.
  if (settings_.connections == -1) settings_.connections = 5;
  settings_.connections = std::max(settings_.connections, 1);
  settings_.pieces_per_request = std::max(settings_.pieces_per_request, 1);
  settings_.timeout_seconds = std::max(settings_.timeout_seconds, 1);
  if (!resumed) {
    // Kept within the bounds a state file is accepted with, so that it can be resumed from.
    piece_size_ = settings_.piece_size == -1 ? compute_piece_size(std::max<std::int64_t>(size, 0))
                                             : std::clamp<std::int64_t>(settings_.piece_size, kMinPieceSize, kMaxPieceSize);
  }
  max_request_bytes_ = static_cast<std::int64_t>(settings_.pieces_per_request) * piece_size_;

  // Running, unless a stop() came while probing.
  abort_ = stop_requested_generation_.load() == generation_.load();
  complete_ = false;
  {
    std::lock_guard lock(connections_mutex_);
    connections_.push_back(probe);
  }
  probe->last_request_time = now();

  if (multi_connection_) {
    // Connection 0 keeps reading the probe's answer when its range starts at byte 0 and
    // the answer does too; otherwise it asks anew.
    if (!take_next_range(probe->request_range)) {
      probe->done = true;
      error_code ignored;
      probe->stream->close(ignored);
    } else {
      configure_range_request(*probe, keep_alive_, 0);
      if (probe->request_range.left == 0 && probe_from_zero) {
        probe->open_ended = true;
        async_read(0, probe);
      } else {
        probe->stream->close(ec);
        if (ec) {
          release_files();
          throw boost::system::system_error(ec);
        }
        async_open(0, probe);
      }
    }
    // One more connection per free range, up to the limit.
    for (int i = 1; i < settings_.connections; ++i) {
      record_ptr record = new_record();
      if (!take_next_range(record->request_range)) break;
      configure_range_request(*record, keep_alive_, 0);
      std::size_t index = 0;
      {
        std::lock_guard lock(connections_mutex_);
        index = connections_.size();
        connections_.push_back(record);
      }
      record->last_request_time = now();
      async_open(index, record);
    }
  } else {
    // One connection reads the probe's answer to its end.
    async_read(0, probe);
  }
  arm_timer();
}

// ---- ranges ----------------------------------------------------------------------------------

bool multi_download::take_next_range(range& out) {
  std::lock_guard lock(allocation_mutex_);
  for (;;) {
    std::int64_t left = 0, right = 0;
    if (!allocated_.next_free(0, left, right)) return false;
    if (right - left > max_request_bytes_) right = left + max_request_bytes_;
    if (allocated_.add(left, right)) {
      out = {left, right - 1};
      return true;
    }
    if (abort_) return false;
  }
}

bool multi_download::is_current(std::size_t index, const record_ptr& record) const {
  std::lock_guard lock(connections_mutex_);
  return index < connections_.size() && connections_[index] == record;
}

// ---- connection handlers ---------------------------------------------------------------------

void multi_download::async_open(std::size_t index, const record_ptr& record) {
  record->stream->async_open(final_url_.to_string(),
                             [this, index, record](const error_code& ec) { on_opened(index, record, ec); });
}

void multi_download::async_read(std::size_t index, const record_ptr& record) {
  record->stream->async_read_some(asio::buffer(record->buffer), [this, index, record](const error_code& ec, std::size_t n) {
    on_data(index, record, ec, n);
  });
}

void multi_download::on_data(std::size_t index, const record_ptr& record, const error_code& ec, std::size_t bytes) {
  // A record the timer replaced still completes its last read; its bytes are fetched again.
  if (!is_current(index, record)) return;
  stat_.bytes_this_second += static_cast<std::int64_t>(bytes);
  bytes = std::min(bytes, record->buffer.size());

  std::size_t usable = bytes;
  const std::int64_t offset = record->request_range.left + record->bytes_in_range;
  const std::int64_t size = file_size_;
  if (multi_connection_) {
    // Bytes past the requested range belong to another connection's range.
    const std::int64_t wanted = record->request_range.right - record->request_range.left + 1 - record->bytes_in_range;
    usable = static_cast<std::size_t>(std::clamp<std::int64_t>(wanted, 0, static_cast<std::int64_t>(bytes)));
  } else if (size >= 0) {
    usable = static_cast<std::size_t>(std::clamp<std::int64_t>(size - offset, 0, static_cast<std::int64_t>(bytes)));
  }
  // Only bytes on disk count: anything else is fetched again from the first missing byte.
  if (!storage_ || (ec && ec != asio::error::eof)) usable = 0;
  if (usable > 0) {
    if (storage_->write(record->buffer.data(), offset, usable) != usable) {
      fail_download(kWriteFailed);
      return;
    }
    if (size >= 0) downloaded_.add(offset, offset + static_cast<std::int64_t>(usable));
  }
  record->bytes_in_range += static_cast<std::int64_t>(usable);
  record->total_bytes += static_cast<std::int64_t>(usable);

  if (multi_connection_ && !abort_ &&
      record->bytes_in_range >= record->request_range.right - record->request_range.left + 1) {
    // The next range goes on the same connection, unless the server closes it or this is the
    // probe's answer, which runs on to the file's end.
    if (ec || !keep_alive_ || record->open_ended) {
      if (allocated_.is_full()) {
        finish_record(*record);
      } else {
        record->reconnect = true;
      }
      return;
    }
    request_next_range(index, record);
    return;
  }
  if (ec || abort_) {
    if (!multi_connection_) end_download(false);
    return;  // the timer re-opens the connection once it has been silent long enough
  }
  if (multi_connection_ && bytes == 0) {
    // The answer ended before its range did: ask again from the first missing byte.
    record->reconnect = true;
    return;
  }
  if (!multi_connection_ && ((size >= 0 && record->total_bytes >= size) || bytes == 0)) {
    end_download(size >= 0 && record->total_bytes >= size);
    return;
  }
  record->last_request_time = now();
  async_read(index, record);
}

void multi_download::request_next_range(std::size_t index, const record_ptr& record) {
  if (!take_next_range(record->request_range)) {
    finish_record(*record);
    return;
  }
  record->bytes_in_range = 0;
  header_options options = settings_.header_options;
  set_option(options, option::connection, "keep-alive");
  set_option(options, option::range, range_value(record->request_range));
  record->stream->set_redirect_limit(0);
  record->last_request_time = now();
  record->stream->async_send_request(options, [this, index, record](const error_code& ec) { on_range_answer(index, record, ec); });
}

void multi_download::on_opened(std::size_t index, const record_ptr& record, const error_code& ec) {
  on_range_answer(index, record, ec);
}

void multi_download::on_range_answer(std::size_t index, const record_ptr& record, const error_code& ec) {
  if (!is_current(index, record)) return;
  if (ec || abort_) {
    record->last_error = ec;
    if (!multi_connection_) end_download(false);
    return;
  }
  // Only the part asked for may be written at the range's offset: a whole file (200) or
  // another part is refused, and the timer asks again later.
  const header_options& head = record->stream->response_options();
  const content_range answered = parse_content_range(head.value_of(option::content_range));
  const std::int64_t expected_first = record->request_range.left + record->bytes_in_range;
  if (record->stream->status_code() != 206) {
    record->last_error = status_error(record->stream->status_code());
    return;
  }
  if (answered.first != expected_first || answered.total != file_size_) {
    record->last_error = errors::malformed_response_headers;
    return;
  }
  record->last_error.clear();
  record->last_request_time = now();
  async_read(index, record);
}

// ---- the one-second timer -------------------------------------------------------------------

void multi_download::arm_timer() {
  timer_.expires_after(std::chrono::seconds(1));
  timer_.async_wait([this](const error_code& ec) { on_timer(ec); });
}

void multi_download::on_timer(const error_code& ec) {
  if (multi_connection_) save_state_file();
  if (abort_ || ec) {
    release_files();
    return;
  }
  const double smoothed = (static_cast<double>(stat_.speed.load()) * 7.0 +
                           static_cast<double>(stat_.bytes_this_second.exchange(0))) / 8.0;
  stat_.speed = static_cast<int>(std::min(smoothed, static_cast<double>(std::numeric_limits<int>::max())));

  const pt::ptime current = now();
  bool all_done = true;
  {
    std::lock_guard lock(connections_mutex_);
    for (std::size_t i = 0; i < connections_.size(); ++i) {
      record_ptr record = connections_[i];
      if (record->done) continue;
      const bool silent = record->last_request_time.is_not_a_date_time() ||
                          current - record->last_request_time > pt::seconds(settings_.timeout_seconds);
      if (!silent && !record->reconnect) {
        all_done = false;
        continue;
      }
      error_code ignored;
      record->stream->close(ignored);
      const int status = record->last_error.category() == http_category() ? record->last_error.value() : 0;
      if (status == 403 || status == 404 || status == 405) {
        record->done = true;
        continue;
      }
      if (!multi_connection_) {
        abort_ = true;
        record->done = true;
        continue;
      }
      // A fresh record: handlers of the old one see they are no longer current.
      auto fresh = std::make_shared<http_stream_object>();
      fresh->stream = new_stream();
      fresh->request_range = record->request_range;
      fresh->bytes_in_range = record->bytes_in_range;
      fresh->total_bytes = record->total_bytes.load();
      fresh->last_error = record->last_error;
      const std::int64_t first_missing = record->request_range.left + record->bytes_in_range;
      if (first_missing > record->request_range.right) {
        if (!take_next_range(fresh->request_range)) {
          fresh->done = true;
          connections_[i] = fresh;
          continue;
        }
        fresh->bytes_in_range = 0;
      } else {
        fresh->request_range.left = first_missing;
        fresh->bytes_in_range = 0;
      }
      configure_range_request(*fresh, keep_alive_, 0);
      fresh->last_request_time = current;
      connections_[i] = fresh;
      all_done = false;
      fresh->stream->async_open(final_url_.to_string(),
                                [this, i, fresh](const error_code& e) { on_opened(i, fresh, e); });
    }
  }
  if (all_done) {
    end_download(downloaded_.is_full());
    release_files();
    return;
  }
  arm_timer();
}

// ---- endings ---------------------------------------------------------------------------------

// A connection whose range is complete with nothing left to hand out is done at once, and the
// last one to finish ends the download then, instead of at the next tick of the timer.
void multi_download::finish_record(http_stream_object& record) {
  error_code ignored;
  record.stream->close(ignored);
  record.done = true;
  {
    std::lock_guard lock(connections_mutex_);
    for (const record_ptr& other : connections_) {
      if (!other->done) return;
    }
  }
  end_download(downloaded_.is_full());
}

void multi_download::end_download(bool complete) {
  complete_ = complete;
  abort_ = true;
  timer_.cancel();
}

void multi_download::fail_download(const error_code& ec) {
  {
    std::lock_guard lock(failure_mutex_);
    if (!failure_) failure_ = ec;
  }
  end_download(false);
  close_streams();
}

void multi_download::close_streams() {
  std::lock_guard lock(connections_mutex_);
  for (const record_ptr& record : connections_) {
    error_code ignored;
    record->stream->close(ignored);
  }
}

void multi_download::stop() {
  const unsigned generation = generation_.load();
  stop_requested_generation_ = generation;
  abort_ = true;
  asio::post(io_, [this, generation] {
    if (generation != generation_.load()) return;
    timer_.cancel();
    close_streams();
  });
}

void multi_download::release_files() {
  if (state_file_) {
    state_file_->close();
    state_file_.reset();
  }
  if (storage_) {
    storage_->close();
    storage_.reset();
  }
}

void multi_download::close() { release_files(); }

// ---- state file ------------------------------------------------------------------------------

bool multi_download::load_state_file(std::int64_t probed_size) {
  if (state_file_) {
    state_file_->close();
    state_file_.reset();
  }
  // Without a record there is nothing to resume; the first save creates it.
  std::error_code missing;
  if (!std::filesystem::exists(encoding::ToPath(settings_.state_file), missing)) return false;
  state_file_ = std::make_unique<file_storage>();
  error_code ec;
  state_file_->open(settings_.state_file, ec);
  if (ec) {
    discard_state_file();
    return false;
  }
  const std::int64_t length = state_file_->size();
  if (length == 0) return false;  // a fresh record: nothing to resume
  download_state state;
  std::string bytes;
  bool usable = length > 0 && length <= std::numeric_limits<std::int32_t>::max();
  if (usable) {
    bytes.resize(static_cast<std::size_t>(length));
    usable = state_file_->read(bytes.data(), 0, bytes.size()) == bytes.size() && !decode_download_state(bytes, state) &&
             is_consistent(state) && state.file_size == probed_size;
  }
  if (usable && settings_.use_stored_url && !state.final_url.empty()) {
    parsed_url stored(state.final_url, ec);
    usable = !ec;
    if (usable) final_url_ = std::move(stored);
  }
  if (!usable) {
    discard_state_file();
    return false;
  }
  piece_size_ = state.piece_size;
  allocated_.reset(state.file_size);
  downloaded_.reset(state.file_size);
  const piece_bitmap bitmap = piece_bitmap::from_bytes(state.bitfield, state.piece_num);
  allocated_.from_bitmap(bitmap, piece_size_);
  downloaded_.from_bitmap(bitmap, piece_size_);
  return true;
}

void multi_download::discard_state_file() {
  if (state_file_) {
    state_file_->close();
    state_file_.reset();
  }
  std::error_code ignored;
  std::filesystem::remove(encoding::ToPath(settings_.state_file), ignored);
}

void multi_download::save_state_file() {
  if (!state_file_) {
    auto file = std::make_unique<file_storage>();
    error_code ec;
    file->open(settings_.state_file, ec);
    if (ec) return;
    state_file_ = std::move(file);
  }
  download_state state;
  state.file_size = file_size_;
  state.final_url = final_url_.to_string();
  state.requested_url = requested_url_;
  state.piece_size = piece_size_;
  const piece_bitmap bitmap = downloaded_.to_bitmap(piece_size_);
  state.piece_num = bitmap.size();
  state.bitfield = bitmap.bytes();
  const std::string bytes = encode_download_state(state);
  if (state_file_->write(bytes.data(), 0, bytes.size()) == bytes.size()) {
    state_file_->truncate(static_cast<std::int64_t>(bytes.size()));
  }
}

// ---- queries ---------------------------------------------------------------------------------

std::int64_t multi_download::downloaded_bytes() const {
  if (file_size_ >= 0) return downloaded_.covered_bytes();
  std::lock_guard lock(connections_mutex_);
  std::int64_t sum = 0;
  for (const record_ptr& record : connections_) sum += record->total_bytes;
  return sum;
}

std::wstring multi_download::file_name() const {
  std::lock_guard lock(file_name_mutex_);
  return file_name_;
}

boost::system::error_code multi_download::failure() const {
  std::lock_guard lock(failure_mutex_);
  return failure_;
}

}  // namespace httpdl
