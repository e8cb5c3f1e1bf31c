#pragma once
// The record layout "%d %m%n ": local time as "%Y-%m-%d %H:%M:%S,mmm", a blank, the message,
// a line break and a blank, so every line after the first begins with a blank.

#include <string>
#include <string_view>

#include "log/LogPlatform.h"

std::string FormatLogRecord(const logplatform::LocalTime& time, std::string_view message);
