#include "log/RollingFileAppender.h"

#include "common/FileOps.h"
#include "log/LogRecord.h"

RollingFileAppender::RollingFileAppender(std::string name, std::wstring path, int64_t maxFileSize)
    : name_(std::move(name)), path_(std::move(path)), maxFileSize_(maxFileSize) {
  file_.Open(path_);
}

bool RollingFileAppender::isOpen() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return file_.IsOpen();
}

void RollingFileAppender::Append(std::string_view record) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!file_.IsOpen()) return;
  file_.Write(record);
  if (file_.Size() >= maxFileSize_) RollOver();
}

void RollingFileAppender::RollOver() {
  file_.Close();
  const fileops::Failure failure = fileops::RenameReplacing(path_, path_ + L".1");
  file_.Open(path_);
  // The log cannot log through itself here (its lock is held), so the record goes straight into
  // the file that keeps growing; once per failing streak, not after every record.
  if (failure && !rollFailureReported_) {
    file_.Write(FormatLogRecord(logplatform::Now(), "log file could not be rolled over: " + failure.text));
  }
  rollFailureReported_ = static_cast<bool>(failure);
}
