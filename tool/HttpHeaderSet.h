#pragma once
// The request headers of the HTTP client: one value per name, kept sorted by name in byte order,
// and written out in that order.

#include <map>
#include <string>
#include <string_view>

class CHttpHeader {
 public:
  // Adds a header unless the name is already present (the first value stays). Refuses an empty
  // name or value, and any name or value that would break the header text (a line break, or a
  // colon in the name).
  bool Add(std::string_view name, std::string_view value);

  // Adds the client's default User-Agent, Accept, Connection and Accept-Language for every one of
  // these names not yet present.
  void AddDefaults();

  // "Name: value\r\n" for every header, in name order; empty when there are none.
  std::string Text() const;

 private:
  std::map<std::string, std::string> headers_;
};
