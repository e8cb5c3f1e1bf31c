#pragma once
// What the utility-request and analytics tests read from the test world: its settings, the
// diagnostic log of the test process and nginx's record of the port that served each request.

#include <string>
#include <vector>

namespace testworld {

// An environment variable of the harness; the test fails (and the text is empty) when unset.
std::string Env(const char* name);

// The test process's diagnostic log, set up on first use in a temporary folder.
std::wstring DiagnosticLogPath();

// What a file gains from the moment the object is made.
class Appended {
 public:
  explicit Appended(std::wstring path);
  std::string Text() const;
  std::vector<std::string> Lines() const;

 private:
  std::wstring path_;
  size_t start_;
};

// "address:port" of every request nginx logged with exactly this method and URI since `portsLog`
// began; waits up to three seconds for the first one.
std::vector<std::string> ServedBy(const Appended& portsLog, const std::string& method, const std::string& uri);

}  // namespace testworld
