#include "download/http/bencode.h"

#include <algorithm>
#include <limits>

#include "download/http/error.h"

namespace httpdl::bencode {

value value::make_integer(std::int64_t n) {
  value v;
  v.type_ = kind::integer;
  v.integer_ = n;
  return v;
}

value value::make_string(std::string bytes) {
  value v;
  v.type_ = kind::string;
  v.string_ = std::move(bytes);
  return v;
}

value value::make_list() {
  value v;
  v.type_ = kind::list;
  return v;
}

value value::make_dictionary() {
  value v;
  v.type_ = kind::dictionary;
  return v;
}

void value::append(value item) { items_.push_back(std::move(item)); }

void value::set(std::string key, value item) {
  const auto at = std::lower_bound(keys_.begin(), keys_.end(), key);
  const auto index = at - keys_.begin();
  if (at != keys_.end() && *at == key) {
    items_[static_cast<std::size_t>(index)] = std::move(item);
    return;
  }
  keys_.insert(at, std::move(key));
  items_.insert(items_.begin() + index, std::move(item));
}

const value* value::find(std::string_view key) const {
  const auto at = std::lower_bound(keys_.begin(), keys_.end(), key,
                                   [](const std::string& a, std::string_view b) { return a < b; });
  if (at == keys_.end() || *at != key) return nullptr;
  return &items_[static_cast<std::size_t>(at - keys_.begin())];
}

namespace {

void encode_into(const value& v, std::string& out) {
  switch (v.type()) {
    case value::kind::integer:
      out += 'i';
      out += std::to_string(v.integer());
      out += 'e';
      break;
    case value::kind::string:
      out += std::to_string(v.string().size());
      out += ':';
      out += v.string();
      break;
    case value::kind::list:
      out += 'l';
      for (const value& item : v.items()) encode_into(item, out);
      out += 'e';
      break;
    case value::kind::dictionary:
      // keys() is kept in ascending byte order by set().
      out += 'd';
      for (std::size_t i = 0; i < v.keys().size(); ++i) {
        out += std::to_string(v.keys()[i].size());
        out += ':';
        out += v.keys()[i];
        encode_into(v.items()[i], out);
      }
      out += 'e';
      break;
  }
}

// The decoder walks the text once. Open containers are kept on an explicit stack, so the depth
// of the input never becomes depth of the call stack.
class decoder {
 public:
  explicit decoder(std::string_view text) : text_(text) {}

  enum class state { value_start, dictionary_key, finished };

  bool run(value& out) {
    state st = state::value_start;
    while (pos_ < text_.size()) {
      if (st == state::finished) return false;  // bytes after the value
      const char c = text_[pos_];
      if (st == state::dictionary_key) {
        if (c == 'e') {
          ++pos_;
          if (!close_container(out)) return false;
          st = stack_.empty() ? state::finished : next_state_after_value();
          continue;
        }
        std::string key;
        if (!read_string(key)) return false;
        const value& dict = stack_.back().container;
        if (!dict.keys().empty() && !(dict.keys().back() < key)) return false;  // unsorted or repeated
        stack_.back().pending_key = std::move(key);
        st = state::value_start;
        continue;
      }
      // value_start
      if (c == 'e') {
        // Only a list may end where a value could start.
        if (stack_.empty() || stack_.back().container.type() != value::kind::list) return false;
        ++pos_;
        if (!close_container(out)) return false;
        st = stack_.empty() ? state::finished : next_state_after_value();
        continue;
      }
      if (c == 'l' || c == 'd') {
        if (static_cast<int>(stack_.size()) >= kMaxDepth) return false;
        ++pos_;
        stack_.push_back({c == 'l' ? value::make_list() : value::make_dictionary(), {}});
        st = c == 'l' ? state::value_start : state::dictionary_key;
        continue;
      }
      value item;
      if (c == 'i') {
        std::int64_t n = 0;
        if (!read_integer(n)) return false;
        item = value::make_integer(n);
      } else {
        std::string bytes;
        if (!read_string(bytes)) return false;
        item = value::make_string(std::move(bytes));
      }
      if (!deliver(std::move(item), out)) return false;
      st = stack_.empty() ? state::finished : next_state_after_value();
    }
    return st == state::finished;
  }

 private:
  struct open_container {
    value container;
    std::string pending_key;
  };

  // What the innermost open container expects after one of its values.
  state next_state_after_value() const {
    return stack_.back().container.type() == value::kind::list ? state::value_start : state::dictionary_key;
  }

  bool deliver(value item, value& out) {
    if (stack_.empty()) {
      out = std::move(item);
      return true;
    }
    open_container& top = stack_.back();
    if (top.container.type() == value::kind::list) {
      top.container.append(std::move(item));
    } else {
      top.container.set(std::move(top.pending_key), std::move(item));
      top.pending_key.clear();
    }
    return true;
  }

  bool close_container(value& out) {
    value done = std::move(stack_.back().container);
    stack_.pop_back();
    return deliver(std::move(done), out);
  }

  // "i" [-] digits "e", no leading zero, no "-0", within 64 bits.
  bool read_integer(std::int64_t& out) {
    ++pos_;  // 'i'
    bool negative = false;
    if (pos_ < text_.size() && text_[pos_] == '-') {
      negative = true;
      ++pos_;
    }
    const std::size_t digits_start = pos_;
    // Magnitudes up to 2^63 are representable as negative numbers.
    const std::uint64_t limit = negative ? static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1
                                         : static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    std::uint64_t magnitude = 0;
    while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
      const auto digit = static_cast<std::uint64_t>(text_[pos_] - '0');
      if (magnitude > (limit - digit) / 10) return false;
      magnitude = magnitude * 10 + digit;
      ++pos_;
    }
    const std::size_t digits = pos_ - digits_start;
    if (digits == 0 || pos_ >= text_.size() || text_[pos_] != 'e') return false;
    if (text_[digits_start] == '0' && (digits > 1 || negative)) return false;
    ++pos_;
    out = negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
    return true;
  }

  // digits ":" bytes; the length may not reach past the end of the input.
  bool read_string(std::string& out) {
    const std::size_t digits_start = pos_;
    std::uint64_t length = 0;
    const std::uint64_t limit = text_.size();
    while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
      length = length * 10 + static_cast<std::uint64_t>(text_[pos_] - '0');
      if (length > limit) return false;
      ++pos_;
    }
    const std::size_t digits = pos_ - digits_start;
    if (digits == 0 || pos_ >= text_.size() || text_[pos_] != ':') return false;
    if (text_[digits_start] == '0' && digits > 1) return false;
    ++pos_;
    if (length > text_.size() - pos_) return false;
    out.assign(text_.substr(pos_, static_cast<std::size_t>(length)));
    pos_ += static_cast<std::size_t>(length);
    return true;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::vector<open_container> stack_;
};

}  // namespace

std::string encode(const value& v) {
  std::string out;
  encode_into(v, out);
  return out;
}

boost::system::error_code decode(std::string_view text, value& out) {
  value result;
  if (!decoder(text).run(result)) return errors::invalid_entry_type;
  out = std::move(result);
  return {};
}

}  // namespace httpdl::bencode
