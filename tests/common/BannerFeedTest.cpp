#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/BannerFeed.h"

namespace {

struct Image {
  const char* url;
  const char* md5;
};

TEST(BannerFeedTest, ParseTable) {
  const std::string deep = std::string(200000, '[') + std::string(200000, ']');
  const std::string deepObjects = [] {
    std::string text;
    for (int i = 0; i < 200000; ++i) text += "{\"a\":";
    return text + "1" + std::string(200000, '}');
  }();
  const struct Case {
    const char* name;
    std::string text;
    bool parsed;
    int code;
    const char* message;
    std::vector<Image> images;
  } cases[] = {
      {"valid",
       R"({"code":1,"message":"ok","data":{"list":[{"url":"https://h/1.png","md5":"AB12"},)"
       R"({"url":"https://h/2.png","md5":"cd34","size":5}],"extra":true}})",
       true, 1, "ok", {{"https://h/1.png", "AB12"}, {"https://h/2.png", "cd34"}}},
      {"not JSON", "<html>502 Bad Gateway</html>", false, -1, "", {}},
      {"empty answer", "", false, -1, "", {}},
      {"trailing text", R"({"code":1} x)", false, -1, "", {}},
      {"truncated", R"({"code":1,"data":{"list":[{"url":"a")", false, -1, "", {}},
      {"root an array", "[]", true, -1, "", {}},
      {"root a number", "1", true, -1, "", {}},
      {"code 0", R"({"code":0,"message":"none","data":{"list":[{"url":"u","md5":"m"}]}})", true, 0, "none",
       {{"u", "m"}}},
      {"code a string", R"({"code":"1","data":{"list":[]}})", true, -1, "", {}},
      {"code a fraction", R"({"code":1.5,"data":{"list":[]}})", true, -1, "", {}},
      {"code out of range", R"({"code":4294967297})", true, -1, "", {}},
      {"message not a string", R"({"code":1,"message":["x"]})", true, 1, "", {}},
      {"empty list", R"({"code":1,"data":{"list":[]}})", true, 1, "", {}},
      {"list an object", R"({"code":1,"data":{"list":{"url":"u","md5":"m"}}})", true, 1, "", {}},
      {"data an array", R"({"code":1,"data":[{"list":[{"url":"u"}]}]})", true, 1, "", {}},
      {"elements lacking members or of other types",
       R"({"code":1,"data":{"list":[{"url":"u1"},{"md5":"m2"},{"url":7,"md5":null},"text",[],{"url":"u6","md5":"m6"}]}})",
       true, 1, "", {{"u1", ""}, {"", "m2"}, {"", ""}, {"", ""}, {"", ""}, {"u6", "m6"}}},
      {"UTF-8 and escapes kept as UTF-8", R"({"code":1,"data":{"list":[{"url":"https://h/\u00e9.png","md5":"m"}]}})",
       true, 1, "", {{"https://h/\xc3\xa9.png", "m"}}},
      {"200,000 nested brackets", deep, true, -1, "", {}},
      {"200,000 nested objects", deepObjects, true, -1, "", {}},
      {"200,000 unclosed brackets", std::string(200000, '['), false, -1, "", {}},
  };
  for (const Case& c : cases) {
    int code = 99;
    std::string message;
    std::vector<ImageInfo> images;
    EXPECT_EQ(ParseBannerFeed(c.text, code, message, images), c.parsed) << c.name;
    EXPECT_EQ(code, c.code) << c.name;
    EXPECT_EQ(message, c.message) << c.name;
    ASSERT_EQ(images.size(), c.images.size()) << c.name;
    for (size_t i = 0; i < images.size(); ++i) {
      EXPECT_EQ(images[i].url, c.images[i].url) << c.name << " #" << i;
      EXPECT_EQ(images[i].md5, c.images[i].md5) << c.name << " #" << i;
    }
  }
}

TEST(BannerFeedTest, RecordsAppendToTheListTheyAreGiven) {
  std::vector<ImageInfo> images(1, ImageInfo{"earlier", "e"});
  rapidjson::Document data;
  data.Parse(R"({"list":[{"url":"u","md5":"m"}]})");
  EXPECT_TRUE(ImageConfigInfoJSONStruct(images).FromJson(data));
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[1].url, "u");

  rapidjson::Document other;
  other.Parse("[1]");
  EXPECT_FALSE(ImageConfigInfoJSONStruct(images).FromJson(other));
  ImageInfo image{"old", "old"};
  EXPECT_FALSE(ImageInfoJSONStruct(image).FromJson(other));
  EXPECT_EQ(image.url, "");
  EXPECT_TRUE(ImageInfoJSONStruct(image).ToJson(other.GetAllocator()).ObjectEmpty());
}

}  // namespace
