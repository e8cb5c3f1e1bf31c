#include "tests/support/TestWorld.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace testsupport {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string WorldPath(const std::string& name) {
#ifdef _WIN32
  return Environment((name + "_WIN").c_str());
#else
  return Environment(name.c_str());
#endif
}

bool WorldIsUp(std::string& why) {
  for (const char* name : {"NEXVALE_TEST_WWW", "NEXVALE_TEST_FAULT_PORT"}) {
    if (Environment(name).empty()) {
      why = std::string(name) +
            " is not set: these tests need the loopback servers of the test world (run them through "
            "scripts/test.sh or tests/harness/run-in-namespace.sh)";
      return false;
    }
  }
  return true;
}

void ServeFile(const std::string& name, const std::string& content) {
  static std::mt19937 random{std::random_device{}()};
  const std::filesystem::path target = std::filesystem::path(WorldPath("NEXVALE_TEST_WWW")) / name;
  std::filesystem::create_directories(target.parent_path());
  const std::filesystem::path temporary = target.string() + ".part" + std::to_string(random());
  std::ofstream(temporary, std::ios::binary) << content;
  std::filesystem::rename(temporary, target);
}

std::string PatternBytes(std::size_t size) {
  std::string out(size, '\0');
  for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<char>('a' + (i * 7 + i / 251) % 26);
  return out;
}

namespace {

std::string Percent(const std::string& bytes) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

}  // namespace

std::string FaultServerUrl(const std::string& pathAndQuery) {
  return "http://127.0.0.1:" + Environment("NEXVALE_TEST_FAULT_PORT") + pathAndQuery;
}

std::string ScriptedUrl(const std::string& response, const std::string& action) {
  return FaultServerUrl("/raw/" + Percent(response) + "?" + action);
}

}  // namespace testsupport
