// The WinHTTP client against the test world: nginx on 443, the analytics collector stand-in
// behind it, and the scripted fault server for request heads and broken bodies.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "common/Encoding.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestWorld.h"
#include "tool/HttpBase.h"
#include "tool/win32/WinHttp.h"

namespace {

using testsupport::Appended;
using testsupport::ServedBy;
using Ports = std::vector<std::string>;

struct ClientDeleter {
  void operator()(IWinHttp* client) const { client->Destroy(); }
};
using Client = std::unique_ptr<IWinHttp, ClientDeleter>;

Client NewClient() {
  IHttpBase* base = nullptr;
  EXPECT_TRUE(CreateHttpClient(&base, kHttpClient_WinHttp));
  return Client(dynamic_cast<IWinHttp*>(base));
}

std::string PercentEncode(const std::string& bytes) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char c : bytes) {
    out += '%';
    out += hex[c >> 4];
    out += hex[c & 15];
  }
  return out;
}

class WinHttpClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    www_ = encoding::AnsiToWide(testsupport::RequiredEnvironment("NEXVALE_TEST_WWW")) + L"/";
    portsLogPath_ = encoding::AnsiToWide(testsupport::RequiredEnvironment("NEXVALE_TEST_NGINX_PORTS_LOG"));
    fault_ = L"http://127.0.0.1:" + encoding::AnsiToWide(testsupport::RequiredEnvironment("NEXVALE_TEST_FAULT_PORT"));
  }
  // A fault-server URL that answers with exactly `response` and closes.
  std::wstring Raw(const std::string& response) const {
    return fault_ + L"/raw/" + encoding::AnsiToWide(PercentEncode(response));
  }

  std::wstring www_;
  std::wstring portsLogPath_;
  std::wstring fault_;
};

TEST(HttpClientFactory, OnlyTheWinHttpKindIsBuilt) {
  for (const int kind : {0, 1, 3, -1}) {
    IHttpBase* client = reinterpret_cast<IHttpBase*>(1);
    EXPECT_FALSE(CreateHttpClient(&client, kind)) << kind;
    EXPECT_EQ(client, nullptr) << kind;
  }
  Client client = NewClient();
  ASSERT_NE(client, nullptr);
  EXPECT_EQ(client->GetStatusCode(), 0);
  EXPECT_EQ(client->GetErrorCode(), kHttpError_None);
}

TEST_F(WinHttpClientTest, HttpsGoesToPort443AndAnExplicitPortIsUsedWithoutTls) {
  const Appended ports(portsLogPath_);
  Client client = NewClient();
  EXPECT_EQ(client->PerformRequest(std::wstring(L"https://localhost/index.html?case=client"), false, "", L""),
            "nexvale test server\n");
  EXPECT_EQ(client->GetStatusCode(), 200);
  EXPECT_EQ(ServedBy(ports, "GET", "/index.html?case=client"), Ports{"127.0.0.1:443"});

  // The fault server speaks plain HTTP only: the https scheme must not bring TLS to port 8081.
  const std::string head =
      client->PerformRequest(L"https" + fault_.substr(4) + L"/echo", false, "", L"");
  EXPECT_TRUE(head.starts_with("GET /echo HTTP/1.1\r\n")) << head;
  EXPECT_EQ(client->GetStatusCode(), 200);
}

TEST_F(WinHttpClientTest, HeaderTextHoldsTheDefaultsInNameOrder) {
  Client client = NewClient();
  client->AddHeader("X-Probe", "1");
  client->AddHeader("", "ignored");
  client->AddHeader("Ignored", nullptr);
  const std::string head = client->PerformRequest(fault_ + L"/echo", false, "", L"");
  const std::string expected =
      "Accept: */*\r\n"
      "Accept-Language: zh-CN,zh;q=0.9\r\n"
      "Connection: Keep-Alive\r\n"
      "User-Agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
      "Chrome/80.0.4044.92 Safari/537.36\r\n"
      "X-Probe: 1\r\n";
  EXPECT_NE(head.find(expected), std::string::npos) << head;
  EXPECT_EQ(head.find("Microsoft Internet Explorer"), std::string::npos) << head;
  EXPECT_EQ(head.find("Ignored"), std::string::npos) << head;
}

