// The utility requests against the test world's nginx on loopback 80 and 443 (TLS with a
// certificate of the test authority, which the Wine prefix trusts) and a plain-HTTP-only server
// on 127.0.0.2:80. nginx's port log tells a TLS success from a fallback to port 80.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/Encoding.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestWorld.h"
#include "tool/win32/ApiError.h"
#include "tool/win32/BaseRequest.h"
#include "tool/win32/HttpRequests.h"

namespace {

using testsupport::Appended;
using testsupport::ServedBy;
using Ports = std::vector<std::string>;

constexpr size_t kLimit = 1024 * 1024;

class WinHttpRequestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    www_ = encoding::AnsiToWide(testsupport::RequiredEnvironment("NEXVALE_TEST_WWW")) + L"/";
    portsLogPath_ = encoding::AnsiToWide(testsupport::RequiredEnvironment("NEXVALE_TEST_NGINX_PORTS_LOG"));
    logPath_ = testsupport::DiagnosticLogPath();
  }
  Appended PortsLog() const { return Appended(portsLogPath_); }

  std::wstring www_;
  std::wstring portsLogPath_;
  std::wstring logPath_;
};

TEST_F(WinHttpRequestTest, EveryUrlGoesToTls443FirstWhateverItsScheme) {
  const Appended ports = PortsLog();
  EXPECT_EQ(HttpGetString(L"https://localhost/index.html?case=https", kLimit), "nexvale test server\n");
  EXPECT_EQ(HttpGetString(L"http://localhost/index.html?case=http", kLimit), "nexvale test server\n");
  EXPECT_EQ(ServedBy(ports, "GET", "/index.html?case=https"), Ports{"127.0.0.1:443"});
  EXPECT_EQ(ServedBy(ports, "GET", "/index.html?case=http"), Ports{"127.0.0.1:443"});
}

TEST_F(WinHttpRequestTest, PlainHttpOnlyServerIsReachedOnTheSecondAttempt) {
  const Appended ports = PortsLog();
  EXPECT_EQ(HttpGetString(L"https://127.0.0.2/index.html?case=plain-only", kLimit), "nexvale test server\n");
  EXPECT_EQ(ServedBy(ports, "GET", "/index.html?case=plain-only"), Ports{"127.0.0.2:80"});
}

TEST_F(WinHttpRequestTest, UrlsThatCannotBeUsedReachNoServer) {
  const Appended ports = PortsLog();
  // No "/" after the host: the URL cannot be split.
  CWinHttpRequest request;
  EXPECT_FALSE(request.OpenUrl(L"https://localhost"));
  EXPECT_EQ(GetHttpFileSize(L"https://localhost"), 0u);
  // A port stays part of the host name, which then names no host.
  EXPECT_EQ(HttpGetString(L"https://localhost:4443/index.html?case=explicit-port", kLimit), "");
  EXPECT_EQ(ServedBy(ports, "GET", "/index.html?case=explicit-port"), Ports{});
}

TEST_F(WinHttpRequestTest, HeadGivesTheAnnouncedLength) {
  testsupport::WriteFileBytes(www_ + L"size-12345.bin", std::string(12345, 'x'));
  const Appended ports = PortsLog();
  const Appended log(logPath_);
  EXPECT_EQ(GetHttpFileSize(L"https://localhost/size-12345.bin"), 12345u);
  EXPECT_EQ(ServedBy(ports, "HEAD", "/size-12345.bin"), Ports{"127.0.0.1:443"});
  EXPECT_EQ(log.Text().find("call "), std::string::npos) << log.Text();
}

