#include "download/http/multi_download.h"

#include <algorithm>
#include <limits>

#include <boost/asio/error.hpp>
#include <boost/asio/post.hpp>
#include <boost/date_time/posix_time/posix_time_types.hpp>
#include <boost/system/system_error.hpp>

#include "common/Encoding.h"
#include "common/FileOps.h"
#include "download/http/error.h"

namespace httpdl {

namespace asio = boost::asio;
namespace pt = boost::posix_time;

namespace {

void set_option(header_options& options, const char* name, const std::string& value) {
  options.remove(name);
  options.insert(name, value);
}

std::string range_value(const range& r) {
  return "bytes=" + std::to_string(r.left) + "-" + std::to_string(r.right);
}

pt::ptime now() { return pt::microsec_clock::universal_time(); }

// 403, 404 and 405 end a connection for good; any other failure is retried.
bool refuses_for_good(const boost::system::error_code& ec) {
  const int status = status_of(ec);
  return status == 403 || status == 404 || status == 405;
}

}  // namespace

multi_download::multi_download(asio::io_context& io) : io_(io), timer_(io) {}

multi_download::~multi_download() { close(); }

// ---- start ----------------------------------------------------------------------------------

void multi_download::start(const std::string& url, const download_settings& settings) {
  begin_run(url, settings);
  const record_ptr probe = open_probe();
  const probe_verdict verdict = adopt_probe_answer(*probe->stream);
  const bool resumed = resume_or_start_afresh();
  if (multi_connection_ && downloaded_.is_full()) {
    finish_without_transfer(*probe->stream);
    return;
  }
  open_storage(resumed);
  settle_settings(resumed);
  start_probe_connection(probe, verdict);
  if (multi_connection_) start_other_connections();
  arm_timer();
}

// A clean slate: a later start begins again and resumes from the state file.
void multi_download::begin_run(const std::string& url, const download_settings& settings) {
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
    failure_ = download_failure();
  }
  first_refusal_.clear();
  discarded_state_file_.clear();
  complete_ = false;
  multi_connection_ = false;
  keep_alive_ = false;
  stat_.bytes_this_second = 0;
  stat_.speed = 0;
  error_code ec;
  final_url_ = parsed_url(url, ec);
  if (ec) fail_start({failure_stage::address, ec, 0, url, {}});
  std::lock_guard lock(file_name_mutex_);
  file_name_ = settings_.temp_file;
}

// The probe: the whole file from byte 0, following redirects.
multi_download::record_ptr multi_download::open_probe() {
  auto probe = std::make_shared<http_stream_object>();
  probe->stream = new_stream();
  header_options options = settings_.header_options;
  set_option(options, option::range, "bytes=0-");
  set_option(options, option::connection, "keep-alive");
  probe->stream->set_request_options(options);
  error_code ec;
  probe->stream->open(final_url_.to_string(), ec);
  if (ec) {
    fail_start({failure_stage::probe, ec, status_of(ec), probe->stream->url().to_string(),
                probe->stream->certificate_problem()});
  }
  // Later requests go straight to where the redirects led.
  if (!probe->stream->location().empty()) {
    parsed_url redirected(probe->stream->location(), ec);
    if (!ec) final_url_ = std::move(redirected);
  }
  return probe;
}

probe_verdict multi_download::adopt_probe_answer(const http_stream& probe) {
  const probe_verdict verdict = interpret_probe(probe.response_options());
  if (verdict.error) {
    fail_start({failure_stage::probe, verdict.error, 0, final_url_.to_string(), answer_summary(probe.response_options())});
  }
  multi_connection_ = verdict.multi_connection;
  keep_alive_ = multi_connection_ && verdict.keep_alive;
  if (verdict.file_size >= 0) {
    file_size_ = verdict.file_size;
    allocated_.reset(verdict.file_size);
    downloaded_.reset(verdict.file_size);
  }
  return verdict;
}

