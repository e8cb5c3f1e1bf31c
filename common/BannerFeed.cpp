#include "common/BannerFeed.h"

namespace {

std::string StringMember(const rapidjson::Value& object, const char* name) {
  const auto member = object.FindMember(name);
  if (member == object.MemberEnd() || !member->value.IsString()) return std::string();
  return std::string(member->value.GetString(), member->value.GetStringLength());
}

}  // namespace

bool ImageInfoJSONStruct::FromJson(const rapidjson::Value& value) {
  image_ = ImageInfo{};
  if (!value.IsObject()) return false;
  image_.url = StringMember(value, "url");
  image_.md5 = StringMember(value, "md5");
  return true;
}

bool ImageConfigInfoJSONStruct::FromJson(const rapidjson::Value& value) {
  if (!value.IsObject()) return false;
  const auto list = value.FindMember("list");
  if (list == value.MemberEnd() || !list->value.IsArray()) return false;
  for (const rapidjson::Value& element : list->value.GetArray()) {
    // Every element counts, whatever it holds: the image numbers follow the list's order.
    ImageInfo image;
    ImageInfoJSONStruct(image).FromJson(element);
    images_.push_back(std::move(image));
  }
  return true;
}

bool ParseBannerFeed(std::string_view text, int& code, std::string& message, std::vector<ImageInfo>& images) {
  code = -1;
  // The default parser recurses once per nesting level: a feed of a million brackets would
  // overrun the fetch thread's stack. The iterative one keeps its stack on the heap, and the
  // document's pool allocator frees the values without walking them.
  rapidjson::Document document;
  document.Parse<rapidjson::kParseIterativeFlag>(text.data(), text.size());
  if (document.HasParseError()) return false;
  if (!document.IsObject()) return true;
  const auto codeMember = document.FindMember("code");
  if (codeMember != document.MemberEnd() && codeMember->value.IsInt()) code = codeMember->value.GetInt();
  message = StringMember(document, "message");
  const auto data = document.FindMember("data");
  if (data != document.MemberEnd()) ImageConfigInfoJSONStruct(images).FromJson(data->value);
  return true;
}
