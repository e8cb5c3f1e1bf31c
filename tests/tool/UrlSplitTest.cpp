#include <gtest/gtest.h>

#include "tool/UrlSplit.h"

namespace {

TEST(SplitUrl, TakesHostAndPathApartAtTheFirstSlash) {
  struct Case {
    const wchar_t* url;
    const wchar_t* host;
    const wchar_t* path;
  };
  const Case cases[] = {
      {L"http://dl.nexvale.example/setup/full/vandrel.exe?key=7&lang=en", L"dl.nexvale.example",
       L"setup/full/vandrel.exe?key=7&lang=en"},
      {L"https://api.nexvale.example/", L"api.nexvale.example", L""},
      // A port is not split off: these requests always go to 443, then 80.
      {L"https://localhost:8443/a/b", L"localhost:8443", L"a/b"},
      {L"http://h//double", L"h", L"/double"},
  };
  for (const Case& c : cases) {
    std::wstring host;
    std::wstring path;
    EXPECT_TRUE(SplitUrl(c.url, host, path)) << c.url;
    EXPECT_EQ(host, c.host) << c.url;
    EXPECT_EQ(path, c.path) << c.url;
  }
}

TEST(SplitUrl, RefusesAHostWithoutSlashAndLeavesSchemelessUrlsAlone) {
  std::wstring host = L"before";
  std::wstring path = L"before";
  EXPECT_FALSE(SplitUrl(L"https://dl.nexvale.example", host, path));
  EXPECT_FALSE(SplitUrl(L"http://", host, path));
  EXPECT_EQ(host, L"before");

  // Without a scheme nothing is split; the request that follows has no host to go to.
  EXPECT_TRUE(SplitUrl(L"dl.nexvale.example/file.exe", host, path));
  EXPECT_TRUE(SplitUrl(L"ftp://dl.nexvale.example/file.exe", host, path));
  EXPECT_EQ(host, L"before");
  EXPECT_EQ(path, L"before");
}

TEST(SplitClientUrl, PortComesFromTheSchemeOrTheHost) {
  struct Case {
    const wchar_t* url;
    const wchar_t* host;
    uint16_t port;
    const wchar_t* path;
  };
  const Case cases[] = {
      {L"https://api.nexvale.example/mp/collect?measurement_id=G-1", L"api.nexvale.example", 443,
       L"/mp/collect?measurement_id=G-1"},
      {L"http://localhost/index.html", L"localhost", 80, L"/index.html"},
      {L"https://127.0.0.1:8081/echo", L"127.0.0.1", 8081, L"/echo"},
      {L"http://127.0.0.1:443/x", L"127.0.0.1", 443, L"/x"},
      {L"localhost/no/scheme", L"localhost", 80, L"/no/scheme"},
      {L"https://host.example", L"host.example", 443, L"/"},
      {L"http://host:/p", L"host", 0, L"/p"},
      {L"http://host:12ab/p", L"host", 12, L"/p"},
      {L"http://host:65535", L"host", 65535, L"/"},
      // "http://" anywhere wins over an earlier "https://".
      {L"https://a/?next=http://b/c", L"b", 80, L"/c"},
  };
  for (const Case& c : cases) {
    const auto target = SplitClientUrl(c.url);
    ASSERT_TRUE(target.has_value()) << c.url;
    EXPECT_EQ(target->host, c.host) << c.url;
    EXPECT_EQ(target->port, c.port) << c.url;
    EXPECT_EQ(target->path, c.path) << c.url;
  }
}

TEST(SplitClientUrl, RefusesAPortNoConnectionCanUse) {
  EXPECT_FALSE(SplitClientUrl(L"http://host:65536/p").has_value());
  EXPECT_FALSE(SplitClientUrl(L"http://host:99999999999999999999/p").has_value());
}

TEST(RequestObject, PutsOneSlashInFront) {
  EXPECT_EQ(RequestObject(L"a/b?c"), L"/a/b?c");
  EXPECT_EQ(RequestObject(L""), L"/");
  EXPECT_EQ(RequestObject(L"/a"), L"/a");
}

}  // namespace
