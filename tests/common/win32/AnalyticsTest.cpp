// Analytics under Wine: the registry-kept client identifier, and reports sent through nginx on
// 443 to the collector stand-in, which records every request it receives.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <regex>
#include <thread>

#include <rapidjson/document.h>

#include "common/Encoding.h"
#include "common/GA.h"
#include "common/GAPayload.h"
#include "common/win32/ClientIdRegistry.h"
#include "resources/deployment/local/DeploymentSettings.h"
#include "tests/support/TestWorld.h"

namespace {

using testsupport::Appended;
using Clock = std::chrono::steady_clock;

const std::wregex kNewIdFormat(L"[0-9A-F]{8}-[0-9A-F]{4}-[0-9a-f]{4}-[0-9A-F]{4}-[0-9A-F]{12}");

void DeleteClientIdKey() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\WOW6432Node\\Nexvale"); }

// The stored value's type and its exact data as wide text.
std::pair<DWORD, std::wstring> StoredValue() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kClientIdKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
    return {REG_NONE, L"<no key>"};
  }
  wchar_t data[512] = {};
  DWORD type = REG_NONE;
  DWORD bytes = sizeof(data);
  const LSTATUS status = RegQueryValueExW(key, kClientIdValue, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return {REG_NONE, L"<no value>"};
  std::wstring text(data, bytes / sizeof(wchar_t));
  // The system stores a terminating null even when the writer did not count it.
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return {type, text};
}

void StoreValue(DWORD type, const void* data, DWORD bytes) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kClientIdKey, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_64KEY, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, kClientIdValue, 0, type, static_cast<const BYTE*>(data), bytes);
  RegCloseKey(key);
}

TEST(AnalyticsClientId, CreatedOnFirstRunThenReused) {
  DeleteClientIdKey();
  const std::wstring first = ReadOrCreateClientId();
  EXPECT_TRUE(std::regex_match(first, kNewIdFormat)) << encoding::WideToUtf8(first);
  // Stored as REG_SZ.
  EXPECT_EQ(StoredValue(), std::make_pair(DWORD{REG_SZ}, first));

  EXPECT_EQ(ReadOrCreateClientId(), first);
  EXPECT_EQ(ReadOrCreateClientId(), first);
  EXPECT_EQ(StoredValue().second, first);
}

TEST(AnalyticsClientId, InvalidStoredValuesAreReplacedAndValidOnesKept) {
  struct Case {
    std::wstring stored;
    bool kept;
  };
  const Case cases[] = {
      {L"custom-ID-42", true},
      {L"ABCDEF01-2345-6789-abcd-EF0123456789", true},
      {L"ABCDEF01 2345", false},
      {L"{ABCDEF01-2345-6789-ABCD-EF0123456789}", false},
      {L"abc.def", false},
      {L"", false},
  };
  for (const Case& c : cases) {
    DeleteClientIdKey();
    StoreValue(REG_SZ, c.stored.c_str(), static_cast<DWORD>((c.stored.size() + 1) * sizeof(wchar_t)));
    const std::wstring id = ReadOrCreateClientId();
    const std::string label = encoding::WideToUtf8(c.stored);
    if (c.kept) {
      EXPECT_EQ(id, c.stored) << label;
    } else {
      EXPECT_TRUE(std::regex_match(id, kNewIdFormat)) << label << " -> " << encoding::WideToUtf8(id);
      EXPECT_EQ(StoredValue().second, id) << label;
    }
  }

  DeleteClientIdKey();
  const DWORD number = 42;
  StoreValue(REG_DWORD, &number, sizeof(number));
  EXPECT_TRUE(std::regex_match(ReadOrCreateClientId(), kNewIdFormat));
  EXPECT_EQ(StoredValue().first, DWORD{REG_SZ});
}

TEST(AnalyticsClientId, TheInstanceCarriesTheStoredIdentifier) {
  DeleteClientIdKey();
  const std::wstring stored = ReadOrCreateClientId();
  EXPECT_EQ(CGA::GetInstance().clientId(), encoding::WideToUtf8(stored));
  EXPECT_EQ(&CGA::GetInstance(), &CGA::GetInstance());
}

class AnalyticsReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    recordPath_ = encoding::AnsiToWide(testsupport::RequiredEnvironment("NEXVALE_TEST_COLLECTOR_RECORD"));
    portsLogPath_ = encoding::AnsiToWide(testsupport::RequiredEnvironment("NEXVALE_TEST_NGINX_PORTS_LOG"));
    logPath_ = testsupport::DiagnosticLogPath();
  }

  // The requests the collector recorded since `record` began, parsed.
  static std::vector<rapidjson::Document> Received(const Appended& record) {
    std::vector<rapidjson::Document> requests;
    for (const std::string& line : record.Lines()) {
      rapidjson::Document request;
      EXPECT_FALSE(request.Parse(line.c_str()).HasParseError()) << line;
      requests.push_back(std::move(request));
    }
    return requests;
  }

  static std::string Header(const rapidjson::Document& request, const std::string& name) {
    for (const auto& header : request["headers"].GetArray()) {
      if (name == header[0].GetString()) return header[1].GetString();
    }
    return "<missing>";
  }

  std::wstring recordPath_;
  std::wstring portsLogPath_;
  std::wstring logPath_;
};

const wchar_t kCollectUrl[] = L"https://localhost/mp/collect?measurement_id=G-TESTCASE01&api_secret=abcdefghijKLMNOPQRST01";

TEST_F(AnalyticsReportTest, ReportCarriesTheIdentifierInAllThreePlacesAndIsLoggedInOrder) {
  CGA ga("6F9619FF-8B86-d011-B42D-00C04FC964FF");
  ga.InitReportTarget(kCollectUrl, L"Vandrel Data Recovery");
  const Appended record(recordPath_);
  const Appended log(logPath_);
  EXPECT_TRUE(ga.SendDownloaderStartInstall());

  const auto requests = Received(record);
  ASSERT_EQ(requests.size(), 1u);
  const rapidjson::Document& request = requests[0];
  EXPECT_STREQ(request["method"].GetString(), "POST");
  EXPECT_STREQ(request["path"].GetString(),
               "/mp/collect?measurement_id=G-TESTCASE01&api_secret=abcdefghijKLMNOPQRST01");
  EXPECT_EQ(Header(request, "Content-Type"), "application/json; charset=utf-8");
  const std::string body = request["body"].GetString();
  rapidjson::Document json;
  ASSERT_FALSE(json.Parse(body.c_str()).HasParseError()) << body;
  EXPECT_STREQ(json["client_id"].GetString(), "6F9619FF-8B86-d011-B42D-00C04FC964FF");
  EXPECT_STREQ(json["user_properties"]["uid"]["value"].GetString(), "6F9619FF-8B86-d011-B42D-00C04FC964FF");
  ASSERT_EQ(json["events"].Size(), 1u);
  EXPECT_STREQ(json["events"][0]["name"].GetString(), "Downloader_Start_Install");
  EXPECT_STREQ(json["events"][0]["params"]["event_category"].GetString(), "Vandrel Data Recovery (Windows version)");
  EXPECT_STREQ(json["events"][0]["params"]["event_label"].GetString(), "6F9619FF-8B86-d011-B42D-00C04FC964FF");

  const std::string text = log.Text();
  const size_t guid = text.find("tran code guid:6F9619FF-8B86-d011-B42D-00C04FC964FF");
  const size_t url = text.find("request url: " + encoding::WideToUtf8(kCollectUrl));
  const size_t info = text.find("request info: " + body);
  const size_t code = text.find("request ret Code: 204");
  EXPECT_NE(guid, std::string::npos) << text;
  EXPECT_NE(code, std::string::npos) << text;
  EXPECT_LT(guid, url) << text;
  EXPECT_LT(url, info) << text;
  EXPECT_LT(info, code) << text;
}

