#pragma once
// The banner feed: the product API's JSON answer listing the promotional images of the setup's
// progress page, each with its download address and MD5 digest. Parsing only; no I/O.

#include <string>
#include <string_view>
#include <vector>

#include "common/JSONStruct.h"

// One listed image: both texts as the feed's JSON carries them (UTF-8); empty when the element
// lacks the member or it is not a string.
struct ImageInfo {
  std::string url;
  std::string md5;
};

// Fills one image record from one element of the feed's list.
class ImageInfoJSONStruct : public IJSONStruct {
 public:
  explicit ImageInfoJSONStruct(ImageInfo& image) : IJSONStruct(kJSONFilter_Exclude, {}), image_(image) {}

  // False (and the record left empty) for an element that is not an object.
  bool FromJson(const rapidjson::Value& value) override;
  // Feed records are only ever read.
  rapidjson::Value ToJson(rapidjson::Document::AllocatorType&) override { return rapidjson::Value(rapidjson::kObjectType); }

 private:
  ImageInfo& image_;
};

// Appends one image record per element of the feed's "data" object's "list" array.
class ImageConfigInfoJSONStruct : public IJSONStruct {
 public:
  explicit ImageConfigInfoJSONStruct(std::vector<ImageInfo>& images)
      : IJSONStruct(kJSONFilter_Exclude, {}), images_(images) {}

  // False when `value` (the "data" member) is not an object or its list is not an array.
  bool FromJson(const rapidjson::Value& value) override;
  rapidjson::Value ToJson(rapidjson::Document::AllocatorType&) override { return rapidjson::Value(rapidjson::kObjectType); }

 private:
  std::vector<ImageInfo>& images_;
};

// Parses a feed answer. False when `text` is not JSON; otherwise true with `code` from an integer
// "code" (left at -1 when missing or of another type), `message` from a string "message" and
// the listed images appended to `images`. A root that is not an object gives code -1 and no
// images. The parse keeps its state on the heap, so any depth of nesting is refused or accepted
// without growing the thread's stack.
bool ParseBannerFeed(std::string_view text, int& code, std::string& message, std::vector<ImageInfo>& images);

