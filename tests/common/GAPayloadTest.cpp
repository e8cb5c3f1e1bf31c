#include <gtest/gtest.h>

#include <rapidjson/document.h>

#include "common/Encoding.h"
#include "common/GAPayload.h"
#include "resources/deployment/product/DeploymentSettings.h"

namespace {

TEST(GAPayload, ReportBodyIsThePrettyPrintedObjectInMemberOrder) {
  const std::string id = "0A1B2C3D-4E5F-6a7b-8C9D-0E1F2A3B4C5D";
  const std::string body =
      BuildGAReportJson(MakeGAPayload(id, "Downloader_Start_Install", "Vandrel Data Recovery (Windows version)"));
  EXPECT_EQ(body,
            "{\n"
            "    \"client_id\": \"0A1B2C3D-4E5F-6a7b-8C9D-0E1F2A3B4C5D\",\n"
            "    \"user_properties\": {\n"
            "        \"uid\": {\n"
            "            \"value\": \"0A1B2C3D-4E5F-6a7b-8C9D-0E1F2A3B4C5D\"\n"
            "        }\n"
            "    },\n"
            "    \"events\": [\n"
            "        {\n"
            "            \"name\": \"Downloader_Start_Install\",\n"
            "            \"params\": {\n"
            "                \"event_category\": \"Vandrel Data Recovery (Windows version)\",\n"
            "                \"event_label\": \"0A1B2C3D-4E5F-6a7b-8C9D-0E1F2A3B4C5D\"\n"
            "            }\n"
            "        }\n"
            "    ]\n"
            "}");
}

TEST(GAPayload, TextIsEscapedAsJsonRequiresAndOtherwisePassesAsUtf8) {
  const std::string category = ToGAReportText(L"Quote\" Back\\ Tab\t Line\n \u00e9");
  const std::string body = BuildGAReportJson(MakeGAPayload("", "E", category));
  EXPECT_NE(body.find(R"("event_category": "Quote\" Back\\ Tab\t Line\n )" "\xC3\xA9\""), std::string::npos)
      << body;
  // An empty identifier is no error: the report carries empty strings.
  rapidjson::Document parsed;
  ASSERT_FALSE(parsed.Parse(body.c_str()).HasParseError());
  EXPECT_STREQ(parsed["client_id"].GetString(), "");
  EXPECT_STREQ(parsed["events"][0]["params"]["event_category"].GetString(), category.c_str());
}

TEST(GAPayload, KeyFilterLeavesOutOrKeepsTheListedMembers) {
  const GAPayloadRecord payload = MakeGAPayload("id", "E", "C");
  struct Case {
    int mode;
    std::set<std::string> keys;
    std::vector<std::string> written;
  };
  const Case cases[] = {
      {kJSONFilter_Exclude, {}, {"client_id", "user_properties", "events"}},
      {kJSONFilter_Exclude, {"user_properties"}, {"client_id", "events"}},
      {kJSONFilter_Include, {"events"}, {"events"}},
      {7, {"events"}, {"client_id", "user_properties", "events"}},
  };
  for (const Case& c : cases) {
    rapidjson::Document document;
    CDownloaderGAJSONStruct record(payload, c.mode, c.keys);
    const rapidjson::Value value = record.ToJson(document.GetAllocator());
    std::vector<std::string> written;
    for (auto member = value.MemberBegin(); member != value.MemberEnd(); ++member) {
      written.emplace_back(member->name.GetString());
    }
    EXPECT_EQ(written, c.written) << "mode " << c.mode;
  }
}

TEST(GAClientId, NewIdentifiersHaveTheMixedCaseFormat) {
  const uint8_t tail[8] = {0xAB, 0x0C, 0xDE, 0xF0, 0x01, 0x23, 0x45, 0x67};
  EXPECT_EQ(FormatClientId(0x00ABCDEF, 0xBEEF, 0xCAFE, tail), L"00ABCDEF-BEEF-cafe-AB0C-DEF001234567");
  const uint8_t zeros[8] = {};
  EXPECT_EQ(FormatClientId(0, 0, 0, zeros), L"00000000-0000-0000-0000-000000000000");
}

TEST(GAClientId, OnlyLettersDigitsAndHyphensAreKept) {
  for (const wchar_t* valid : {L"00ABCDEF-BEEF-cafe-AB0C-DEF001234567", L"a", L"-", L"Z9-z0"}) {
    EXPECT_TRUE(IsValidClientId(valid)) << encoding::WideToUtf8(valid);
  }
  for (const wchar_t* invalid : {L"", L"{00ABCDEF-BEEF-cafe-AB0C-DEF001234567}", L"abc def", L"abc.def",
                                 L"abc_def", L"\u00e9t\u00e9", L"abc\n"}) {
    EXPECT_FALSE(IsValidClientId(invalid)) << encoding::WideToUtf8(invalid);
  }
}

TEST(GAReportUrl, ProductEndpointHasTheFormsOfARealProperty) {
  EXPECT_TRUE(IsMeasurementIdForm(kAnalyticsMeasurementId));
  EXPECT_TRUE(IsApiSecretForm(kAnalyticsApiSecret));
  const std::wstring host = kAnalyticsHost;
  EXPECT_TRUE(host.ends_with(L".example")) << "the product build must not name a real host";
  const std::wstring url = BuildGAReportUrl(kAnalyticsHost, kAnalyticsMeasurementId, kAnalyticsApiSecret);
  EXPECT_EQ(url, L"https://" + host + L"/mp/collect?measurement_id=" + kAnalyticsMeasurementId +
                     L"&api_secret=" + kAnalyticsApiSecret);
  EXPECT_EQ(url.size(), 81 + host.size());
}

TEST(GAReportUrl, IdentifierAndSecretFormsAreChecked) {
  for (const wchar_t* id : {L"G-ABCDEFGH12", L"G-0000000000"}) EXPECT_TRUE(IsMeasurementIdForm(id));
  for (const wchar_t* id : {L"G-ABCDEFGH1", L"G-ABCDEFGH123", L"G-abcdefgh12", L"X-ABCDEFGH12", L"G_ABCDEFGH12"}) {
    EXPECT_FALSE(IsMeasurementIdForm(id)) << encoding::WideToUtf8(id);
  }
  EXPECT_TRUE(IsApiSecretForm(L"abcdefghijKLMNOPQRST01"));
  for (const wchar_t* secret : {L"abcdefghijKLMNOPQRST0", L"abcdefghijKLMNOPQRST012", L"abcdefghij-LMNOPQRST01"}) {
    EXPECT_FALSE(IsApiSecretForm(secret)) << encoding::WideToUtf8(secret);
  }
}

}  // namespace
