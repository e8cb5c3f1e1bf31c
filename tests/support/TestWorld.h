#pragma once
// The loopback peers of the test world (tests/harness/run-in-namespace.sh): nginx serving a
// document folder on 127.0.0.1 (plain 80, TLS 443 with the test root, self-signed TLS 4443) and
// the scripted fault server.
#include <cstddef>
#include <string>

namespace testsupport {

// The variable's value, or empty text.
std::string Environment(const char* name);
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

}  // namespace testsupport
