#include "tests/support/TestWorld.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "log/Logger.h"
#include "tests/support/TestFiles.h"

namespace testsupport {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string RequiredEnvironment(const char* name) {
  const std::string value = Environment(name);
  EXPECT_FALSE(value.empty()) << name << " is not set: run the test through the harness";
  return value;
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

std::wstring DiagnosticLogPath() {
  static TempFolder folder(L"request-log");
  static const bool setUp = [] {
    InitLogger(L"nexvale_down.log", folder.path().c_str());
    return true;
  }();
  (void)setUp;
  return folder.path() + L"nexvale_down.log";
}

Appended::Appended(std::wstring path) : path_(std::move(path)) {
  start_ = PathExists(path_) ? ReadFileBytes(path_).size() : 0;
}

std::string Appended::Text() const {
  if (!PathExists(path_)) return {};
  const std::string all = ReadFileBytes(path_);
  return all.size() > start_ ? all.substr(start_) : std::string();
}

std::vector<std::string> Appended::Lines() const {
  std::vector<std::string> lines;
  std::istringstream in(Text());
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> ServedBy(const Appended& portsLog, const std::string& method, const std::string& uri) {
  // nginx logs a request after answering it, so the client may be a moment ahead of the log.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  for (;;) {
    std::vector<std::string> ports;
    for (const std::string& line : portsLog.Lines()) {
      std::istringstream fields(line);
      std::string address, loggedMethod, loggedUri;
      fields >> address >> loggedMethod >> loggedUri;
      if (loggedMethod == method && loggedUri == uri) ports.push_back(address);
    }
    if (!ports.empty() || std::chrono::steady_clock::now() > deadline) return ports;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

}  // namespace testsupport
