#pragma once
// The ordered (name, value) list used for the options of a request, the record of a request
// sent and the headers of a response, with the names the engine knows.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace httpdl {

// Option names. Names beginning with "_" are pseudo-options, never sent as header lines.
namespace option {
inline constexpr const char* request_method = "_request_method";
inline constexpr const char* http_version = "_http_version";
inline constexpr const char* request_body = "_request_body";
inline constexpr const char* status_code = "_status_code";
inline constexpr const char* path = "_path";
inline constexpr const char* url = "_url";

inline constexpr const char* host = "Host";
inline constexpr const char* accept = "Accept";
inline constexpr const char* range = "Range";
inline constexpr const char* cookie = "Cookie";
inline constexpr const char* referer = "Referer";
inline constexpr const char* user_agent = "User-Agent";
inline constexpr const char* content_type = "Content-Type";
inline constexpr const char* content_length = "Content-Length";
inline constexpr const char* content_range = "Content-Range";
inline constexpr const char* connection = "Connection";
inline constexpr const char* proxy_connection = "Proxy-Connection";
inline constexpr const char* accept_encoding = "Accept-Encoding";
inline constexpr const char* transfer_encoding = "Transfer-Encoding";
inline constexpr const char* content_encoding = "Content-Encoding";

inline bool is_pseudo(std::string_view name) { return !name.empty() && name.front() == '_'; }
}  // namespace option

class header_options {
 public:
  using entry = std::pair<std::string, std::string>;

  // Appends the pair; duplicates are kept.
  void insert(std::string name, std::string value);
  // Removes the first pair whose name equals `name` exactly.
  void remove(std::string_view name);
  // The value of the first pair whose name matches case-insensitively; `value` is left alone
  // when none does.
  bool find(std::string_view name, std::string& value) const;
  // The first match's value, or empty text.
  std::string value_of(std::string_view name) const;

  void clear() { entries_.clear(); }
  bool empty() const { return entries_.empty(); }
  std::size_t size() const { return entries_.size(); }
  const std::vector<entry>& entries() const { return entries_; }

  friend bool operator==(const header_options&, const header_options&) = default;

 private:
  std::vector<entry> entries_;
};

}  // namespace httpdl