TEST_F(WinHttpClientTest, AddedUserAgentReplacesTheDefaultForEveryLaterRequest) {
  Client client = NewClient();
  client->AddHeader("User-Agent", "NexvaleProbe/2.0");
  for (int request = 0; request < 2; ++request) {
    const std::string head = client->PerformRequest(fault_ + L"/echo", false, "", L"");
    EXPECT_NE(head.find("\r\nUser-Agent: NexvaleProbe/2.0\r\n"), std::string::npos) << head;
    EXPECT_EQ(head.find("Mozilla"), std::string::npos) << head;
    EXPECT_EQ(head.find("Microsoft Internet Explorer"), std::string::npos) << head;
  }
}

TEST_F(WinHttpClientTest, PostAnswered204Or404GivesAnEmptyBody) {
  const std::string record = testsupport::RequiredEnvironment("NEXVALE_TEST_COLLECTOR_RECORD");
  const Appended received(encoding::AnsiToWide(record));
  Client client = NewClient();
  EXPECT_EQ(client->PerformRequest(std::string("https://localhost/mp/collect?case=204"), true, "{\"a\":1}",
                                   "Content-Type: application/json; charset=utf-8"),
            "");
  EXPECT_EQ(client->GetStatusCode(), 204);
  EXPECT_EQ(client->GetErrorCode(), kHttpError_None);
  const std::string lines = received.Text();
  EXPECT_NE(lines.find("\"path\": \"/mp/collect?case=204\""), std::string::npos) << lines;
  EXPECT_NE(lines.find("[\"Content-Type\", \"application/json; charset=utf-8\"]"), std::string::npos) << lines;
  EXPECT_NE(lines.find("\"body\": \"{\\\"a\\\":1}\""), std::string::npos) << lines;

  EXPECT_EQ(client->PerformRequest(std::string("https://localhost/mp/unknown"), true, "x", ""), "");
  EXPECT_EQ(client->GetStatusCode(), 404);
  EXPECT_EQ(client->GetErrorCode(), kHttpError_NotFound);

  // A later success does not clear the error; a 500 answer returns its body like a success.
  EXPECT_EQ(client->PerformRequest(Raw("HTTP/1.1 500 Oops\r\nContent-Length: 4\r\n\r\nsick"), false, "", L""),
            "sick");
  EXPECT_EQ(client->GetStatusCode(), 500);
  EXPECT_EQ(client->GetErrorCode(), kHttpError_NotFound);
}

TEST_F(WinHttpClientTest, UnreachableHostKeepsTheStatusAndReportsTheFailure) {
  Client client = NewClient();
  client->SetTimeouts(1000, 1000, 1000);
  // Nothing listens on 127.0.0.3.
  EXPECT_EQ(client->PerformRequest(std::wstring(L"http://127.0.0.3/x"), false, "", L""), "");
  EXPECT_EQ(client->GetStatusCode(), 0);
  EXPECT_NE(client->GetErrorCode(), kHttpError_None);
  // A port no connection can use never reaches the network.
  EXPECT_EQ(client->PerformRequest(std::wstring(L"http://localhost:70000/x"), false, "", L""), "");
  EXPECT_EQ(client->GetErrorCode(), kHttpError_Connect);
}