// Resumes from the state file; anything unusable there is thrown away with the body. Only a
// download in ranges keeps a state file.
bool multi_download::resume_or_start_afresh() {
  if (!multi_connection_) return false;
  if (settings_.state_file.empty()) settings_.state_file = file_name() + L".cfg";
  if (load_state_file(file_size_)) return true;
  allocated_.reset(file_size_);
  downloaded_.reset(file_size_);
  return false;
}

// The state file shows every byte stored: nothing is left to fetch.
void multi_download::finish_without_transfer(http_stream& probe) {
  error_code ignored;
  probe.close(ignored);
  release_files();
  complete_ = true;
}

// The body's file. Without a resumable state a leftover body must not keep its bytes; a
// resumed one keeps them but not a tail beyond the file's end.
void multi_download::open_storage(bool resumed) {
  storage_ = settings_.storage_factory ? settings_.storage_factory() : std::make_unique<file_storage>();
  error_code ec;
  storage_->open(file_name(), ec);
  const std::int64_t size = file_size_;
  if (!ec && (!resumed || storage_->size() > size)) ec = storage_->truncate(resumed ? size : 0);
  if (ec) fail_start({failure_stage::storage, ec, 0, final_url_.to_string(), encoding::WideToAnsi(file_name())});
}

// Settings outside their sense get the nearest sensible value.
void multi_download::settle_settings(bool resumed) {
  if (settings_.connections == -1) settings_.connections = 5;
  settings_.connections = std::max(settings_.connections, 1);
  settings_.pieces_per_request = std::max(settings_.pieces_per_request, 1);
  settings_.timeout_seconds = std::max(settings_.timeout_seconds, 1);
  if (!resumed) {
    // Kept within the bounds a state file is accepted with, so that it can be resumed from.
    piece_size_ = settings_.piece_size == -1 ? compute_piece_size(std::max<std::int64_t>(file_size_, 0))
                                             : std::clamp<std::int64_t>(settings_.piece_size, kMinPieceSize, kMaxPieceSize);
  }
  max_request_bytes_ = static_cast<std::int64_t>(settings_.pieces_per_request) * piece_size_;
}

// Connection 0 keeps reading the probe's answer when the answer starts at byte 0 and so does
// the range it is given; otherwise it asks anew. One connection alone reads the answer to its end.
void multi_download::start_probe_connection(const record_ptr& probe, const probe_verdict& verdict) {
  // Running, unless a stop() came while probing.
  abort_ = stop_requested_generation_.load() == generation_.load();
  complete_ = false;
  {
    std::lock_guard lock(connections_mutex_);
    connections_.push_back(probe);
  }
  probe->last_request_time = now();
  if (!multi_connection_) {
    async_read(0, probe);
    return;
  }
  range first;
  if (!take_next_range(first)) {
    probe->done = true;
    error_code ignored;
    probe->stream->close(ignored);
    return;
  }
  if (first.left == 0 && verdict.from_zero) {
    probe->request_range = first;
    probe->answered_last = verdict.answered_last;
    probe->open_ended = true;
    configure_range_request(*probe, keep_alive_, 0);
    async_read(0, probe);
    return;
  }
  error_code ec;
  probe->stream->close(ec);
  if (ec) fail_start({failure_stage::probe, ec, 0, final_url_.to_string(), {}});
  open_connection(0, first, nullptr, probe->stream);
}

// One more connection per free range, up to the limit.
void multi_download::start_other_connections() {
  for (int i = 1; i < settings_.connections; ++i) {
    range wanted;
    if (!take_next_range(wanted)) break;
    open_connection(static_cast<std::size_t>(i), wanted, nullptr, nullptr);
  }
}

void multi_download::fail_start(download_failure failure) {
  const error_code ec = failure.error;
  note_failure(std::move(failure));
  release_files();
  throw boost::system::system_error(ec);
}

// ---- connections and ranges -------------------------------------------------------------------

std::shared_ptr<http_stream> multi_download::new_stream() {
  auto stream = std::make_shared<http_stream>(io_);
  stream->set_proxy(settings_.proxy);
  stream->set_verify_certificate(settings_.verify_certificate);
  stream->set_ca_file(settings_.ca_file);
  return stream;
}

