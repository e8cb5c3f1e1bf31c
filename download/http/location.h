#pragma once
// Turning the target of a redirect into an absolute URL by the reference-resolution rules of
// RFC 3986: "/x" replaces the path, "//host/x" keeps only the scheme, "x" replaces the last
// path segment, dot segments are removed.

#include <string>
#include <string_view>

#include "download/http/url.h"

namespace httpdl {

// `reference` as an absolute URL text, resolved against `base`. A reference with a scheme of
// its own is returned unchanged.
std::string resolve_reference(const parsed_url& base, std::string_view reference);

}  // namespace httpdl
