#include "download/http/header_options.h"

#include <algorithm>

#include "common/AsciiText.h"

namespace httpdl {

void header_options::insert(std::string name, std::string value) {
  entries_.emplace_back(std::move(name), std::move(value));
}

void header_options::remove(std::string_view name) {
  const auto it = std::find_if(entries_.begin(), entries_.end(),
                               [&](const entry& e) { return e.first == name; });
  if (it != entries_.end()) entries_.erase(it);
}

bool header_options::find(std::string_view name, std::string& value) const {
  for (const entry& e : entries_) {
    if (asciitext::EqualsIgnoringCase(e.first, name)) {
      value = e.second;
      return true;
    }
  }
  return false;
}

std::string header_options::value_of(std::string_view name) const {
  std::string value;
  find(name, value);
  return value;
}

}  // namespace httpdl
