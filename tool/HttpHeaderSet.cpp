#include "tool/HttpHeaderSet.h"

namespace {

bool BreaksHeaderText(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

bool CHttpHeader::Add(std::string_view name, std::string_view value) {
  if (name.empty() || value.empty()) return false;
  if (BreaksHeaderText(name) || BreaksHeaderText(value) || name.find(':') != std::string_view::npos) return false;
  headers_.emplace(std::string(name), std::string(value));
  return true;
}

void CHttpHeader::AddDefaults() {
  Add("User-Agent",
      "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
      "Chrome/80.0.4044.92 Safari/537.36");
  Add("Accept", "*/*");
  Add("Connection", "Keep-Alive");
  Add("Accept-Language", "zh-CN,zh;q=0.9");
}

std::string CHttpHeader::Text() const {
  std::string text;
  for (const auto& [name, value] : headers_) {
    text.append(name).append(": ").append(value).append("\r\n");
  }
  return text;
}
