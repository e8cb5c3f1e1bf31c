#pragma once
// Bencoding: integers "i<decimal>e", byte strings "<length>:<bytes>", lists "l...e" and
// dictionaries "d...e" whose keys are byte strings in ascending byte order. Free of I/O.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <boost/system/error_code.hpp>

namespace httpdl::bencode {

class value {
 public:
  enum class kind { integer, string, list, dictionary };

  value() = default;
  static value make_integer(std::int64_t n);
  static value make_string(std::string bytes);
  static value make_list();
  static value make_dictionary();

  kind type() const { return type_; }
  std::int64_t integer() const { return integer_; }
  const std::string& string() const { return string_; }
  // List elements, or dictionary values in the order of keys().
  const std::vector<value>& items() const { return items_; }
  // Dictionary keys, ascending.
  const std::vector<std::string>& keys() const { return keys_; }

  void append(value item);                   // lists
  void set(std::string key, value item);     // dictionaries: inserts or replaces, keeps keys sorted
  const value* find(std::string_view key) const;  // dictionaries; null when absent

 private:
  kind type_ = kind::integer;
  std::int64_t integer_ = 0;
  std::string string_;
  std::vector<std::string> keys_;
  std::vector<value> items_;
};

// Containers may nest this deep; deeper input is refused.
inline constexpr int kMaxDepth = 32;

std::string encode(const value& v);

// Exactly one value and nothing after it. Refuses leading zeros, "-0", integers outside 64
// bits, string lengths beyond the input, keys that are not strictly ascending, and nesting
// deeper than kMaxDepth. Every refusal is the engine error invalid_entry_type.
boost::system::error_code decode(std::string_view text, value& out);

}  // namespace httpdl::bencode
