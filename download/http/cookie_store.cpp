#include "download/http/cookie_store.h"

#include <algorithm>
#include <array>

#include "common/AsciiText.h"

namespace httpdl {

namespace {

// Longer cookies are dropped rather than stored: nothing legitimate needs more.
constexpr std::size_t kMaxCookieBytes = 4096;

bool is_date_delimiter(unsigned char c) {
  return c == 0x09 || (c >= 0x20 && c <= 0x2F) || (c >= 0x3B && c <= 0x40) ||
         (c >= 0x5B && c <= 0x60) || (c >= 0x7B && c <= 0x7E);
}

// Leading run of 1 to `max_digits` digits followed by a non-digit or the end.
bool leading_number(std::string_view token, std::size_t min_digits, std::size_t max_digits,
                    int& value, std::size_t& used) {
  std::size_t n = 0;
  while (n < token.size() && asciitext::IsDigit(token[n])) ++n;
  if (n < min_digits || n > max_digits) return false;
  value = 0;
  for (std::size_t i = 0; i < n; ++i) value = value * 10 + (token[i] - '0');
  used = n;
  return true;
}

bool parse_time_token(std::string_view token, int& h, int& m, int& s) {
  std::size_t used = 0;
  if (!leading_number(token, 1, 2, h, used) || used >= token.size() || token[used] != ':') return false;
  token.remove_prefix(used + 1);
  if (!leading_number(token, 1, 2, m, used) || used >= token.size() || token[used] != ':') return false;
  token.remove_prefix(used + 1);
  return leading_number(token, 1, 2, s, used);
}

bool parse_month_token(std::string_view token, int& month) {
  static constexpr std::array<std::string_view, 12> names = {
      "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
  if (token.size() < 3) return false;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (asciitext::EqualsIgnoringCase(token.substr(0, 3), names[i])) {
      month = static_cast<int>(i) + 1;
      return true;
    }
  }
  return false;
}

// Days from 1970-01-01 to the given proleptic Gregorian date.
std::int64_t days_from_civil(std::int64_t y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

int days_in_month(int year, int month) {
  static constexpr std::array<int, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : days[static_cast<std::size_t>(month - 1)];
}

bool is_ip_literal(const parsed_url& url) {
  if (url.ipv6()) return true;
  const std::string& host = url.host();
  return !host.empty() && std::all_of(host.begin(), host.end(), [](char c) { return asciitext::IsDigit(c) || c == '.'; });
}

bool domain_matches(std::string_view host, std::string_view domain, bool host_is_ip) {
  if (host == domain) return true;
  return !host_is_ip && host.size() > domain.size() && host.substr(host.size() - domain.size()) == domain &&
         host[host.size() - domain.size() - 1] == '.';
}

bool path_matches(std::string_view request_path, std::string_view cookie_path) {
  if (request_path == cookie_path) return true;
  return request_path.substr(0, cookie_path.size()) == cookie_path &&
         (cookie_path.back() == '/' || request_path[cookie_path.size()] == '/');
}

std::string default_path(std::string_view request_path) {
  if (request_path.empty() || request_path.front() != '/') return "/";
  const auto last = request_path.rfind('/');
  return last == 0 ? "/" : std::string(request_path.substr(0, last));
}

}  // namespace

bool parse_http_date(std::string_view text, unix_seconds& out) {
  bool have_time = false, have_day = false, have_month = false, have_year = false;
  int hour = 0, minute = 0, second = 0, day = 0, month = 0, year = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && is_date_delimiter(static_cast<unsigned char>(text[i]))) ++i;
    const std::size_t start = i;
    while (i < text.size() && !is_date_delimiter(static_cast<unsigned char>(text[i]))) ++i;
    const std::string_view token = text.substr(start, i - start);
    if (token.empty()) continue;
    std::size_t used = 0;
    int value = 0;
    if (!have_time && parse_time_token(token, hour, minute, second)) {
      have_time = true;
    } else if (!have_day && leading_number(token, 1, 2, value, used)) {
      day = value;
      have_day = true;
    } else if (!have_month && parse_month_token(token, month)) {
      have_month = true;
    } else if (!have_year && leading_number(token, 2, 4, value, used)) {
      year = value;
      have_year = true;
    }
  }
  if (!(have_time && have_day && have_month && have_year)) return false;
  if (year >= 70 && year <= 99) year += 1900;
  if (year >= 0 && year <= 69) year += 2000;
  if (year < 1601 || hour > 23 || minute > 59 || second > 59) return false;
  if (day < 1 || day > days_in_month(year, month)) return false;
  out = days_from_civil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
  return true;
}

