#include "log/Logger.h"

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "common/ExecutablePath.h"
#include "common/FileOps.h"
#include "common/PathText.h"
#include "log/LogPlatform.h"
#include "log/LogRecord.h"
#include "log/RollingFileAppender.h"

namespace {

constexpr int kPriorityDebug = 700;
constexpr int kLevelPriority[] = {700, 600, 400, 300};  // debug, info, warn, error

// The root category: the appenders records go to and the priority below which they are dropped.
// It lives for the whole process (never destroyed) so threads may log during shutdown.
class RootCategory {
 public:
  bool HasAppender(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& appender : appenders_) {
      if (appender->name() == name) return true;
    }
    return false;
  }
  void AddAppender(std::unique_ptr<RollingFileAppender> appender) {
    std::lock_guard<std::mutex> lock(mutex_);
    appenders_.push_back(std::move(appender));
  }
  void SetPriority(int priority) {
    std::lock_guard<std::mutex> lock(mutex_);
    priority_ = priority;
  }
  void Log(int priority, std::string_view message) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (priority > priority_) return;
    const std::string record = FormatLogRecord(logplatform::Now(), message);
    for (const auto& appender : appenders_) appender->Append(record);
  }

 private:
  std::mutex mutex_;
  std::vector<std::unique_ptr<RollingFileAppender>> appenders_;
  int priority_ = kPriorityDebug;
};

RootCategory& Root() {
  static RootCategory* const root = new RootCategory;
  return *root;
}

std::mutex& SetupLock() {
  static std::mutex* const lock = new std::mutex;
  return *lock;
}

// The executable's file name up to its first dot ("a.b.exe" gives "a"): the appender's name and
// the default log file stem.
const std::string& ModuleBaseName() {
  static const std::string name = encoding::WideToAnsi(
      pathtext::StemBeforeFirstDot(pathtext::FileNamePart(GetExecutablePath())));
  return name;
}

void InitLoggerLocked(const wchar_t* fileName, const wchar_t* folder) {
  const std::string& baseName = ModuleBaseName();
  if (Root().HasAppender(baseName)) return;

  std::wstring logFolder = folder && *folder ? std::wstring(folder) : std::wstring();
  if (logFolder.empty()) {
    logFolder = pathtext::FolderPart(pathtext::NormalizeSeparators(GetExecutablePath()));
    logFolder += pathtext::kSeparator;
    logFolder += L"Log";
  }
  // A folder that cannot be made leaves the appender without a file: there is no log to say so in.
  fileops::CreateFolders(pathtext::NormalizeSeparators(logFolder));

  std::wstring logName = fileName && *fileName ? std::wstring(fileName) : encoding::AnsiToWide(baseName) + L".log";
  std::wstring fullPath = logFolder + pathtext::kSeparator + logName;

  Root().AddAppender(std::make_unique<RollingFileAppender>(baseName, std::move(fullPath), kLogMaxFileSize));
  Root().SetPriority(kPriorityDebug);
}

std::optional<std::string> FormatNarrow(const char* format, va_list args) {
  va_list measure;
  va_copy(measure, args);
  const int needed = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (needed < 0) return std::nullopt;
  std::string text(static_cast<size_t>(needed) + 1, '\0');
  if (std::vsnprintf(text.data(), text.size(), format, args) != needed) return std::nullopt;
  text.resize(static_cast<size_t>(needed));
  return text;
}

std::string NarrowFileNamePart(const char* path) {
  std::string_view text(path ? path : "");
  const size_t sep = text.find_last_of("\\/");
  return std::string(sep == std::string_view::npos ? text : text.substr(sep + 1));
}

void WriteNarrow(const char* function, const char* sourceFile, int line, int level, bool detailed,
                 const std::string& message) {
  if (!detailed) {
    WriteLogLine(level, message.c_str());
    return;
  }
  const std::string file = NarrowFileNamePart(sourceFile);
  const char* name = function ? function : "";
  const std::string text = "[" + file + ":" + std::to_string(line) + "][" + name + "] " + message;
  WriteLogLine(level, text.c_str());
}

std::wstring WideDetailedLine(const wchar_t* function, const wchar_t* sourceFile, int line,
                              const std::wstring& message) {
  std::wstring text = L"[";
  text += pathtext::FileNamePart(sourceFile ? sourceFile : L"");
  text += L':';
  text += std::to_wstring(line);
  text += L"][";
  text += function ? function : L"";
  text += L"] ";
  text += message;
  return text;
}

}  // namespace

void InitLogger(const wchar_t* fileName, const wchar_t* folder) {
  try {
    std::lock_guard<std::mutex> lock(SetupLock());
    InitLoggerLocked(fileName, folder);
  } catch (...) {
    // The log never fails its caller; without a set-up every record is dropped.
  }
}

void WriteLogLine(int level, const char* text) {
  try {
    {
      std::lock_guard<std::mutex> lock(SetupLock());
      if (!Root().HasAppender(ModuleBaseName())) InitLoggerLocked(nullptr, nullptr);
    }
    if (!text || !*text) return;
    if (level < kLog_Debug || level > kLog_Error) return;
    Root().Log(kLevelPriority[level], text);
  } catch (...) {
  }
}

void LogPrint(const char* function, const char* sourceFile, int line, int level, const char* format, ...) {
  if (!format || !*format) return;
  try {
    va_list args;
    va_start(args, format);
    std::optional<std::string> message;
    try {
      message = FormatNarrow(format, args);
    } catch (...) {
    }
    va_end(args);
    if (message) {
      WriteNarrow(function, sourceFile, line, level, false, *message);
    } else {
      WriteNarrow(function, sourceFile, line, level, true, kLogFatalMarker);
    }
  } catch (...) {
  }
}

void LogPrintW(const wchar_t* function, const wchar_t* sourceFile, int line, int level, const wchar_t* format,
               ...) {
  if (!format || !*format) return;
  try {
    va_list args;
    va_start(args, format);
    std::optional<std::wstring> message;
    try {
      message = logplatform::FormatWide(format, args);
    } catch (...) {
    }
    va_end(args);
    std::string narrow;
    if (message && encoding::Encode(encoding::CodePage::kOem, *message, narrow)) {
      WriteLogLine(level, narrow.c_str());
      return;
    }
    const std::wstring marker = WideDetailedLine(function, sourceFile, line, encoding::AnsiToWide(kLogFatalMarker));
    WriteLogLine(level, encoding::WideToOem(marker).c_str());
  } catch (...) {
  }
}
