#include "tests/tool/win32/TestWorld.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "common/Encoding.h"
#include "log/Logger.h"
#include "tests/support/TestFiles.h"

namespace testworld {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  EXPECT_NE(value, nullptr) << name << " is not set: run the test through the harness";
  return value ? value : "";
}

std::wstring DiagnosticLogPath() {
  static testsupport::TempFolder folder(L"request-log");
  static const bool setUp = [] {
    InitLogger(L"nexvale_down.log", folder.path().c_str());
    return true;
  }();
  (void)setUp;
  return folder.path() + L"nexvale_down.log";
}

Appended::Appended(std::wstring path) : path_(std::move(path)) {
  start_ = testsupport::PathExists(path_) ? testsupport::ReadFileBytes(path_).size() : 0;
}

std::string Appended::Text() const {
  if (!testsupport::PathExists(path_)) return {};
  const std::string all = testsupport::ReadFileBytes(path_);
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

}  // namespace testworld
