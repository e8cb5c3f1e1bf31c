#include "download/http/location.h"

namespace httpdl {

namespace {

constexpr auto npos = std::string_view::npos;

bool is_alpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// scheme = ALPHA *( ALPHA / DIGIT / "+" / "-" / "." ), followed by ":" before any "/?#".
bool has_scheme(std::string_view ref) {
  if (ref.empty() || !is_alpha(ref.front())) return false;
  for (char c : ref.substr(1)) {
    if (c == ':') return true;
    if (!is_alpha(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') return false;
  }
  return false;
}

std::string remove_dot_segments(std::string_view in) {
  std::string out;
  auto drop_last_segment = [&out] {
    const auto slash = out.rfind('/');
    out.erase(slash == std::string::npos ? 0 : slash);
  };
  while (!in.empty()) {
    if (in.substr(0, 3) == "../") {
      in.remove_prefix(3);
    } else if (in.substr(0, 2) == "./") {
      in.remove_prefix(2);
    } else if (in.substr(0, 3) == "/./") {
      in.remove_prefix(2);
    } else if (in == "/.") {
      in = "/";
    } else if (in.substr(0, 4) == "/../") {
      in.remove_prefix(3);
      drop_last_segment();
    } else if (in == "/..") {
      in = "/";
      drop_last_segment();
    } else if (in == "." || in == "..") {
      in = {};
    } else {
      const auto next = in.find('/', 1);
      const auto segment = in.substr(0, next);
      out += segment;
      in.remove_prefix(segment.size());
    }
  }
  return out;
}

}  // namespace

std::string resolve_reference(const parsed_url& base, std::string_view reference) {
  if (has_scheme(reference)) return std::string(reference);
  if (reference.substr(0, 2) == "//") return base.protocol() + ":" + std::string(reference);

  std::string_view path = reference;
  std::string_view query, fragment;
  bool has_query = false, has_fragment = false;
  if (const auto hash = path.find('#'); hash != npos) {
    fragment = path.substr(hash + 1);
    has_fragment = true;
    path = path.substr(0, hash);
  }
  if (const auto question = path.find('?'); question != npos) {
    query = path.substr(question + 1);
    has_query = true;
    path = path.substr(0, question);
  }

  std::string target_path;
  std::string_view target_query = query;
  if (path.empty()) {
    target_path = base.path();
    if (!has_query) {
      target_query = base.query();
      has_query = !target_query.empty();
    }
  } else if (path.front() == '/') {
    target_path = remove_dot_segments(path);
  } else {
    const std::string& base_path = base.path().empty() ? std::string("/") : base.path();
    target_path = remove_dot_segments(base_path.substr(0, base_path.rfind('/') + 1) + std::string(path));
  }

  std::string out = base.to_string(url_part::protocol | url_part::user_info | url_part::host | url_part::port);
  out += target_path;
  if (has_query) out += "?" + std::string(target_query);
  if (has_fragment) out += "#" + std::string(fragment);
  return out;
}

}  // namespace httpdl
