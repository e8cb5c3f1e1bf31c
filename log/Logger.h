#pragma once
// The diagnostic log: one rolling file, set up once per process, written from every thread.
// Nothing here ever fails a caller or shows anything: a log that cannot be written drops records.

#include <cstdint>
#include <string>
#include <type_traits>

#include "common/Encoding.h"
#include "log/FormatCheck.h"

enum LogLevel : int {
  kLog_Debug = 0,
  kLog_Info = 1,
  kLog_Warn = 2,
  kLog_Error = 3,
};

// The file rolls once it has reached this size.
inline constexpr int64_t kLogMaxFileSize = 10485760;

// Written instead of a message that could not be formatted or converted.
inline constexpr const char kLogFatalMarker[] = "***Fatal Error Check,Please Fix it!***";

// Sets up the log file `folder`\`fileName`; either may be null or empty (the folder "Log" beside
// the executable, the executable's base name + ".log"). Only the first set-up counts.
void InitLogger(const wchar_t* fileName, const wchar_t* folder);

// Writes `text` as it is, setting up the default log first when nothing has set it up.
void WriteLogLine(int level, const char* text);

#if defined(__MINGW32__)
#define NEXVALE_PRINTF_FORMAT(fmt, args) __attribute__((format(__MINGW_PRINTF_FORMAT, fmt, args)))
#else
#define NEXVALE_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#endif

// printf-style message; the bytes are written as formatted.
void LogPrint(const char* function, const char* sourceFile, int line, int level, const char* format, ...)
    NEXVALE_PRINTF_FORMAT(5, 6);

// Wide printf-style message, converted with the OEM code page. In these formats %s takes a wide
// string and %S (or %hs) a narrow one, in both builds.
void LogPrintW(const wchar_t* function, const wchar_t* sourceFile, int line, int level, const wchar_t* format,
               ...);

namespace logdetail {
// The checked front end of LogPrintW: the format's conversions are matched against the argument
// types at compile time, so a wrong argument never reaches the formatter.
template <typename... Args>
void LogPrintWChecked(const char* function, const char* sourceFile, int line, int level,
                      CheckedWideFormat<std::type_identity_t<Args>...> format, Args... args) {
  const std::wstring wideFunction = encoding::AnsiToWide(function);
  const std::wstring wideFile = encoding::AnsiToWide(sourceFile);
  LogPrintW(wideFunction.c_str(), wideFile.c_str(), line, level, format.text, args...);
}
}  // namespace logdetail

// The call sites' forms: the caller's function, file and line are filled in.
#define LOG_PRINT(level, ...) ::LogPrint(__FUNCTION__, __FILE__, __LINE__, (level), __VA_ARGS__)
#define LOG_PRINTW(level, ...) ::logdetail::LogPrintWChecked(__FUNCTION__, __FILE__, __LINE__, (level), __VA_ARGS__)
#define LOG_INFO(...) LOG_PRINT(kLog_Info, __VA_ARGS__)
#define LOG_INFOW(...) LOG_PRINTW(kLog_Info, __VA_ARGS__)
