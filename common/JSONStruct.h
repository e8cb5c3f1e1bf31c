#pragma once
// Records that write themselves to, or read themselves from, RapidJSON values.

#include <set>
#include <string>
#include <utility>

#include <rapidjson/document.h>

enum JSONKeyFilterMode : int {
  kJSONFilter_Exclude = 0,  // the listed keys are left out
  kJSONFilter_Include = 1,  // only the listed keys are written
};

class IJSONStruct {
 public:
  // Any mode other than the two above filters nothing.
  IJSONStruct(int filterMode, std::set<std::string> filterKeys)
      : filterMode_(filterMode), filterKeys_(std::move(filterKeys)) {}
  virtual ~IJSONStruct() = default;

  // Fills the record from a parsed value; false when the value does not fit the record.
  virtual bool FromJson(const rapidjson::Value& value) = 0;
  // A new value built with the document's allocator.
  virtual rapidjson::Value ToJson(rapidjson::Document::AllocatorType& allocator) = 0;

 protected:
  bool IsKeyWritten(const std::string& key) const {
    const bool listed = filterKeys_.count(key) != 0;
    if (filterMode_ == kJSONFilter_Exclude) return !listed;
    if (filterMode_ == kJSONFilter_Include) return listed;
    return true;
  }

 private:
  int filterMode_;
  std::set<std::string> filterKeys_;
};
