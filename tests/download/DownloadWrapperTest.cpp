// The download service and the blocking wrapper: keys, progress figures, the partial-download
// files judged before a download, and whole downloads from the test world's nginx over TLS.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "common/Encoding.h"
#include "download/HttpDownload.h"
#include "download/http/state_file.h"
#include "log/Logger.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestWorld.h"

namespace {

using httpdl::DownloadService;
using httpdl::TaskStatus;
using testsupport::PathExists;
using testsupport::ReadFileBytes;
using testsupport::TempFolder;
using testsupport::WriteFileBytes;

TEST(DownloadKeys, UrlKeyIsTheCrc32InLowerCaseHexWithoutLeadingZeros) {
  const struct {
    const char* url;
    const char* key;
  } cases[] = {
      {"123456789", "cbf43926"},  // the CRC-32 check value
      {"", "0"},
      {"a", "e8b7be43"},
      {"https://dl.nexvale.example/vandrel.exe", nullptr},
  };
  for (const auto& c : cases) {
    const std::string key = httpdl::UrlKey(c.url);
    if (c.key) {
      EXPECT_EQ(key, c.key) << c.url;
    }
    EXPECT_TRUE(key.size() <= 8 && key.find_first_not_of("0123456789abcdef") == std::string::npos) << key;
    EXPECT_TRUE(key == "0" || key[0] != '0') << key;
  }
}

TEST(DownloadKeys, ProgressIsTruncatedAndZeroWhileTheSizeIsUnknown) {
  const struct {
    std::int64_t total;
    float progress;
    int percent;
  } cases[] = {
      {1000, 0.5f, 50},   {1000, 0.999f, 99}, {1000, 1.0f, 100}, {1000, 0.0f, 0},
      {-1, -5.0f, 0},     {0, 0.0f / 0.0f, 0}, {0, 1.0f / 0.0f, 0},
  };
  for (const auto& c : cases) {
    TaskStatus status;
    status.total_bytes = c.total;
    status.progress = c.progress;
    EXPECT_EQ(ProgressPercent(status), c.percent) << c.total << " " << c.progress;
  }
}

std::string StateFile(const std::string& url, const std::string& requestedUrl, std::int64_t size) {
  httpdl::download_state state;
  state.file_size = size;
  state.final_url = url;
  state.requested_url = requestedUrl;
  state.piece_size = 16384;
  state.piece_num = (size + 16383) / 16384;
  state.bitfield.assign(static_cast<std::size_t>((state.piece_num + 7) / 8), '\0');
  return httpdl::encode_download_state(state);
}

TEST(PartialDownloadFiles, KeptOnlyWhenTheyBelongToTheSameAddressAndSize) {
  const std::wstring url = L"https://dl.nexvale.example/setup.exe";
  const struct {
    const char* name;
    bool hasStateFile;
    std::string stateFile;
    int totalBytes;
    bool removed;
  } cases[] = {
      {"no state file", false, "", 5000, false},
      {"same address and size", true, StateFile("https://dl.nexvale.example/setup.exe", "", 5000), 5000, false},
      {"other size", true, StateFile("https://dl.nexvale.example/setup.exe", "", 5000), 5001, true},
      {"other address", true, StateFile("https://dl.nexvale.example/old.exe", "", 5000), 5000, true},
      {"address differing in case", true, StateFile("https://dl.nexvale.example/SETUP.exe", "", 5000), 5000, true},
      // Redirected: the server's final address differs, the requested one matches.
      {"redirected download", true,
       StateFile("https://mirror.nexvale.example/x/setup.exe", "https://dl.nexvale.example/setup.exe", 5000), 5000,
       false},
      {"zero-length state file", true, "", 5000, true},
      {"undecodable state file", true, "d9:file_sizei5000e", 5000, false},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    const std::wstring target = folder.path() + L"nexvale-download.exe";
    WriteFileBytes(target + L".tmp", "partial body");
    if (c.hasStateFile) WriteFileBytes(target + L".cfg", c.stateFile);
    EXPECT_EQ(JudgeDeleteHistoryFile(url, c.totalBytes, target), c.removed) << c.name;
    EXPECT_EQ(PathExists(target + L".tmp"), !c.removed) << c.name;
    EXPECT_EQ(PathExists(target + L".cfg"), c.hasStateFile && !c.removed) << c.name;
  }
}

TEST(PartialDownloadFiles, HistoryReportsTheRequestedAddressWhenRecorded) {
  TempFolder folder;
  const std::wstring state = folder.path() + L"a.cfg";
  std::int64_t size = -7;
  std::wstring url = L"untouched";
  WriteFileBytes(state, "");
  EXPECT_TRUE(ReadHistoryInfo(size, url, state));
  EXPECT_EQ(size, -7);
  EXPECT_EQ(url, L"untouched");

  WriteFileBytes(state, StateFile("http://mirror.example:8080/a?b=1", "", 70000));
  ASSERT_TRUE(ReadHistoryInfo(size, url, state));
  EXPECT_EQ(size, 70000);
  EXPECT_EQ(url, L"http://mirror.example:8080/a?b=1");

  WriteFileBytes(state, StateFile("http://mirror.example/a", "https://dl.nexvale.example/a", 70000));
  ASSERT_TRUE(ReadHistoryInfo(size, url, state));
  EXPECT_EQ(url, L"https://dl.nexvale.example/a");

  EXPECT_FALSE(ReadHistoryInfo(size, url, folder.path() + L"missing.cfg"));
  WriteFileBytes(state, StateFile("not a url", "", 70000));
  EXPECT_FALSE(ReadHistoryInfo(size, url, state));
  // Longer than any record: never read, so its length is never narrowed.
  WriteFileBytes(state, StateFile("http://mirror.example/a", "", 70000));
  std::filesystem::resize_file(encoding::ToPath(state), static_cast<std::uintmax_t>(httpdl::kMaxStateFileBytes) + 1);
  EXPECT_FALSE(ReadHistoryInfo(size, url, state));
}

TEST(PartialDownloadFiles, RemovalReportsWhatCouldNotBeDeleted) {
  TempFolder folder;
  const std::wstring target = folder.path() + L"x.exe";
  EXPECT_TRUE(RemoveTemporaryFileWrap(target));  // nothing there
  WriteFileBytes(target + L".cfg", "d");
  EXPECT_TRUE(RemoveTemporaryFileWrap(target));
  EXPECT_FALSE(PathExists(target + L".cfg"));
  // A folder in the way of the temporary file cannot be deleted as a file.
  std::filesystem::create_directories(encoding::ToPath(target + L".tmp") / "inside");
  WriteFileBytes(target + L".cfg", "d");
  EXPECT_FALSE(RemoveTemporaryFileWrap(target));
  EXPECT_TRUE(PathExists(target + L".cfg"));
}

// Whole downloads through the wrapper, from nginx over TLS with certificate checks.
class WrapperDownload : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static TempFolder logFolder(L"wrapper-log");
    log_folder_ = logFolder.path();
    InitLogger(L"wrapper.log", log_folder_.c_str());
#ifndef _WIN32
    // Windows trusts the test root through the machine's certificate store, as a user's
    // machine trusts a real one; here it is handed over as a file.
    DownloadService::SetTrustedRootsFile(testsupport::WorldPath("NEXVALE_TEST_CA"));
#endif
  }

  void SetUp() override {
    std::string why;
    ASSERT_TRUE(testsupport::WorldIsUp(why)) << why;
    target_ = folder_.path() + L"nexvale-download.exe";
  }

  // A file of its own per test, so each test gets a task of its own.
  std::string Serve(const std::string& folder, std::size_t size) {
    static std::atomic<int> counter{0};
    const std::string name = folder + "/wrapper-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                             "-" + std::to_string(counter++) + "-" + std::to_string(std::random_device{}()) + ".bin";
    content_ = testsupport::PatternBytes(size);
    testsupport::ServeFile(name, content_);
    return name;
  }

  static std::wstring Url(const std::string& name) { return encoding::AnsiToWide("https://127.0.0.1/" + name); }

  struct Event {
    int kind, value, extra;
  };

  static void Record(int kind, int value, int extra, void* user) {
    auto* self = static_cast<WrapperDownload*>(user);
    std::lock_guard lock(self->events_mutex_);
    self->events_.push_back({kind, value, extra});
  }

  int Download(const std::wstring& url, int timeoutSeconds = 20, int connections = 16) {
    params_.connections = connections;
    params_.user = this;
    params_.url = url;
    params_.path = target_;
    params_.timeout_seconds = timeoutSeconds;
    StartDownload(params_, Record);
    std::lock_guard lock(events_mutex_);
    return events_.empty() ? 1 : events_.back().value;
  }

  std::vector<Event> Events() {
    std::lock_guard lock(events_mutex_);
    return events_;
  }

  static std::string Log() { return ReadFileBytes(log_folder_ + L"wrapper.log"); }

  static inline std::wstring log_folder_;
  TempFolder folder_;
  std::wstring target_;
  std::string content_;
  DownloadParams params_;
  std::mutex events_mutex_;
  std::vector<Event> events_;
};

