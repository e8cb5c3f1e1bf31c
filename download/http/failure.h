#pragma once
// Why a download failed: the first fatal error of a run with where it struck, kept so that the
// log can say it in words a support person understands (a blocked network, a broken mirror and
// a full disk each read differently).

#include <string>

#include <boost/system/error_code.hpp>

namespace httpdl {

enum class failure_stage {
  none,
  address,     // the URL does not parse
  probe,       // the first request: name, connection, TLS, the answer's head
  storage,     // the body's file could not be opened or prepared
  transfer,    // the one connection carrying the whole file lost it, stalled or ended early
  write,       // a write of the body failed
  ranges,      // every connection still needed was refused for good (403, 404, 405)
  incomplete,  // every connection ended, bytes are missing and no refusal says why
  move,        // the finished body could not be moved to its target
  internal,    // an exception no step expected, such as memory running out
};

struct download_failure {
  failure_stage stage = failure_stage::none;
  boost::system::error_code error;
  int http_status = 0;  // the HTTP status behind the failure; 0 when none
  std::string url;      // the address in use when it struck
  std::string detail;   // what a person needs besides the error: a certificate's fault, a path
  explicit operator bool() const { return stage != failure_stage::none; }
};

// The failure in words: "certificate refused: ...", "host not found: ...", "HTTP 404 for every
// range", "write failed: disk full", "could not move the download into place: ...".
std::string describe(const download_failure& failure);

}  // namespace httpdl
