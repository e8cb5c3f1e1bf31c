// The banner fetch against the test world: the feed and the pictures from nginx over TLS on 443,
// an image broken off part-way from the fault server behind nginx. Each case has its own cache
// folder and its own folder of served files, so the cases may run side by side.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "common/BannerFetch.h"
#include "common/BannerPicture.h"
#include "common/Encoding.h"
#include "installer/SystemInfo.h"
#include "tests/skin_ui/ImageFixtures.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestWorld.h"

namespace {

using testsupport::Appended;

std::string SolidPng(uint8_t red, uint8_t green, uint8_t blue) {
  std::vector<uint8_t> rgba;
  for (int i = 0; i < 650 * 290; ++i) rgba.insert(rgba.end(), {red, green, blue, 255});
  return skintest::EncodePng(650, 290, rgba);
}

struct Served {
  std::string uri;  // as nginx logs it
  std::string md5;
};

class BannerFetchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    served_ = std::string("/banners/") + info->name() + "/";
    portsLogPath_ = encoding::AnsiToWide(testsupport::RequiredEnvironment("NEXVALE_TEST_NGINX_PORTS_LOG"));
  }

  // Serves `bytes` under this case's folder; its digest as GetFileMd5 computes it.
  Served Serve(const std::string& name, const std::string& bytes) {
    testsupport::ServeFile(served_.substr(1) + name, bytes);
    testsupport::WriteFileBytes(scratch_.path() + L"digest", bytes);
    return Served{served_ + name, GetFileMd5(scratch_.path() + L"digest")};
  }

  void ServeFeed(const std::string& text) { testsupport::ServeFile(served_.substr(1) + "carousel", text); }

  static std::string Feed(const std::vector<std::pair<std::string, std::string>>& images, int code = 1) {
    std::string list;
    for (const auto& [url, md5] : images) {
      list += (list.empty() ? "" : ",") + std::string("{\"url\":\"") + url + "\",\"md5\":\"" + md5 + "\"}";
    }
    return "{\"code\":" + std::to_string(code) + ",\"message\":\"\",\"data\":{\"list\":[" + list + "]}}";
  }

  static std::string Url(const Served& image) { return "https://localhost" + image.uri; }

  // One fetch run as the setup makes it: claimed, then run on a thread of its own.
  void Fetch(CBannerFetch& fetch) {
    ASSERT_TRUE(fetch.BeginFetch());
    std::thread worker([&fetch] { fetch.RunFetch(); });
    worker.join();
    EXPECT_TRUE(fetch.IsReady());
  }

  CBannerFetch MakeFetch() const {
    return CBannerFetch(encoding::AnsiToWide("https://localhost" + served_ + "carousel?pid=16&lang=English"),
                        cache_.path());
  }

  // The GET requests nginx answered for this case's pictures since `ports` began (the feed's
  // own request is awaited first: the pictures' come after it).
  std::vector<std::string> PictureRequests(const Appended& ports) const {
    testsupport::ServedBy(ports, "GET", served_ + "carousel?pid=16&lang=English");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::vector<std::string> uris;
    for (const std::string& line : ports.Lines()) {
      const size_t at = line.find(" GET " + served_);
      if (at == std::string::npos || line.find("carousel") != std::string::npos) continue;
      uris.push_back(line.substr(at + 5, line.find(' ', at + 5) - at - 5));
    }
    return uris;
  }

  std::vector<std::wstring> CacheFiles() const {
    std::vector<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(encoding::ToPath(cache_.path()))) {
      names.push_back(encoding::FromPath(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string Cached(int index) const { return testsupport::ReadFileBytes(cache_.path() + L"pr_" + std::to_wstring(index) + L".png"); }

  Appended PortsLog() const { return Appended(portsLogPath_); }

  std::string served_;
  std::wstring portsLogPath_;
  testsupport::TempFolder cache_{L"banner-cache"};
  testsupport::TempFolder scratch_{L"banner-scratch"};
};

TEST_F(BannerFetchTest, CacheAcrossRuns) {
  const std::string red = SolidPng(255, 0, 0), green = SolidPng(0, 255, 0), blue = SolidPng(0, 0, 255);
  const Served r = Serve("red.png", red), g = Serve("green.png", green), b = Serve("blue.png", blue);

  // A first run with three pictures.
  ServeFeed(Feed({{Url(r), r.md5}, {Url(g), g.md5}, {Url(b), b.md5}}));
  {
    const Appended log(testsupport::DiagnosticLogPath());
    const Appended ports = PortsLog();
    CBannerFetch fetch = MakeFetch();
    Fetch(fetch);
    EXPECT_EQ(fetch.GetBannerCount(), 3);
    EXPECT_EQ(PictureRequests(ports), (std::vector<std::string>{r.uri, g.uri, b.uri}));
    EXPECT_EQ(CacheFiles(), (std::vector<std::wstring>{L"pr_1.png", L"pr_2.png", L"pr_3.png"}));
    EXPECT_EQ(Cached(1), red);
    EXPECT_EQ(Cached(2), green);
    EXPECT_EQ(Cached(3), blue);
    const std::string text = log.Text();
    const size_t start = text.find("get image start.");
    EXPECT_NE(start, std::string::npos) << text;
    EXPECT_NE(text.find("get image finished.", start), std::string::npos) << text;
    EXPECT_EQ(text.find("refused"), std::string::npos) << text;
  }

  // Repeated, the digests in upper case: nothing is downloaded.
  auto upper = [](std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
  };
  ServeFeed(Feed({{Url(r), upper(r.md5)}, {Url(g), upper(g.md5)}, {Url(b), b.md5}}));
  {
    const Appended ports = PortsLog();
    CBannerFetch fetch = MakeFetch();
    Fetch(fetch);
    EXPECT_EQ(fetch.GetBannerCount(), 3);
    EXPECT_EQ(PictureRequests(ports), std::vector<std::string>{});
    EXPECT_EQ(Cached(2), green);
  }

  // A changed digest for the second picture replaces only pr_2.png.
  const std::string yellow = SolidPng(255, 255, 0);
  const Served y = Serve("yellow.png", yellow);
  ServeFeed(Feed({{Url(r), r.md5}, {Url(y), y.md5}, {Url(b), b.md5}}));
  {
    const Appended ports = PortsLog();
    CBannerFetch fetch = MakeFetch();
    Fetch(fetch);
    EXPECT_EQ(PictureRequests(ports), std::vector<std::string>{y.uri});
    EXPECT_EQ(CacheFiles(), (std::vector<std::wstring>{L"pr_1.png", L"pr_2.png", L"pr_3.png"}));
    EXPECT_EQ(Cached(1), red);
    EXPECT_EQ(Cached(2), yellow);
  }

  // Feeds that list nothing usable: nothing downloaded or deleted, the earlier pictures stay
  // showable; only a successful empty list sets the count (to 0, so the default picture stays).
  const struct {
    const char* name;
    std::string feed;
    int count;
  } quiet[] = {
      {"code 0", Feed({{Url(g), "0"}}, 0), -1},
      {"[]", "[]", -1},
      {"empty list", Feed({}), 0},
  };
  for (const auto& c : quiet) {
    ServeFeed(c.feed);
    const Appended ports = PortsLog();
    CBannerFetch fetch = MakeFetch();
    Fetch(fetch);
    EXPECT_EQ(fetch.GetBannerCount(), c.count) << c.name;
    EXPECT_EQ(PictureRequests(ports), std::vector<std::string>{}) << c.name;
    BannerShowCheck check;
    for (int index = 1; index <= 3; ++index) EXPECT_TRUE(check.MayShow(fetch.GetImagePath(index))) << c.name;
    EXPECT_FALSE(check.MayShow(fetch.GetImagePath(4))) << c.name;
  }
}

TEST_F(BannerFetchTest, BadFeedsAndPicturesLeaveNoFile) {
  const std::string red = SolidPng(255, 0, 0);
  const Served r = Serve("red.png", red);
  const std::string truncated = red.substr(0, red.size() / 2);
  const Served t = Serve("truncated.png", truncated);
  const Served huge = Serve("huge.png", skintest::PngHeader(20000, 20000));
  std::string padded = red;
  padded.resize(kMaxBannerFileBytes + 1, '\0');
  const Served big = Serve("big.png", padded);
  const Served page = Serve("page.png", "<html><body>Service unavailable</body></html>\n");
  // Announces the whole picture, sends its signature, then resets. (nginx takes no "%00" in an
  // address, and the picture's next byte is a zero.)
  const std::string scripted = testsupport::ScriptedUrl(
      "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nContent-Length: " + std::to_string(red.size()) + "\r\n\r\n" +
          red.substr(0, 8),
      "reset");
  const std::string reset = "https://localhost/fault" + scripted.substr(scripted.find("/raw/"));

  const struct {
    const char* name;
    std::string feed;
    std::vector<std::string> lines;  // each expected in the log
  } cases[] = {
      {"not JSON", "<html>502 Bad Gateway</html>", {"is not JSON (28 bytes), no image fetched."}},
      {"feed over 1 MiB", Feed({{Url(r), r.md5}}) + std::string(kMaxBannerFeedBytes, ' '),
       {"[CWinHttpRequest::ReadAll] body of localhost", "is over 1048576 bytes, refused.", "is not JSON (0 bytes)"}},
      {"wrong MD5", Feed({{Url(r), huge.md5}}),
       {"image refused, url[" + Url(r) + "], filePath[", "pr_1.png]: MD5 " + r.md5 + ", the feed gives " + huge.md5}},
      {"truncated PNG", Feed({{Url(t), t.md5}}), {"image refused, url[" + Url(t), "]: picture could not be decoded"}},
      {"huge picture", Feed({{Url(huge), huge.md5}}), {"]: picture of 20000 x 20000 pixels, more than 4096 x 4096."}},
      {"picture over 4 MiB", Feed({{Url(big), big.md5}}),
       {"[CWinHttpRequest::SaveToFile] body of localhost" + big.uri + " is over 4194304 bytes, refused.",
        "download image failed, url[" + Url(big) + "], filePath["}},
      {"not a picture", Feed({{Url(page), page.md5}}), {"]: not a PNG picture."}},
      {"no digest", "{\"code\":1,\"data\":{\"list\":[{\"url\":\"" + Url(r) + "\"}]}}",
       {"]: the feed gives no MD5 to verify it by."}},
      {"reset part-way", Feed({{reset, r.md5}}),
       {"ended after 8 of its " + std::to_string(red.size()) + " bytes.", "download image failed, url[" + reset + "], filePath["}},
  };
  for (const auto& c : cases) {
    ServeFeed(c.feed);
    const Appended log(testsupport::DiagnosticLogPath());
    CBannerFetch fetch = MakeFetch();
    Fetch(fetch);
    EXPECT_EQ(CacheFiles(), std::vector<std::wstring>{}) << c.name;
    EXPECT_FALSE(BannerShowCheck().MayShow(fetch.GetImagePath(1))) << c.name;
    const std::string text = log.Text();
    for (const std::string& line : c.lines) EXPECT_NE(text.find(line), std::string::npos) << c.name << ": " << line << "\n" << text;
    EXPECT_NE(text.find("get image finished."), std::string::npos) << c.name;
  }
}

TEST_F(BannerFetchTest, OneFetchAtATime) {
  ServeFeed(Feed({}));
  const Appended log(testsupport::DiagnosticLogPath());
  CBannerFetch fetch = MakeFetch();
  ASSERT_TRUE(fetch.BeginFetch());
  EXPECT_FALSE(fetch.BeginFetch());
  EXPECT_NE(log.Text().find("banner fetch still running, no second one started."), std::string::npos) << log.Text();
  EXPECT_FALSE(fetch.IsReady());
  fetch.RunFetch();
  EXPECT_TRUE(fetch.IsReady());
  EXPECT_EQ(fetch.GetBannerCount(), 0);
  EXPECT_TRUE(fetch.BeginFetch());
  fetch.RunFetch();
}

}  // namespace