TEST_F(WrapperDownload, CompleteDownloadEndsAtTheTargetWithItsCompanionsRemoved) {
  const std::string name = Serve("dl", 3 * 1024 * 1024 + 17);
  WriteFileBytes(target_, "an installer of an earlier run, replaced");
  EXPECT_EQ(StartDownload(DownloadParams{16, this, Url(name), target_}, Record), 1);
  EXPECT_EQ(ReadFileBytes(target_), content_);
  EXPECT_FALSE(PathExists(target_ + L".tmp"));
  EXPECT_FALSE(PathExists(target_ + L".cfg"));

  const auto events = Events();
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events.front().kind, kDownload_Started);
  EXPECT_EQ(events.back().kind, kDownload_Ended);
  EXPECT_EQ(events.back().value, 0);
  for (std::size_t i = 1; i + 1 < events.size(); ++i) {
    EXPECT_EQ(events[i].kind, kDownload_Progress);
    EXPECT_TRUE(events[i].value >= 0 && events[i].value <= 100) << events[i].value;
  }
  const std::string log = Log();
  EXPECT_NE(log.find("Download...."), std::string::npos);
  EXPECT_NE(log.find("HttpDownload,ret = 0 (time = " + std::to_string(events.back().extra) + " \xC3\xEB)"),
            std::string::npos);
}