TEST_F(WinHttpClientTest, DownloadToMemoryKeepsToItsLimitAndTheAnnouncedLength) {
  std::string atLimit(CWinHttp::kMemoryDownloadLimit, 'm');
  atLimit.front() = 'a';
  atLimit.back() = 'z';
  testsupport::WriteFileBytes(www_ + L"at-limit.bin", atLimit);
  testsupport::WriteFileBytes(www_ + L"over-limit.bin", atLimit + "!");

  struct Case {
    std::wstring url;
    bool result;
    HttpInterfaceError error;
    std::string body;
  };
  const Case cases[] = {
      {L"https://localhost/at-limit.bin", true, kHttpError_None, atLimit},
      {L"https://localhost/over-limit.bin", false, kHttpError_TooLarge, ""},
      {L"https://localhost/missing.bin", false, kHttpError_NotFound, ""},
      {Raw("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nno length"), false, kHttpError_ContentLength, ""},
      {Raw("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"), true, kHttpError_None, ""},
      // More than announced: the call fails instead of writing past the buffer.
      {Raw("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\n12345678"), false, kHttpError_Read, ""},
  };
  for (const Case& c : cases) {
    Client client = NewClient();
    char* buffer = nullptr;
    size_t size = 0;
    EXPECT_EQ(client->DownloadToMemory(c.url, &buffer, &size), c.result) << encoding::WideToUtf8(c.url);
    EXPECT_EQ(client->GetErrorCode(), c.error) << encoding::WideToUtf8(c.url);
    if (c.result) {
      ASSERT_NE(buffer, nullptr);
      EXPECT_EQ(std::string(buffer, size), c.body);
    } else {
      EXPECT_EQ(buffer, nullptr);
      EXPECT_EQ(size, 0u);
    }
    std::free(buffer);
  }
}

class RecordingSink : public IHttpProgressSink {
 public:
  void OnHttpProgress(uint32_t userValue, int state, double total, double stored) override {
    calls.push_back({userValue, state, total, stored});
  }
  struct Call {
    uint32_t userValue;
    int state;
    double total;
    double stored;
  };
  std::vector<Call> calls;
};

TEST_F(WinHttpClientTest, DownloadToFileStoresTheBodyAndReportsProgress) {
  std::string body;
  for (int i = 0; i < 300000; ++i) body.push_back(static_cast<char>(i * 13 % 256));
  testsupport::WriteFileBytes(www_ + L"download.bin", body);
  testsupport::TempFolder folder(L"client-download");
  const std::wstring target = folder.path() + L"download.bin";

  RecordingSink sink;
  Client client = NewClient();
  client->SetProgressSink(&sink, 0xC0FFEE);
  ASSERT_TRUE(client->DownloadToFile(L"https://localhost/download.bin", target));
  EXPECT_EQ(testsupport::ReadFileBytes(target), body);
  EXPECT_EQ(client->GetStatusCode(), 200);

  ASSERT_FALSE(sink.calls.empty());
  double previous = 0;
  for (const auto& call : sink.calls) {
    EXPECT_EQ(call.userValue, 0xC0FFEEu);
    EXPECT_EQ(call.state, 0);
    EXPECT_EQ(call.total, 300000.0);
    EXPECT_GT(call.stored, previous);
    previous = call.stored;
  }
  EXPECT_EQ(sink.calls.back().stored, 300000.0);
}

TEST_F(WinHttpClientTest, DownloadToFileThatFailsLeavesNoFile) {
  testsupport::TempFolder folder(L"client-download");
  struct Case {
    std::wstring url;
    HttpInterfaceError error;
  };
  const Case cases[] = {
      // The body ends before its announced length: no zero-padded file passes for complete.
      {Raw("HTTP/1.1 200 OK\r\nContent-Length: 10\r\nConnection: close\r\n\r\nabcd"), kHttpError_Read},
      {Raw("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nno length"), kHttpError_ContentLength},
      {L"https://localhost/missing.bin", kHttpError_NotFound},
  };
  for (const Case& c : cases) {
    const std::wstring target = folder.path() + L"partial.bin";
    testsupport::WriteFileBytes(target, "old");
    Client client = NewClient();
    EXPECT_FALSE(client->DownloadToFile(c.url, target)) << encoding::WideToUtf8(c.url);
    EXPECT_EQ(client->GetErrorCode(), c.error) << encoding::WideToUtf8(c.url);
    if (c.error == kHttpError_Read) {
      EXPECT_FALSE(testsupport::PathExists(target));
    }
  }
  Client client = NewClient();
  EXPECT_FALSE(client->DownloadToFile(L"https://localhost/index.html", folder.path() + L"no-such-folder\\x.bin"));
  EXPECT_EQ(client->GetErrorCode(), kHttpError_CreateFile);
}

}  // namespace