void multi_download::configure_range_request(http_stream_object& record, bool keep_alive, int redirect_limit) const {
  header_options options = settings_.header_options;
  set_option(options, option::connection, keep_alive ? "keep-alive" : "close");
  set_option(options, option::range, range_value(record.request_range));
  record.stream->set_request_options(options);
  record.stream->set_redirect_limit(redirect_limit);
}

// The one place a connection record is made and opened: record `index` (appended when it is
// the next index) fetches `wanted` over `stream`, or a new stream when none is given. A record
// that replaces another carries its counters, and handlers of the replaced one then see that
// it is no longer current.
void multi_download::open_connection(std::size_t index, const range& wanted, const http_stream_object* replaced,
                                     std::shared_ptr<http_stream> stream) {
  auto record = std::make_shared<http_stream_object>();
  record->stream = stream ? std::move(stream) : new_stream();
  record->request_range = wanted;
  if (replaced) {
    record->total_bytes = replaced->total_bytes.load();
    record->last_error = replaced->last_error;
  }
  configure_range_request(*record, keep_alive_, 0);
  record->last_request_time = now();
  {
    std::lock_guard lock(connections_mutex_);
    if (index < connections_.size()) {
      connections_[index] = record;
    } else {
      connections_.push_back(record);
      index = connections_.size() - 1;
    }
  }
  async_open(index, record);
}

// Which bytes a connection fetches next is decided here alone. The split is the range map's
// lowest gap not yet handed out, so the file fills from its start and a resumed download
// continues at its first missing byte; each request is capped at pieces_per_request pieces so
// that the last bytes of the file are shared among connections instead of waiting on one long
// range. Finding the gap and marking it handed out is one step under the allocation mutex.
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

// A record the timer replaced, or one that is done, still completes its last operation; its
// handlers must then leave everything alone.
bool multi_download::is_live(std::size_t index, const record_ptr& record) const {
  if (record->done) return false;
  std::lock_guard lock(connections_mutex_);
  return index < connections_.size() && connections_[index] == record;
}

void multi_download::async_open(std::size_t index, const record_ptr& record) {
  record->stream->async_open(final_url_.to_string(),
                             [this, index, record](const error_code& ec) { on_opened(index, record, ec); });
}

void multi_download::async_read(std::size_t index, const record_ptr& record) {
  record->stream->async_read_some(asio::buffer(record->buffer), [this, index, record](const error_code& ec, std::size_t n) {
    on_data(index, record, ec, n);
  });
}

// ---- connection handlers ----------------------------------------------------------------------

// The bytes of a read that belong where this record writes: in ranges, no further than the
// range asked for (the rest is another connection's) and than the range the answer announced;
// alone, no further than the file's end.
std::size_t multi_download::usable_bytes(const http_stream_object& record, std::size_t bytes) const {
  const std::int64_t offset = record.request_range.left + record.bytes_in_range;
  std::int64_t room = static_cast<std::int64_t>(bytes);
  if (multi_connection_) {
    room = std::min(record.request_range.right, record.answered_last) - offset + 1;
  } else if (file_size_ >= 0) {
    room = file_size_ - offset;
  }
  return static_cast<std::size_t>(std::clamp<std::int64_t>(room, 0, static_cast<std::int64_t>(bytes)));
}