TEST_F(WrapperDownload, StateFileShowingEveryPieceFinishesWithoutTransfer) {
  const std::string name = Serve("dl", 40000);
  httpdl::download_state state;
  state.file_size = 40000;
  state.final_url = "https://127.0.0.1/" + name;
  state.piece_size = 16384;
  state.piece_num = 3;
  state.bitfield = std::string(1, '\xE0');
  WriteFileBytes(target_ + L".cfg", httpdl::encode_download_state(state));
  // The body on disk differs from the server's: nothing may be fetched again.
  const std::string onDisk(40000, 'k');
  WriteFileBytes(target_ + L".tmp", onDisk);
  EXPECT_EQ(Download(Url(name)), 0);
  EXPECT_EQ(ReadFileBytes(target_), onDisk);
  EXPECT_FALSE(PathExists(target_ + L".cfg"));
  for (const Event& event : Events()) EXPECT_NE(event.kind, kDownload_Progress);
}

TEST_F(WrapperDownload, CancelledTransferReturnsMinusFiveAndResumesLater) {
  // Two throttled connections: about 1 MiB/s, so the transfer still runs at the first poll.
  const std::string name = Serve("slow", 6 * 1024 * 1024);
  std::thread canceller([this] {
    for (int i = 0; i < 100 && Events().size() < 2; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    CancelDownload();
  });
  EXPECT_EQ(Download(Url(name), 20, 2), kDownloadResult_Cancelled);
  canceller.join();
  EXPECT_NE(Log().find("HttpDownload httpdl user maybe cancel."), std::string::npos);
  EXPECT_FALSE(PathExists(target_));
  EXPECT_TRUE(PathExists(target_ + L".tmp"));
  EXPECT_TRUE(PathExists(target_ + L".cfg"));

  // The same address again: the same task resumes from its state file.
  {
    std::lock_guard lock(events_mutex_);
    events_.clear();
  }
  EXPECT_EQ(Download(Url(name), 20, 2), 0);
  EXPECT_TRUE(ReadFileBytes(target_) == content_);
}

// Starts the task of `name` directly and waits until its transfer runs with some bytes in.
httpdl::TaskHandle StartTransfer(const std::string& url, const std::wstring& target) {
  const auto task = DownloadService::AddTask(url, target, 2, 20);
  EXPECT_TRUE(DownloadService::StartTask(task));
  TaskStatus status;
  for (int i = 0; i < 200; ++i) {
    if (DownloadService::QueryTask(task, status) && status.state == httpdl::kTask_Downloading &&
        status.downloaded_bytes > 0) {
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(status.state, httpdl::kTask_Downloading);
  return task;
}

// A new run asked for right after a stop, while the stopped run is still ending, waits for that
// run to end and starts again from its state file, instead of reporting the old run's stop.
TEST_F(WrapperDownload, NewRunRightAfterAStopResumesInsteadOfReportingTheStop) {
  const std::string name = Serve("slow", 3 * 1024 * 1024);
  const auto task = StartTransfer("https://127.0.0.1/" + name, target_);
  ASSERT_TRUE(DownloadService::StopTask(task));
  EXPECT_EQ(Download(Url(name), 20, 2), kDownloadResult_Complete);
  EXPECT_TRUE(ReadFileBytes(target_) == content_);
  EXPECT_FALSE(PathExists(target_ + L".cfg"));
}

// A run still transferring that nobody asked to stop is followed to its end, not refused.
TEST_F(WrapperDownload, NewRunWhileTheTaskStillTransfersFollowsIt) {
  const std::string name = Serve("slow", 2 * 1024 * 1024);
  StartTransfer("https://127.0.0.1/" + name, target_);
  EXPECT_EQ(Download(Url(name), 20, 2), kDownloadResult_Complete);
  EXPECT_TRUE(ReadFileBytes(target_) == content_);
  EXPECT_NE(Log().find("HttpDownload a run of this address is still transferring: following it"), std::string::npos);
  int progressReports = 0;
  for (const Event& event : Events()) progressReports += event.kind == kDownload_Progress;
  EXPECT_GT(progressReports, 0);
}

TEST_F(WrapperDownload, CancelOfADownloadThatFinishesWithinTheGraceIsComplete) {
  const std::string name = Serve("dl", 20000);
  // The cancel comes once the task has put the file in place, while the wrapper still waits
  // between two polls.
  std::thread canceller([this] {
    for (int i = 0; i < 200 && !PathExists(target_); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    CancelDownload();
  });
  EXPECT_EQ(Download(Url(name)), 0);
  canceller.join();
  EXPECT_EQ(ReadFileBytes(target_), content_);
  EXPECT_NE(Log().find("HttpDownload httpdl cancel but almost complete."), std::string::npos);
}

// Connections that end for good (the file disappears: 404 for every further range) leave the
// download incomplete without anyone having stopped it: that is a failure the user can retry,
// not a stop.
TEST_F(WrapperDownload, DownloadEndingIncompleteWithoutStopFails) {
  const std::string name = Serve("slow", 4 * 1024 * 1024);
  std::thread remover([this, name] {
    for (int i = 0; i < 100 && Events().size() < 2; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::filesystem::remove(std::filesystem::path(testsupport::WorldPath("NEXVALE_TEST_WWW")) / name);
  });
  EXPECT_EQ(Download(Url(name), 1, 2), kDownloadResult_Failed);
  remover.join();
  EXPECT_FALSE(PathExists(target_));
  TaskStatus status;
  ASSERT_TRUE(QueryDownloadOf(Url(name), status));
  EXPECT_EQ(status.failure.cause, "HTTP 404 for every range");
}

// Each way a download fails ends in the same result, and the log and the task's status say
// which way it was. A state file thrown away is logged too, though the download then completes.
TEST_F(WrapperDownload, EveryFailureEndsMinusFourAndTheLogNamesItsCause) {
  enum class Arrange { kNothing, kFolderAtTarget, kJunkStateFile, kFullVolume };
  struct Case {
    const char* what;
    std::string url;
    int timeoutSeconds;
    Arrange arrange;
    int result;
    std::string cause;  // how the cause begins
    int httpStatus;
  };
  const std::string token = std::to_string(std::random_device{}());
  std::vector<Case> cases = {
      {"self-signed certificate", "https://127.0.0.1:4443/" + Serve("dl", 1000), 20, Arrange::kNothing, kDownloadResult_Failed,
       "certificate refused: self-signed certificate (127.0.0.1:4443)", 0},
      {"unresolvable host", "https://nosuch-" + token + ".invalid/setup.exe", 20, Arrange::kNothing, kDownloadResult_Failed,
       "host not found: nosuch-" + token + ".invalid", 0},
      {"closed port", "http://127.0.0.1:9/setup-" + token + ".exe", 20, Arrange::kNothing, kDownloadResult_Failed,
       "connection refused: 127.0.0.1:9", 0},
      {"missing file", "https://127.0.0.1/dl/never-served-" + token + ".bin", 20, Arrange::kNothing, kDownloadResult_Failed,
       "HTTP 404 from the server (Not found)", 404},
      {"every range of the second half refused",
       testsupport::FaultServerUrl("/ranged/causes" + token + "/some404/600000"), 1, Arrange::kNothing, kDownloadResult_Failed,
       "HTTP 404 for every range", 404},
      {"target that is a non-empty folder", "https://127.0.0.1/" + Serve("dl", 30000), 20, Arrange::kFolderAtTarget,
       kDownloadResult_Failed, "could not move the download into place: ", 0},
      {"unreadable state file", "https://127.0.0.1/" + Serve("dl", 30000), 20, Arrange::kJunkStateFile, kDownloadResult_Complete,
       "", 0},
  };
#ifndef _WIN32
  cases.push_back({"full disk", "https://127.0.0.1/" + Serve("dl", 200000), 20, Arrange::kFullVolume,
                   kDownloadResult_Failed, "write failed: disk full", 0});
#endif
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.what);
    target_ = folder_.path() + std::to_wstring(i) + L"-nexvale-download.exe";
    if (c.arrange == Arrange::kFolderAtTarget) {
      std::filesystem::create_directories(encoding::ToPath(target_) / "occupied");
    } else if (c.arrange == Arrange::kJunkStateFile) {
      WriteFileBytes(target_ + L".cfg", "junk");
    } else if (c.arrange == Arrange::kFullVolume) {
      // Every write of the body fails as on a full volume. A resumable state keeps the body
      // from being truncated first, which a device refuses before any write.
      std::filesystem::create_symlink("/dev/full", encoding::ToPath(target_ + L".tmp"));
      WriteFileBytes(target_ + L".cfg", StateFile(c.url, "", 200000));
    }
    const std::wstring url = encoding::AnsiToWide(c.url);
    EXPECT_EQ(Download(url, c.timeoutSeconds), c.result);
    TaskStatus status;
    ASSERT_TRUE(QueryDownloadOf(url, status));
    if (c.result == kDownloadResult_Complete) {
      EXPECT_EQ(ReadFileBytes(target_), testsupport::PatternBytes(30000));
      EXPECT_NE(Log().find("state file " + encoding::WideToAnsi(target_ + L".cfg") +
                           " thrown away: it is not a download record"),
                std::string::npos);
      EXPECT_EQ(status.failure.cause, "");
      continue;
    }
    if (c.arrange == Arrange::kFolderAtTarget) {
      EXPECT_TRUE(std::filesystem::is_directory(encoding::ToPath(target_)));
    } else {
      EXPECT_FALSE(PathExists(target_));
    }
    EXPECT_EQ(status.state, httpdl::kTask_Failed);
    EXPECT_EQ(status.failure.cause.substr(0, c.cause.size()), c.cause);
    EXPECT_EQ(status.failure.http_status, c.httpStatus);
    EXPECT_FALSE(status.failure.category.empty());
    EXPECT_FALSE(status.failure.message.empty());
    EXPECT_NE(Log().find("download of " + c.url + " failed: " + c.cause), std::string::npos);
  }
}

// Sizes no download can have, and ranges that end at or past their own total, fail the start
// with the cause named instead of ending as a finished file of the announced size.
TEST_F(WrapperDownload, AnnouncedTotalsBeyondTheBoundOrBelowTheRangeFail) {
  const struct {
    const char* total;
    std::string cause;  // empty: the size is accepted
  } cases[] = {
      {"1099511627776", ""},
      {"1099511627777", "the server announced a size beyond what any download can have"},
      {"4611686018427387904", "the server announced a size beyond what any download can have"},
      {"9223372036854775807", "the server announced a size beyond what any download can have"},
      {"18446744073709551615", "the server announced a size beyond what any download can have"},
      {"1", "malformed answer from the server: Invalid or unexpected Content-Range"},
      {"0", "malformed answer from the server: Invalid or unexpected Content-Range"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.total);
    const std::string range = std::string("bytes 0-1023/") + c.total;
    const std::string url = testsupport::ScriptedUrl("HTTP/1.1 206 Partial Content\r\nContent-Range: " + range +
                                                     "\r\nContent-Length: 1024\r\n\r\n" +
                                                     testsupport::PatternBytes(1024));
    const std::wstring target = folder_.path() + encoding::AnsiToWide(c.total) + L".exe";
    const auto task = DownloadService::AddTask(url, target, 16, 1);
    ASSERT_TRUE(DownloadService::StartTask(task));
    TaskStatus status;
    for (int i = 0; i < 200 && DownloadService::QueryTask(task, status) && status.state == httpdl::kTask_Pending; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!c.cause.empty()) {
      EXPECT_EQ(status.state, httpdl::kTask_Failed);
      EXPECT_EQ(status.failure.cause, c.cause + " (206, Content-Length 1024, Content-Range " + range + ")");
      EXPECT_EQ(status.failure.category, "HTTP");
      EXPECT_EQ(status.total_bytes, -1);
      EXPECT_FALSE(PathExists(target + L".tmp"));
      EXPECT_FALSE(PathExists(target + L".cfg"));
      EXPECT_NE(Log().find("download of " + url + " failed: " + c.cause), std::string::npos);
      continue;
    }
    // At the bound the download runs; its state file is a few KiB and resumable.
    ASSERT_EQ(status.state, httpdl::kTask_Downloading);
    EXPECT_EQ(status.total_bytes, httpdl::kMaxFileSize);
    EXPECT_TRUE(DownloadService::StopTask(task));
    for (int i = 0; i < 200 && DownloadService::QueryTask(task, status) && status.state != httpdl::kTask_Stopped; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(status.state, httpdl::kTask_Stopped);
    // The task's thread saves the state once more as it ends, a moment after the stop.
    httpdl::download_state state;
    bool saved = false;
    for (int i = 0; i < 100 && !saved; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      saved = PathExists(target + L".cfg") && !httpdl::decode_download_state(ReadFileBytes(target + L".cfg"), state);
    }
    ASSERT_TRUE(saved);
    EXPECT_TRUE(httpdl::is_consistent(state));
    EXPECT_EQ(state.file_size, httpdl::kMaxFileSize);
    EXPECT_EQ(state.piece_num, 65536);
  }
}

TEST_F(WrapperDownload, SameAddressTwiceIsOneTaskThatRunsOnce) {
  const std::string name = Serve("slow", 2 * 1024 * 1024);
  const std::string url = "https://127.0.0.1/" + name;
  const auto first = DownloadService::AddTask(url, target_, 4, 20);
  EXPECT_EQ(DownloadService::AddTask(url, folder_.path() + L"other.exe", 8, 5), first);
  EXPECT_NE(DownloadService::AddTask(url + "?", target_, 4, 20), first);
  ASSERT_TRUE(DownloadService::StartTask(first));
  EXPECT_FALSE(DownloadService::StartTask(first));
  TaskStatus status;
  for (int i = 0; i < 100; ++i) {
    ASSERT_TRUE(DownloadService::QueryTask(first, status));
    if (status.state == httpdl::kTask_Downloading) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_EQ(status.state, httpdl::kTask_Downloading);
  EXPECT_EQ(status.total_bytes, 2 * 1024 * 1024);
  EXPECT_EQ(status.name, target_ + L".tmp");
  EXPECT_TRUE(DownloadService::StopTask(first));
  for (int i = 0; i < 100 && DownloadService::QueryTask(first, status) && status.state != httpdl::kTask_Stopped; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_EQ(status.state, httpdl::kTask_Stopped);
  // Ended tasks start again, once their thread is through, and resume.
  bool restarted = false;
  for (int i = 0; i < 100 && !(restarted = DownloadService::StartTask(first)); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_TRUE(restarted);
  for (int i = 0; i < 200 && DownloadService::QueryTask(first, status) && status.state != httpdl::kTask_Finished; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_EQ(status.state, httpdl::kTask_Finished);
  EXPECT_EQ(status.name, target_);
  EXPECT_EQ(ReadFileBytes(target_), content_);
}

}  // namespace
