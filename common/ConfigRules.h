#pragma once
// Small text rules of the configuration: placeholders, the custom code on web addresses and
// the domain resource.

#include <string>
#include <string_view>

// Replaces every `placeholder` in `text` by `value`, searching on after each inserted value, so
// an inserted value is never searched again in the same pass.
std::wstring ReplacePlaceholder(std::wstring_view text, std::wstring_view placeholder, std::wstring_view value);

// An address that carries "key=" gets "&custom=" and the domain code appended; an empty
// address or an empty domain code leave it unchanged.
std::wstring ApplyCustomCode(std::wstring_view address, std::wstring_view domainCode);

// The domain resource: single-byte text read into a 256-byte buffer, so at most 255 bytes count
// and the text ends at its first zero byte.
struct DomainResource {
  std::string asRead;      // the bytes as read (what the log shows)
  std::wstring code;       // in the ANSI code page, every CR LF pair removed
  bool truncated = false;  // the resource held more than 255 bytes
};
inline constexpr size_t kDomainResourceCapacity = 255;
DomainResource ParseDomainResource(std::string_view bytes);
