#include "log/LogRecord.h"

#include <cstdio>

std::string FormatLogRecord(const logplatform::LocalTime& time, std::string_view message) {
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d,%03d ", time.year, time.month, time.day, time.hour,
                time.minute, time.second, time.millisecond);
  std::string record(stamp);
  record.append(message);
  record.append(logplatform::kLineBreak);
  record += ' ';
  return record;
}