TEST_F(AnalyticsReportTest, EachKindSendsItsEventAndNotFoundIsOnlyLogged) {
  CGA ga("kinds");
  ga.InitReportTarget(kCollectUrl, L"Vandrel Data Recovery");
  const Appended record(recordPath_);
  const std::pair<int32_t, const char*> kinds[] = {
      {kGAEvent_StartInstall, "Downloader_Start_Install"},
      {kGAEvent_Installed, "Downloader_Installed"},
      {kGAEvent_InstalledSucceed, "Installed_Succeed"},
      {7, "Downloader_Start_Install"},
  };
  for (const auto& [kind, name] : kinds) {
    AnalyticsThreadProc(new GAThreadParam{0, &ga, kind});
  }
  const auto requests = Received(record);
  ASSERT_EQ(requests.size(), std::size(kinds));
  for (size_t i = 0; i < requests.size(); ++i) {
    rapidjson::Document json;
    json.Parse(requests[i]["body"].GetString());
    ASSERT_TRUE(json.IsObject());
    EXPECT_STREQ(json["events"][0]["name"].GetString(), kinds[i].second) << "kind " << kinds[i].first;
  }

  CGA missing("not-found");
  missing.InitReportTarget(L"https://localhost/mp/nowhere", L"Vandrel Data Recovery");
  const Appended log(logPath_);
  EXPECT_TRUE(missing.SendInstalledSucceed());
  EXPECT_NE(log.Text().find("request ret Code: 404"), std::string::npos) << log.Text();
}

TEST_F(AnalyticsReportTest, LocalBuildReachesTheCollectorOverTlsOn443) {
  const std::wstring url = BuildGAReportUrl(kAnalyticsHost, kAnalyticsMeasurementId, kAnalyticsApiSecret);
  CGA ga("local-build");
  ga.InitReportTarget(url, L"Vandrel Data Recovery");
  const Appended record(recordPath_);
  const Appended ports(portsLogPath_);
  EXPECT_TRUE(ga.SendInstalledSucceed());
  const std::string path = "/mp/collect?measurement_id=G-LOCALTEST1&api_secret=LocalCollectorSecret01";
  EXPECT_EQ(testsupport::ServedBy(ports, "POST", path), std::vector<std::string>{"127.0.0.1:443"});
  const auto requests = Received(record);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0]["path"].GetString(), path);
}

// Lives as long as the process: a reporting thread may outlast the test that started it.
CGA& StalledCollector() {
  static CGA* ga = [] {
    auto* instance = new CGA("stalled");
    const std::string port = testsupport::RequiredEnvironment("NEXVALE_TEST_FAULT_PORT");
    // Accepts the request, then stays silent.
    instance->InitReportTarget(L"http://127.0.0.1:" + encoding::AnsiToWide(port) + L"/raw/?stall",
                               L"Vandrel Data Recovery");
    return instance;
  }();
  return *ga;
}

bool WaitForLogText(const Appended& log, const std::string& text, std::chrono::seconds limit) {
  const auto deadline = Clock::now() + limit;
  while (Clock::now() < deadline) {
    if (log.Text().find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

TEST_F(AnalyticsReportTest, SilentCollectorEndsWithinTheTimeOutsAndDelaysNoStarter) {
  const Appended log(logPath_);
  const auto start = Clock::now();
  EXPECT_TRUE(StalledCollector().SendDownloaderInstalled());
  const auto elapsed = Clock::now() - start;
  // The receive time-out (5 s) ends it; connect, send and receive together allow 15 s.
  EXPECT_GE(elapsed, std::chrono::seconds(4));
  EXPECT_LT(elapsed, std::chrono::seconds(15));
  EXPECT_NE(log.Text().find("request ret Code: 0"), std::string::npos) << log.Text();

  const Appended threadLog(logPath_);
  const auto startThread = Clock::now();
  EXPECT_TRUE(StartAnalyticsThread(StalledCollector(), kGAEvent_StartInstall));
  EXPECT_LT(Clock::now() - startThread, std::chrono::milliseconds(500));
  EXPECT_TRUE(WaitForLogText(threadLog, "request ret Code: 0", std::chrono::seconds(20))) << threadLog.Text();
}

TEST_F(AnalyticsReportTest, RefusedConnectionLogsStatusZeroAtOnce) {
  CGA ga("refused");
  // Nothing listens on 127.0.0.3.
  ga.InitReportTarget(L"https://127.0.0.3/mp/collect", L"Vandrel Data Recovery");
  const Appended log(logPath_);
  const auto start = Clock::now();
  EXPECT_TRUE(ga.SendDownloaderStartInstall());
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
  EXPECT_NE(log.Text().find("request ret Code: 0"), std::string::npos) << log.Text();
}

}  // namespace