std::optional<cookie> parse_set_cookie(std::string_view header, const parsed_url& url, unix_seconds now) {
  if (header.size() > kMaxCookieBytes) return std::nullopt;
  const auto semicolon = header.find(';');
  const std::string_view pair = header.substr(0, semicolon);
  const auto equals = pair.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  cookie c;
  c.name = asciitext::TrimBlanks(pair.substr(0, equals));
  c.value = asciitext::TrimBlanks(pair.substr(equals + 1));
  if (c.name.empty()) return std::nullopt;

  std::optional<unix_seconds> expires, max_age_expiry;
  std::string domain_attribute, path_attribute;
  std::string_view attributes = semicolon == std::string_view::npos ? std::string_view() : header.substr(semicolon + 1);
  while (!attributes.empty()) {
    const auto end = attributes.find(';');
    const std::string_view attribute = attributes.substr(0, end);
    attributes = end == std::string_view::npos ? std::string_view() : attributes.substr(end + 1);
    const auto eq = attribute.find('=');
    const std::string name = asciitext::Lowered(asciitext::TrimBlanks(attribute.substr(0, eq)));
    const std::string_view value = eq == std::string_view::npos ? std::string_view() : asciitext::TrimBlanks(attribute.substr(eq + 1));
    if (name == "expires") {
      unix_seconds when = 0;
      if (parse_http_date(value, when)) expires = when;
    } else if (name == "max-age") {
      const bool negative = !value.empty() && value.front() == '-';
      if (const auto parsed = asciitext::ParseDecimal(value.substr(negative ? 1 : 0), INT64_MAX)) {
        const std::uint64_t seconds = *parsed;
        // Any delta at or below zero expires the cookie at once.
        max_age_expiry = negative || seconds == 0 ? INT64_MIN
                                                  : (seconds > static_cast<std::uint64_t>(INT64_MAX - now)
                                                         ? INT64_MAX
                                                         : now + static_cast<unix_seconds>(seconds));
      }
    } else if (name == "domain") {
      std::string_view d = value;
      if (!d.empty() && d.front() == '.') d.remove_prefix(1);
      if (!d.empty()) domain_attribute = asciitext::Lowered(d);
    } else if (name == "path") {
      if (!value.empty() && value.front() == '/') path_attribute = value;
    } else if (name == "secure") {
      c.secure = true;
    } else if (name == "httponly") {
      c.http_only = true;
    }
  }
  c.expires = max_age_expiry ? max_age_expiry : expires;

  const std::string host = asciitext::Lowered(url.host());
  if (domain_attribute.empty()) {
    c.domain = host;
  } else {
    if (!domain_matches(host, domain_attribute, is_ip_literal(url))) return std::nullopt;
    c.domain = domain_attribute;
    c.host_only = false;
  }
  c.path = path_attribute.empty() ? default_path(url.path()) : path_attribute;
  return c;
}

void cookie_store::set_cookie(std::string_view header, const parsed_url& url, unix_seconds now) {
  std::optional<cookie> parsed = parse_set_cookie(header, url, now);
  if (!parsed) return;
  const auto same = std::find_if(cookies_.begin(), cookies_.end(), [&](const stored& s) {
    return s.c.name == parsed->name && s.c.domain == parsed->domain && s.c.path == parsed->path;
  });
  std::uint64_t created = next_created_++;
  if (same != cookies_.end()) {
    created = same->created;
    cookies_.erase(same);
  }
  if (parsed->expires && *parsed->expires <= now) return;
  if (cookies_.size() >= kMaxCookies) {
    cookies_.erase(std::min_element(cookies_.begin(), cookies_.end(),
                                    [](const stored& a, const stored& b) { return a.created < b.created; }));
  }
  cookies_.push_back({std::move(*parsed), created});
}

std::string cookie_store::cookie_string(const parsed_url& url, unix_seconds now) const {
  const std::string host = asciitext::Lowered(url.host());
  const bool host_is_ip = is_ip_literal(url);
  const bool secure = url.protocol() == "https";
  std::vector<const stored*> chosen;
  for (const stored& s : cookies_) {
    const cookie& c = s.c;
    const bool domain_ok = c.host_only ? host == c.domain : domain_matches(host, c.domain, host_is_ip);
    if (!domain_ok || !path_matches(url.path(), c.path)) continue;
    if (c.secure && !secure) continue;
    if (c.expires && *c.expires <= now) continue;
    chosen.push_back(&s);
  }
  std::stable_sort(chosen.begin(), chosen.end(), [](const stored* a, const stored* b) {
    if (a->c.path.size() != b->c.path.size()) return a->c.path.size() > b->c.path.size();
    return a->created < b->created;
  });
  std::string out;
  for (const stored* s : chosen) {
    if (!out.empty()) out += "; ";
    out += s->c.name + "=" + s->c.value;
  }
  return out;
}

}  // namespace httpdl