void multi_download::on_data(std::size_t index, const record_ptr& record, const error_code& ec, std::size_t bytes) {
  if (!is_live(index, record)) return;
  stat_.bytes_this_second += static_cast<std::int64_t>(bytes);
  bytes = std::min(bytes, record->buffer.size());

  const std::int64_t offset = record->request_range.left + record->bytes_in_range;
  // Only bytes on disk count: anything else is fetched again from the first missing byte.
  const std::size_t usable = !storage_ || (ec && ec != asio::error::eof) ? 0 : usable_bytes(*record, bytes);
  if (usable > 0) {
    if (storage_->write(record->buffer.data(), offset, usable) != usable) {
      fail_download({failure_stage::write, storage_->write_error(), 0, final_url_.to_string(), {}});
      return;
    }
    if (file_size_ >= 0) downloaded_.add(offset, offset + static_cast<std::int64_t>(usable));
  }
  record->bytes_in_range += static_cast<std::int64_t>(usable);
  record->total_bytes += static_cast<std::int64_t>(usable);

  if (multi_connection_ && !ec && offset + static_cast<std::int64_t>(bytes) - 1 > record->answered_last) {
    // The body runs past the range its head announced: nothing more of this answer is believed.
    record->last_error = errors::body_beyond_range;
    record->reconnect = true;
    return;
  }
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
    if (!multi_connection_) end_single_connection(false, ec);
    return;  // the timer re-opens the connection once it has been silent long enough
  }
  if (multi_connection_ && bytes == 0) {
    // The answer ended before its range did: ask again from the first missing byte.
    record->reconnect = true;
    return;
  }
  if (!multi_connection_ && ((file_size_ >= 0 && record->total_bytes >= file_size_) || bytes == 0)) {
    end_single_connection(file_size_ >= 0 && record->total_bytes >= file_size_, ec);
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
  if (!is_live(index, record)) return;
  if (ec || abort_) {
    record->last_error = ec;
    if (!multi_connection_) end_download(false);
    return;
  }
  // Only the part asked for may be written at the range's offset: a whole file (200), another
  // part or an answer that contradicts itself is refused, and the timer asks again later.
  const std::int64_t expected_first = record->request_range.left + record->bytes_in_range;
  if (const error_code refused =
          check_range_answer(record->stream->response_options(), expected_first, file_size_, record->answered_last)) {
    record->last_error = refused;
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
  update_speed();
  if (!tend_connections()) {
    end_when_all_done();
    release_files();
    return;
  }
  arm_timer();
}

void multi_download::update_speed() {
  const double smoothed = (static_cast<double>(stat_.speed.load()) * 7.0 +
                           static_cast<double>(stat_.bytes_this_second.exchange(0))) / 8.0;
  stat_.speed = static_cast<int>(std::min(smoothed, static_cast<double>(std::numeric_limits<int>::max())));
}

// Stall detection: a connection silent for longer than the time-out, or one that asked for it,
// is re-opened or retired. True while any connection still has work.
bool multi_download::tend_connections() {
  std::vector<record_ptr> records;
  {
    std::lock_guard lock(connections_mutex_);
    records = connections_;
  }
  const pt::ptime current = now();
  bool working = false;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const record_ptr& record = records[i];
    if (record->done) continue;
    const bool silent = record->last_request_time.is_not_a_date_time() ||
                        current - record->last_request_time > pt::seconds(settings_.timeout_seconds);
    if (!silent && !record->reconnect) {
      working = true;
      continue;
    }
    if (reopen_or_retire(i, record)) working = true;
  }
  return working;
}

// A refused connection ends for good, the one connection of a download that is not split ends
// the download, and any other starts again from its first missing byte, or on a new range when
// its own is complete. True when the connection goes on.
bool multi_download::reopen_or_retire(std::size_t index, const record_ptr& record) {
  error_code ignored;
  record->stream->close(ignored);
  if (refuses_for_good(record->last_error)) {
    if (!first_refusal_) first_refusal_ = record->last_error;
    record->done = true;
    return false;
  }
  if (!multi_connection_) {
    note_failure({failure_stage::transfer, asio::error::timed_out, 0, final_url_.to_string(),
                  "nothing for " + std::to_string(settings_.timeout_seconds) + " s"});
    abort_ = true;
    record->done = true;
    return false;
  }
  record->reconnect = false;
  range wanted = record->request_range;
  const std::int64_t first_missing = record->request_range.left + record->bytes_in_range;
  if (first_missing <= wanted.right) {
    wanted.left = first_missing;
  } else if (!take_next_range(wanted)) {
    record->done = true;
    return false;
  }
  open_connection(index, wanted, record.get(), nullptr);
  return true;
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
  end_when_all_done();
}

