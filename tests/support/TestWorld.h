#pragma once
// The test world (tests/harness/run-in-namespace.sh) as tests see it: its settings, the
// loopback peers (nginx serving a document folder on 127.0.0.1, plain 80, TLS 443 with the test
// root, self-signed TLS 4443; the scripted fault server), the diagnostic log of the test
// process and nginx's record of the port that served each request.
#include <cstddef>
#include <string>
#include <vector>

namespace testsupport {

// The variable's value, or empty text.
std::string Environment(const char* name);
// The same for a setting the calling test cannot do without: it fails when the variable is unset.
std::string RequiredEnvironment(const char* name);
// A path the test world exported, in the form this platform's file functions take (Windows
// programs get the "_WIN" form of the variable).
std::string WorldPath(const std::string& name);
// Fails the calling test (a fatal assertion in SetUp) when the world is missing.
bool WorldIsUp(std::string& why);

// Puts a file under nginx's document root; written aside and renamed, so a parallel request
// never sees half of it.
void ServeFile(const std::string& name, const std::string& content);
// Deterministic bytes of a given length that differ from one offset to the next.
std::string PatternBytes(std::size_t size);

// The fault server answers with exactly `response`, then does `action` (close, keep, reset, stall).
std::string ScriptedUrl(const std::string& response, const std::string& action = "close");
std::string FaultServerUrl(const std::string& pathAndQuery);

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
  std::size_t start_;
};

// "address:port" of every request nginx logged with exactly this method and URI since `portsLog`
// began; waits up to three seconds for the first one.
std::vector<std::string> ServedBy(const Appended& portsLog, const std::string& method, const std::string& uri);

}  // namespace testsupport
