#include "common/GAPayload.h"

#include <cstdio>

#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include "common/Encoding.h"

namespace {

rapidjson::Value CopyString(const std::string& text, rapidjson::Document::AllocatorType& allocator) {
  return rapidjson::Value(text.data(), static_cast<rapidjson::SizeType>(text.size()), allocator);
}

bool IsAsciiDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsAsciiUpper(wchar_t c) { return c >= L'A' && c <= L'Z'; }
bool IsAsciiLetter(wchar_t c) { return IsAsciiUpper(c) || (c >= L'a' && c <= L'z'); }

}  // namespace

rapidjson::Value CDownloaderGAJSONStruct::ToJson(rapidjson::Document::AllocatorType& allocator) {
  rapidjson::Value object(rapidjson::kObjectType);
  if (IsKeyWritten("client_id")) {
    object.AddMember("client_id", CopyString(payload_.client_id, allocator), allocator);
  }
  if (IsKeyWritten("user_properties")) {
    rapidjson::Value uid(rapidjson::kObjectType);
    uid.AddMember("value", CopyString(payload_.value, allocator), allocator);
    rapidjson::Value properties(rapidjson::kObjectType);
    properties.AddMember("uid", uid, allocator);
    object.AddMember("user_properties", properties, allocator);
  }
  if (IsKeyWritten("events")) {
    rapidjson::Value events(rapidjson::kArrayType);
    for (const GAEventRecord& event : payload_.events) {
      rapidjson::Value params(rapidjson::kObjectType);
      params.AddMember("event_category", CopyString(event.event_category, allocator), allocator);
      params.AddMember("event_label", CopyString(event.event_label, allocator), allocator);
      rapidjson::Value element(rapidjson::kObjectType);
      element.AddMember("name", CopyString(event.name, allocator), allocator);
      element.AddMember("params", params, allocator);
      events.PushBack(element, allocator);
    }
    object.AddMember("events", events, allocator);
  }
  return object;
}

GAPayloadRecord MakeGAPayload(const std::string& clientId, const std::string& eventName,
                              const std::string& eventCategory) {
  GAPayloadRecord payload;
  payload.client_id = clientId;
  payload.value = clientId;
  payload.events.push_back(GAEventRecord{eventName, eventCategory, clientId});
  return payload;
}

std::string BuildGAReportJson(const GAPayloadRecord& payload) {
  rapidjson::Document document;
  CDownloaderGAJSONStruct record(payload);
  rapidjson::Value value = record.ToJson(document.GetAllocator());
  rapidjson::StringBuffer text;
  rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(text);
  value.Accept(writer);
  return std::string(text.GetString(), text.GetSize());
}

std::string ToGAReportText(std::wstring_view text) {
  return encoding::WideToUtf8(encoding::AnsiToWide(encoding::WideToAnsi(text)));
}

std::wstring BuildGAReportUrl(std::wstring_view host, std::wstring_view measurementId, std::wstring_view apiSecret) {
  std::wstring url = L"https://";
  url.append(host).append(L"/mp/collect?measurement_id=").append(measurementId);
  url.append(L"&api_secret=").append(apiSecret);
  return url;
}

bool IsMeasurementIdForm(std::wstring_view id) {
  if (id.size() != 12 || !id.starts_with(L"G-")) return false;
  for (const wchar_t c : id.substr(2)) {
    if (!IsAsciiUpper(c) && !IsAsciiDigit(c)) return false;
  }
  return true;
}

bool IsApiSecretForm(std::wstring_view secret) {
  if (secret.size() != 22) return false;
  for (const wchar_t c : secret) {
    if (!IsAsciiLetter(c) && !IsAsciiDigit(c)) return false;
  }
  return true;
}

bool IsValidClientId(std::wstring_view id) {
  if (id.empty()) return false;
  for (const wchar_t c : id) {
    if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != L'-') return false;
  }
  return true;
}

std::wstring FormatClientId(uint32_t data1, uint16_t data2, uint16_t data3, const uint8_t (&data4)[8]) {
  char text[40];
  std::snprintf(text, sizeof(text), "%08X-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X", static_cast<unsigned>(data1),
                static_cast<unsigned>(data2), static_cast<unsigned>(data3), data4[0], data4[1], data4[2], data4[3],
                data4[4], data4[5], data4[6], data4[7]);
  return encoding::AnsiToWide(text);
}
