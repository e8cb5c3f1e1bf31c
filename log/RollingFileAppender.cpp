#include "log/RollingFileAppender.h"

#include <filesystem>
#include <system_error>

#include "common/Encoding.h"

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
  const auto current = encoding::ToPath(path_);
  const auto backup = encoding::ToPath(path_ + L".1");
  std::error_code ignored;
  std::filesystem::remove(backup, ignored);
  std::filesystem::rename(current, backup, ignored);
  file_.Open(path_);
}
