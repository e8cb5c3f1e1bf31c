#include "download/http/response_head.h"

#include <algorithm>
#include <vector>

#include "common/AsciiText.h"
#include "download/http/error.h"

namespace httpdl {

namespace {

bool is_control(unsigned char c) { return c < 32 || c == 127; }

// RFC 7230 tchar: visible ASCII except the separators.
bool is_token_char(unsigned char c) {
  if (is_control(c) || c > 127) return false;
  return std::string_view("()<>@,;:\\\"/[]?={} \t").find(static_cast<char>(c)) == std::string_view::npos;
}

bool is_value_char(unsigned char c) { return c == '\t' || !is_control(c); }

// Reads 1 or more digits at `pos` up to `max`, moving `pos` past them.
bool read_number(std::string_view text, std::size_t& pos, unsigned max, unsigned& value) {
  std::size_t end = pos;
  while (end < text.size() && asciitext::IsDigit(text[end])) ++end;
  const auto number = asciitext::ParseDecimal(text.substr(pos, end - pos), max);
  if (!number) return false;
  value = static_cast<unsigned>(*number);
  pos = end;
  return true;
}

bool names_token(std::string_view list, std::string_view token) {
  while (!list.empty()) {
    const auto comma = list.find(',');
    if (asciitext::EqualsIgnoringCase(asciitext::TrimBlanks(list.substr(0, comma)), token)) return true;
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return false;
}

void take_length(std::string_view text, std::int64_t& length) {
  if (const auto value = asciitext::ParseDecimal(text, INT64_MAX)) length = std::max(length, static_cast<std::int64_t>(*value));
}

}  // namespace

bool parse_status_line(std::string_view line, int& status) {
  // Version numbers are only checked for form; their value is bounded to keep them finite.
  constexpr unsigned kMaxVersion = 999;
  if (line.size() < 2 || line.substr(line.size() - 2) != "\r\n") return false;
  line.remove_suffix(2);
  if (line.substr(0, 5) != "HTTP/") return false;
  std::size_t pos = 5;
  unsigned major = 0, minor = 0, code = 0;
  if (!read_number(line, pos, kMaxVersion, major) || pos >= line.size() || line[pos++] != '.') return false;
  if (!read_number(line, pos, kMaxVersion, minor) || pos >= line.size() || line[pos++] != ' ') return false;
  if (!read_number(line, pos, 999, code) || pos >= line.size() || line[pos++] != ' ') return false;
  const std::string_view reason = line.substr(pos);
  if (std::any_of(reason.begin(), reason.end(), [](char c) { return is_control(static_cast<unsigned char>(c)); })) {
    return false;
  }
  status = static_cast<int>(code);
  return true;
}

boost::system::error_code parse_header_block(std::string_view block, response_head& head) {
  const boost::system::error_code malformed = errors::malformed_response_headers;
  std::vector<header_options::entry> headers;
  while (!block.empty()) {
    const auto lf = block.find('\n');
    std::string_view line = block.substr(0, lf);
    block = lf == std::string_view::npos ? std::string_view() : block.substr(lf + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!std::all_of(line.begin(), line.end(), [](char c) { return is_value_char(static_cast<unsigned char>(c)); })) {
      return malformed;
    }
    if (!line.empty() && asciitext::IsBlank(line.front())) {
      if (headers.empty()) return malformed;
      std::string& value = headers.back().second;
      const std::string_view more = asciitext::TrimBlanks(line);
      if (!more.empty()) value += (value.empty() ? "" : " ") + std::string(more);
      continue;
    }
    const auto colon = line.find(':');
    if (colon == 0 || colon == std::string_view::npos) return malformed;
    const std::string_view name = line.substr(0, colon);
    if (!std::all_of(name.begin(), name.end(), [](char c) { return is_token_char(static_cast<unsigned char>(c)); })) {
      return malformed;
    }
    headers.emplace_back(std::string(name), std::string(asciitext::TrimBlanks(line.substr(colon + 1))));
  }

  for (auto& [name, value] : headers) {
    if (asciitext::EqualsIgnoringCase(name, "Content-Type")) {
      head.content_type = value;
    } else if (asciitext::EqualsIgnoringCase(name, "Content-Length")) {
      take_length(value, head.content_length);
      take_length(value, head.body_length);
    } else if (asciitext::EqualsIgnoringCase(name, "Location")) {
      head.location = value;
    } else if (asciitext::EqualsIgnoringCase(name, "Content-Range")) {
      const auto slash = value.find('/');
      if (slash != std::string::npos) take_length(asciitext::TrimBlanks(std::string_view(value).substr(slash + 1)), head.content_length);
    } else if (asciitext::EqualsIgnoringCase(name, "Transfer-Encoding")) {
      head.chunked = asciitext::EqualsIgnoringCase(value, "chunked");
    } else if (asciitext::EqualsIgnoringCase(name, "Connection")) {
      head.connection_close = head.connection_close || names_token(value, "close");
    }
    head.options.insert(std::move(name), std::move(value));
  }
  return {};
}

response_head_parser::result response_head_parser::fail(boost::system::error_code ec) {
  error_ = ec;
  phase_ = phase::failed;
  return result::failed;
}

response_head_parser::result response_head_parser::finish_status_line() {
  int status = 0;
  if (!parse_status_line(line_, status)) return fail(errors::malformed_status_line);
  line_.clear();
  if (status == 100) {
    phase_ = phase::after_continue_cr;
    return result::need_more;
  }
  head_ = response_head();
  head_.status_code = status;
  head_.options.insert(option::status_code, std::to_string(status));
  phase_ = phase::header_block;
  return result::need_more;
}

response_head_parser::result response_head_parser::finish_block() {
  if (const auto ec = parse_header_block(block_, head_)) return fail(ec);
  block_.clear();
  phase_ = phase::done;
  return result::done;
}

response_head_parser::result response_head_parser::feed(std::string_view data, std::size_t& consumed) {
  consumed = 0;
  if (phase_ == phase::done) return result::done;
  if (phase_ == phase::failed) return result::failed;
  while (consumed < data.size()) {
    const char c = data[consumed++];
    if (++total_ > kMaxHeadBytes) {
      return fail(phase_ == phase::header_block || phase_ == phase::block_end_lf
                      ? make_error_code(errors::malformed_response_headers)
                      : make_error_code(errors::malformed_status_line));
    }
    result r = result::need_more;
    switch (phase_) {
      case phase::status_line:
        line_ += c;
        if (c == '\n') r = finish_status_line();
        break;
      case phase::after_continue_cr:
        if (c != '\r') return fail(errors::malformed_status_line);
        phase_ = phase::after_continue_lf;
        break;
      case phase::after_continue_lf:
        if (c != '\n') return fail(errors::malformed_status_line);
        phase_ = phase::status_line;
        break;
      case phase::header_block:
        if (at_line_start_ && c == '\n') {
          r = finish_block();
        } else if (at_line_start_ && c == '\r') {
          phase_ = phase::block_end_lf;
        } else {
          block_ += c;
          at_line_start_ = c == '\n';
        }
        break;
      case phase::block_end_lf:
        if (c != '\n') return fail(errors::malformed_response_headers);
        r = finish_block();
        break;
      case phase::done:
      case phase::failed:
        break;
    }
    if (r != result::need_more) return r;
  }
  return result::need_more;
}

boost::system::error_code response_head_parser::end_of_stream_error(const boost::system::error_code& eof) const {
  switch (phase_) {
    case phase::status_line:
      return line_.empty() && total_ == 0 ? eof : make_error_code(errors::malformed_status_line);
    case phase::after_continue_cr:
    case phase::after_continue_lf:
      return errors::malformed_status_line;
    default:
      return errors::malformed_response_headers;
  }
}

}  // namespace httpdl
