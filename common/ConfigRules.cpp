#include "common/ConfigRules.h"

#include "common/Encoding.h"

std::wstring ReplacePlaceholder(std::wstring_view text, std::wstring_view placeholder, std::wstring_view value) {
  std::wstring out(text);
  if (placeholder.empty()) return out;
  size_t position = 0;
  while ((position = out.find(placeholder, position)) != std::wstring::npos) {
    out.replace(position, placeholder.size(), value);
    position += value.size();
  }
  return out;
}

std::wstring ApplyCustomCode(std::wstring_view address, std::wstring_view domainCode) {
  std::wstring out(address);
  if (out.empty() || domainCode.empty()) return out;
  if (out.find(L"key=") != std::wstring::npos) {
    out += L"&custom=";
    out += domainCode;
  }
  return out;
}

DomainResource ParseDomainResource(std::string_view bytes) {
  DomainResource result;
  result.truncated = bytes.size() > kDomainResourceCapacity;
  std::string_view text = bytes.substr(0, kDomainResourceCapacity);
  text = text.substr(0, text.find('\0'));
  result.asRead = std::string(text);
  result.code = ReplacePlaceholder(encoding::AnsiToWide(text), L"\r\n", L"");
  return result;
}