TEST_F(WinHttpRequestTest, HeadWithoutContentLengthGivesZeroAndOneLogLine) {
  // Files under /chunked/ go out without a length.
  std::filesystem::create_directories(encoding::ToPath(www_ + L"chunked"));
  testsupport::WriteFileBytes(www_ + L"chunked/no-length.txt", "some text\n");
  const Appended log(logPath_);
  EXPECT_EQ(GetHttpFileSize(L"https://localhost/chunked/no-length.txt"), 0u);
  const std::string text = log.Text();
  const std::string expected = "] [CWinHttpRequest::GetUrlFileSize]call WinHttpQueryHeaders fail ";
  ASSERT_NE(text.find(expected), std::string::npos) << text;
  EXPECT_EQ(text.find(expected), text.rfind(expected)) << "exactly one line: " << text;
  EXPECT_NE(text.find("[Thread]["), std::string::npos) << text;
}

TEST_F(WinHttpRequestTest, ErrorPageIsSavedLikeTheImageItStandsFor) {
  testsupport::TempFolder folder(L"banner");
  const std::wstring target = folder.path() + L"pr_1.png";
  CWinHttpRequest request;
  ASSERT_TRUE(request.OpenUrl(L"https://localhost/banners/missing.png"));
  EXPECT_TRUE(request.SaveToFile(target, kLimit));
  const std::string saved = testsupport::ReadFileBytes(target);
  EXPECT_NE(saved.find("<title>404 Not Found</title>"), std::string::npos) << saved;
}

TEST_F(WinHttpRequestTest, SavedFileHoldsTheWholeBody) {
  std::string image;
  for (int i = 0; i < 70000; ++i) image.push_back(static_cast<char>(i * 7 % 251));
  testsupport::WriteFileBytes(www_ + L"banner.png", image);
  testsupport::TempFolder folder(L"banner");
  const std::wstring target = folder.path() + L"pr_0.png";
  testsupport::WriteFileBytes(target, std::string(100000, 'o'));  // replaced, not overwritten in place
  CWinHttpRequest request;
  ASSERT_TRUE(request.OpenUrl(L"https://localhost/banner.png"));
  EXPECT_TRUE(request.SaveToFile(target, kLimit));
  EXPECT_EQ(testsupport::ReadFileBytes(target), image);
  EXPECT_EQ(HttpGetString(L"https://localhost/banner.png", kLimit), image);
}

TEST_F(WinHttpRequestTest, BodiesOverTheLimitAreRefusedWithALogLine) {
  const std::string body = testsupport::PatternBytes(10000);
  testsupport::ServeFile("limit.bin", body);
  testsupport::ServeFile("chunked/limit.bin", body);  // no length announced
  testsupport::TempFolder folder(L"limit");
  const std::wstring target = folder.path() + L"pr_1.png";
  for (const wchar_t* url : {L"https://localhost/limit.bin", L"https://localhost/chunked/limit.bin"}) {
    const std::string name = encoding::WideToAnsi(url);
    EXPECT_EQ(HttpGetString(url, body.size()), body) << name;
    CWinHttpRequest exact;
    ASSERT_TRUE(exact.OpenUrl(url)) << name;
    EXPECT_TRUE(exact.SaveToFile(target, body.size())) << name;
    EXPECT_EQ(testsupport::ReadFileBytes(target), body) << name;

    const Appended log(logPath_);
    EXPECT_EQ(HttpGetString(url, body.size() - 1), "") << name;
    CWinHttpRequest over;
    ASSERT_TRUE(over.OpenUrl(url)) << name;
    EXPECT_FALSE(over.SaveToFile(target, body.size() - 1)) << name;
    EXPECT_LE(testsupport::ReadFileBytes(target).size(), body.size() - 1) << name;
    const std::string text = log.Text();
    for (const char* context : {"[CWinHttpRequest::ReadAll]", "[CWinHttpRequest::SaveToFile]"}) {
      const std::string line = std::string(context) + " body of localhost/" +
                               (name.find("chunked") != std::string::npos ? "chunked/" : "") +
                               "limit.bin is over 9999 bytes, refused.";
      EXPECT_NE(text.find(line), std::string::npos) << name << ": " << text;
    }
  }
}

