#pragma once
// Which address the installer is downloaded from when the configuration names an alternative
// address to be resolved through one redirect first.

#include <string>
#include <string_view>

struct DownloadAddressChoice {
  std::wstring address;
  bool redirected = false;  // the address is the redirect's target ("get redirect Url:%s")
};

// `answered` and `answer` are what the redirect request gave: its result and its in-out
// address, which started as `configured`. An answer that leaves the address unchanged (no
// answer came, or a 302 without a target) keeps the configured address; a relative target is
// resolved against the alternative address (RFC 3986). A target that is not an http or https
// address (or one without a host) is refused in the log and keeps the configured address too.
DownloadAddressChoice ChooseDownloadAddress(std::wstring_view configured, std::wstring_view alternative,
                                            bool answered, std::wstring_view answer);
