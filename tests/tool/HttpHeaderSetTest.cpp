#include <gtest/gtest.h>

#include "tool/HttpHeaderSet.h"

namespace {

const std::string kDefaultAgent =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/80.0.4044.92 Safari/537.36";

TEST(HttpHeaderSet, DefaultsAreWrittenInByteOrderOfTheirNames) {
  CHttpHeader headers;
  headers.AddDefaults();
  EXPECT_EQ(headers.Text(),
            "Accept: */*\r\n"
            "Accept-Language: zh-CN,zh;q=0.9\r\n"
            "Connection: Keep-Alive\r\n"
            "User-Agent: " + kDefaultAgent + "\r\n");
}

TEST(HttpHeaderSet, AddedNamesTakeTheirSortedPlaceAndTheFirstValueStays) {
  CHttpHeader headers;
  EXPECT_TRUE(headers.Add("User-Agent", "Probe/1.0"));
  EXPECT_TRUE(headers.Add("X-Trace", "1"));
  EXPECT_TRUE(headers.Add("Content-Type", "text/plain"));
  headers.AddDefaults();
  EXPECT_TRUE(headers.Add("X-Trace", "2"));  // already present: keeps "1"
  // Byte order: upper case before lower case, so "X-Trace" sorts before "accept".
  EXPECT_TRUE(headers.Add("accept", "lower"));
  EXPECT_EQ(headers.Text(),
            "Accept: */*\r\n"
            "Accept-Language: zh-CN,zh;q=0.9\r\n"
            "Connection: Keep-Alive\r\n"
            "Content-Type: text/plain\r\n"
            "User-Agent: Probe/1.0\r\n"
            "X-Trace: 1\r\n"
            "accept: lower\r\n");
}

TEST(HttpHeaderSet, RefusesHeadersThatWouldBreakTheHeaderText) {
  CHttpHeader headers;
  const std::pair<const char*, const char*> refused[] = {
      {"", "value"}, {"Name", ""}, {"Na\r\nme", "v"}, {"Name", "v\r\nInjected: 1"},
      {"Name", "v\n"}, {"Na:me", "v"},
  };
  for (const auto& [name, value] : refused) {
    EXPECT_FALSE(headers.Add(name, value)) << name << " / " << value;
  }
  EXPECT_EQ(headers.Text(), "");
}

}  // namespace