TEST_F(WinHttpRequestTest, BodyEndingBeforeItsAnnouncedLengthIsNotSaved) {
  // The fault server behind nginx announces 2000 bytes, sends 300 and resets the connection.
  const std::string scripted = testsupport::ScriptedUrl(
      "HTTP/1.1 200 OK\r\nContent-Length: 2000\r\n\r\n" + testsupport::PatternBytes(300), "reset");
  const std::wstring url = L"https://localhost/fault" + encoding::AnsiToWide(scripted.substr(scripted.find("/raw/")));
  testsupport::TempFolder folder(L"short");
  const Appended log(logPath_);
  CWinHttpRequest request;
  ASSERT_TRUE(request.OpenUrl(url));
  EXPECT_FALSE(request.SaveToFile(folder.path() + L"pr_1.png", kLimit));
  const std::string text = log.Text();
  // Wine reports the early end as the end of the body, Windows as a failed read.
  EXPECT_TRUE(text.find("ended after 300 of its 2000 bytes.") != std::string::npos ||
              text.find("call WinHttpReadData fail") != std::string::npos)
      << text;
}

TEST_F(WinHttpRequestTest, RedirectResolutionSeesOnlyA302OnPlainPort80) {
  struct Case {
    const wchar_t* path;
    bool result;
    const wchar_t* url;
  };
  const Case cases[] = {
      {L"index.html", false, L"unchanged"},  // 200
      {L"hop/1", true, L"/index.html"},      // 302 with a relative Location, kept as it is
      {L"to-plain", true, L"http://127.0.0.1/index.html"},
      {L"hop/2", false, L"unchanged"},  // 301 counts as no redirect
      {L"missing", false, L"unchanged"},
  };
  for (const Case& c : cases) {
    const Appended ports = PortsLog();
    std::wstring url = L"unchanged";
    EXPECT_EQ(GetRedirectUrl(L"localhost", c.path, url), c.result) << encoding::WideToUtf8(c.path);
    EXPECT_EQ(url, c.url) << encoding::WideToUtf8(c.path);
    EXPECT_EQ(ServedBy(ports, "GET", "/" + encoding::WideToUtf8(c.path)), Ports{"127.0.0.1:80"});
  }
}

TEST_F(WinHttpRequestTest, RedirectResolutionWithoutServerKeepsTheUrl) {
  std::wstring url = L"unchanged";
  // Nothing listens on 127.0.0.3.
  EXPECT_FALSE(GetRedirectUrl(L"127.0.0.3", L"file.exe", url));
  EXPECT_EQ(url, L"unchanged");
}

TEST_F(WinHttpRequestTest, ApiErrorsAreLoggedWithWinInetsMessageText) {
  const Appended log(logPath_);
  HMODULE wininet = LoadLibraryW(L"wininet.dll");
  ASSERT_NE(wininet, nullptr);
  char text[260] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, wininet, 12029,
                 MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof(text), nullptr);
  ASSERT_STRNE(text, "") << "wininet.dll has no text for 12029";
  const std::string thread = "[Thread][" + std::to_string(GetCurrentThreadId()) + "] ";

  ShowApiError("WinHttpConnect", 12029, wininet, "CWinHttpRequest::ConnectSession");
  ShowApiError("WinHttpOpen", 12029, wininet, nullptr);
  ShowApiError("WinHttpOpen", 4242, wininet, nullptr);  // a code the table does not know
  const std::string logged = log.Text();
  EXPECT_NE(logged.find(thread + "[CWinHttpRequest::ConnectSession]call WinHttpConnect fail 12029, " + text),
            std::string::npos)
      << logged;
  EXPECT_NE(logged.find(thread + "call WinHttpOpen fail 12029, " + text), std::string::npos) << logged;
  EXPECT_NE(logged.find(thread + "call WinHttpOpen fail 4242, \n"), std::string::npos) << logged;
}

}  // namespace
