#pragma once
// The analytics report: its payload records, their JSON form, the report URL and the rules of
// the machine's client identifier. Nothing here talks to the network or the registry.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/JSONStruct.h"

struct GAEventRecord {
  std::string name;
  std::string event_category;  // UTF-8
  std::string event_label;
};

struct GAPayloadRecord {
  std::string client_id;
  std::string value;
  std::vector<GAEventRecord> events;
};

// Writes a payload as the collection service's event report; reads nothing.
class CDownloaderGAJSONStruct : public IJSONStruct {
 public:
  explicit CDownloaderGAJSONStruct(const GAPayloadRecord& payload, int filterMode = kJSONFilter_Exclude,
                                   std::set<std::string> filterKeys = {})
      : IJSONStruct(filterMode, std::move(filterKeys)), payload_(payload) {}

  // Reports are only ever sent, never read back.
  bool FromJson(const rapidjson::Value&) override { return false; }
  rapidjson::Value ToJson(rapidjson::Document::AllocatorType& allocator) override;

 private:
  const GAPayloadRecord& payload_;
};

// The payload of one event report for `clientId`: the identifier as client_id, user property
// value and event label.
GAPayloadRecord MakeGAPayload(const std::string& clientId, const std::string& eventName,
                              const std::string& eventCategory);

// The report body: the payload's JSON object pretty-printed (four blanks, "\n", no final break).
std::string BuildGAReportJson(const GAPayloadRecord& payload);

// Wide text as the report carries it: through the ANSI code page first, so characters that code
// page lacks arrive as its default character, then UTF-8.
std::string ToGAReportText(std::wstring_view text);

// "https://" host "/mp/collect?measurement_id=" id "&api_secret=" secret.
std::wstring BuildGAReportUrl(std::wstring_view host, std::wstring_view measurementId, std::wstring_view apiSecret);

// A measurement identifier: "G-" and ten upper-case letters or digits.
bool IsMeasurementIdForm(std::wstring_view id);
// An API secret: 22 ASCII letters or digits.
bool IsApiSecretForm(std::wstring_view secret);

// A stored client identifier is kept only when it is non-empty ASCII letters, digits and "-".
bool IsValidClientId(std::wstring_view id);

// A new identifier from a GUID's fields: "%08X-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X", the
// third group in lower case.
std::wstring FormatClientId(uint32_t data1, uint16_t data2, uint16_t data3, const uint8_t (&data4)[8]);