// Every connection is done: the download is complete, or its connections gave up, and the
// first refusal among them says why.
void multi_download::end_when_all_done() {
  const bool complete = downloaded_.is_full();
  if (!complete && !abort_) {
    note_failure(first_refusal_ ? download_failure{failure_stage::ranges, first_refusal_, status_of(first_refusal_),
                                                   final_url_.to_string(), {}}
                                : download_failure{failure_stage::incomplete, {}, 0, final_url_.to_string(), {}});
  }
  end_download(complete);
}

// One connection carries the whole file, so its end is the download's end. Short of every
// byte, the reason is the connection's error, or the end of an answer that came too soon or
// never said how long the file is.
void multi_download::end_single_connection(bool complete, const error_code& ec) {
  if (!complete && !abort_) {
    error_code why = ec;
    if (!ec || ec == asio::error::eof) {
      why = file_size_ < 0 ? error_code(errors::size_unknown) : error_code(asio::error::eof);
    }
    note_failure({failure_stage::transfer, why, 0, final_url_.to_string(), {}});
  }
  end_download(complete);
}

void multi_download::end_download(bool complete) {
  complete_ = complete;
  abort_ = true;
  timer_.cancel();
}

void multi_download::note_failure(download_failure failure) {
  std::lock_guard lock(failure_mutex_);
  if (!failure_) failure_ = std::move(failure);
}

void multi_download::fail_download(download_failure failure) {
  note_failure(std::move(failure));
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
  if (!fileops::Exists(settings_.state_file)) return false;
  state_file_ = std::make_unique<file_storage>();
  error_code ec;
  state_file_->open(settings_.state_file, ec);
  if (ec) return discard_state_file("it cannot be opened: " + ec.message());
  const std::int64_t length = state_file_->size();
  if (length == 0) return false;  // a fresh record: nothing to resume
  download_state state;
  if (std::string why = read_state_record(probed_size, state); !why.empty()) return discard_state_file(std::move(why));
  if (settings_.use_stored_url && !state.final_url.empty()) {
    parsed_url stored(state.final_url, ec);
    if (ec) return discard_state_file("its address does not parse: " + state.final_url);
    final_url_ = std::move(stored);
  }
  piece_size_ = state.piece_size;
  allocated_.reset(state.file_size);
  downloaded_.reset(state.file_size);
  const piece_bitmap bitmap = piece_bitmap::from_bytes(state.bitfield, state.piece_num);
  allocated_.from_bitmap(bitmap, piece_size_);
  downloaded_.from_bitmap(bitmap, piece_size_);
  return true;
}

// The record of the open state file, or why it cannot be resumed from.
std::string multi_download::read_state_record(std::int64_t probed_size, download_state& state) {
  const std::int64_t length = state_file_->size();
  if (length < 0 || length > kMaxStateFileBytes) {
    return "its size (" + std::to_string(length) + " bytes) is not that of a download record";
  }
  std::string bytes(static_cast<std::size_t>(length), '\0');
  if (state_file_->read(bytes.data(), 0, bytes.size()) != bytes.size()) return "it could not be read whole";
  if (decode_download_state(bytes, state)) return "it is not a download record";
  if (!is_consistent(state)) return "its sizes, piece count and bitfield do not agree";
  if (state.file_size != probed_size) {
    return "it records a file of " + std::to_string(state.file_size) + " bytes, the server announces " +
           std::to_string(probed_size);
  }
  return {};
}

bool multi_download::discard_state_file(std::string why) {
  if (state_file_) {
    state_file_->close();
    state_file_.reset();
  }
  if (const fileops::Failure kept = fileops::RemoveFile(settings_.state_file)) {
    why += "; it could not be removed: " + kept.text;
  }
  discarded_state_file_ = std::move(why);
  return false;
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

download_failure multi_download::failure() const {
  std::lock_guard lock(failure_mutex_);
  return failure_;
}

std::string multi_download::discarded_state_file() const { return discarded_state_file_; }

}  // namespace httpdl
