#pragma once
// A file appender that rolls once the file has reached its size limit: the file becomes the
// backup (its full name followed by ".1", replacing an older backup) and a new, empty file
// takes its name. The check runs after each record, so a file exceeds the limit by at most
// one record. A file that cannot be renamed keeps growing, and says why once.

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "log/LogPlatform.h"

class RollingFileAppender {
 public:
  RollingFileAppender(std::string name, std::wstring path, int64_t maxFileSize);

  const std::string& name() const { return name_; }
  const std::wstring& path() const { return path_; }
  bool isOpen() const;

  // Writes one finished record; records from several threads never interleave.
  void Append(std::string_view record);

 private:
  void RollOver();

  const std::string name_;
  const std::wstring path_;
  const int64_t maxFileSize_;
  mutable std::mutex mutex_;
  logplatform::AppendFile file_;
  bool rollFailureReported_ = false;
};
