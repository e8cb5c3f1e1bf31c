#include "download/fetch/FetchCommand.h"

#include <cstdio>

#include "common/Encoding.h"
#include "download/HttpDownload.h"

namespace {

constexpr char kUsage[] =
    "usage: nexvale_fetch [--connections N] [--timeout SECONDS] [--ca-file PEM] URL TARGET\n"
    "Downloads URL into TARGET (resuming TARGET.tmp / TARGET.cfg when present).\n"
    "Exit codes: 0 complete, 2 stopped, 4 failed (the cause follows \"cause:\"), 5 cancelled, 1 usage error.\n";

bool ParsePositive(const std::wstring& text, int& value) {
  if (text.empty() || text.size() > 6) return false;
  int parsed = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
    parsed = parsed * 10 + (c - L'0');
  }
  if (parsed <= 0) return false;
  value = parsed;
  return true;
}

void OnDownloadEvent(int kind, int value, int extra, void* user) {
  if (kind == kDownload_Progress) {
    std::printf("progress %d%%\n", value);
  } else if (kind == kDownload_Ended) {
    *static_cast<int*>(user) = value;
    std::printf("result %d after %d s\n", value, extra);
  }
  std::fflush(stdout);
}

int ExitCodeFor(int result) {
  switch (result) {
    case kDownloadResult_Complete: return 0;
    case kDownloadResult_Stopped: return 2;
    case kDownloadResult_Failed: return 4;
    case kDownloadResult_Cancelled: return 5;
    default: return 4;
  }
}

}  // namespace

int RunFetchCommand(const std::vector<std::wstring>& arguments) {
  DownloadParams params;
  std::vector<std::wstring> positional;
  bool usable = true;
  for (std::size_t i = 0; usable && i < arguments.size(); ++i) {
    const std::wstring& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (argument == L"--connections" && hasValue) {
      usable = ParsePositive(arguments[++i], params.connections);
    } else if (argument == L"--timeout" && hasValue) {
      usable = ParsePositive(arguments[++i], params.timeout_seconds);
    } else if (argument == L"--ca-file" && hasValue) {
      // OpenSSL opens file names given in UTF-8 on every platform.
      httpdl::DownloadService::SetTrustedRootsFile(encoding::WideToUtf8(arguments[++i]));
    } else if (argument.starts_with(L"--")) {
      usable = false;
    } else {
      positional.push_back(argument);
    }
  }
  if (!usable || positional.size() != 2 || positional[0].empty() || positional[1].empty()) {
    std::fputs(kUsage, stderr);
    return 1;
  }
  params.url = positional[0];
  params.path = positional[1];
  int result = kDownloadResult_Failed;
  params.user = &result;
  StartDownload(params, OnDownloadEvent);
  httpdl::TaskStatus status;
  if (result == kDownloadResult_Failed && QueryDownloadOf(params.url, status) && !status.failure.cause.empty()) {
    std::printf("cause: %s\n", status.failure.cause.c_str());
  }
  return ExitCodeFor(result);
}
