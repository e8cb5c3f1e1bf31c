#include "Window/FlowWorkers.h"

#include <chrono>
#include <thread>

#include "Window/flow/DialogRules.h"
#include "Window/flow/DownloadAddress.h"
#include "Window/flow/DownloadRunEnd.h"
#include "Window/flow/InstallerWorker.h"
#include "common/Encoding.h"
#include "common/FileOps.h"
#include "common/GA.h"
#include "download/HttpDownload.h"
#include "installer/SystemInfo.h"
#include "installer/win32/InstallerSignature.h"
#include "installer/win32/ProcessControl.h"
#include "log/Logger.h"
#include "tool/win32/HttpRequests.h"

namespace {

constexpr char kSourceFile[] = "Window\\MainFrameWnd";
constexpr char kPrepare[] = "CMainFrameWnd::PrepareDownload";
constexpr int kMegabyte = 1024 * 1024;
// Free room the installation needs, as a multiple of the installer's size.
constexpr int64_t kRoomFactor = 3;
// The finished page shows this long before the installed page opens.
constexpr auto kFinishPause = std::chrono::milliseconds(1000);

#define PREPARE_LOG(...) LogPrint(kPrepare, kSourceFile, __LINE__, kLog_Info, __VA_ARGS__)

// "host/path" of an address without its scheme, split at the first '/'.
void SplitHostAndPath(const std::wstring& address, std::wstring& host, std::wstring& path) {
  std::wstring rest = address;
  for (const wchar_t* scheme : {L"http://", L"https://"}) {
    if (rest.compare(0, wcslen(scheme), scheme) == 0) {
      rest.erase(0, wcslen(scheme));
      break;
    }
  }
  const std::size_t slash = rest.find(L'/');
  host = rest.substr(0, slash);
  path = slash == std::wstring::npos ? L"" : rest.substr(slash + 1);
}

std::wstring ResolveDownloadAddress(const PreparationJob& job) {
  if (job.alternativeAddress.empty()) return job.configuredAddress;
  std::wstring host, path;
  SplitHostAndPath(job.alternativeAddress, host, path);
  // The request's in-out address starts as the configured one: an answer that names no
  // target leaves it, and the download goes where the configuration says.
  std::wstring answer = job.configuredAddress;
  const bool answered = GetRedirectUrl(host, path, answer);
  const DownloadAddressChoice choice =
      ChooseDownloadAddress(job.configuredAddress, job.alternativeAddress, answered, answer);
  if (choice.redirected) PREPARE_LOG("get redirect Url:%s", encoding::WideToAnsi(choice.address).c_str());
  return choice.address;
}

void Prepare(int run, const std::shared_ptr<PreparationJob>& job, const std::shared_ptr<FlowInbox>& inbox) {
  job->downloadAddress = ResolveDownloadAddress(*job);

  PREPARE_LOG("get file size begin");
  const uint32_t sizeBytes = GetHttpFileSize(job->downloadAddress);
  job->sizeMB = static_cast<int32_t>(sizeBytes / kMegabyte);
  PREPARE_LOG("get file size end");

  PREPARE_LOG("get disk size begin");
  int32_t freeMB = 0;
  const bool measured = GetDiskFreeMB(DriveOfPath(job->installPath), freeMB);
  PREPARE_LOG("get disk size end");
  if (!measured) {
    PREPARE_LOG("OnClickInstall\xA3\xBAGetFreeSize Failed");
    inbox->Post(setupflow::PreparationFailed{run});
    return;
  }
  if (freeMB < kRoomFactor * job->sizeMB) {
    PREPARE_LOG("OnClickInstall\xA3\xBA" "filesize:%dMB--FreeSize:%dMB", job->sizeMB, freeMB);
    inbox->Post(setupflow::PreparationNeedsRoom{run});
    // The dialog runs on the UI thread; closing it ends the process, so only a folder comes.
    std::unique_lock<std::mutex> lock(job->mutex);
    job->answered.wait(lock, [&] { return job->pathWithRoom.has_value(); });
    job->installPath = *job->pathWithRoom;
  }
  JudgeDeleteHistoryFile(job->downloadAddress, static_cast<int>(sizeBytes), job->installerFile);
  inbox->Post(setupflow::PreparationReady{run});
}

// What a download run's callback needs; owned by the run's thread.
struct DownloadRun {
  int run;
  std::wstring file;
  std::span<const std::string_view> pins;
  std::shared_ptr<FlowInbox> inbox;
};

void OnDownloadCallback(int kind, int value, int, void* user) {
  auto& run = *static_cast<DownloadRun*>(user);
  if (kind == kDownload_Progress) {
    run.inbox->Post(setupflow::DownloadProgress{run.run, value});
  } else if (kind == kDownload_Ended) {
    const DownloadRunEndSteps steps{
        [&] { return VerifyInstaller(run.file, run.pins).passed(); },
        [&] { return !fileops::RemoveFile(run.file); },
    };
    run.inbox->Post(EndDownloadRun(run.run, value, steps));
  }
}

}  // namespace

void FlowInbox::Post(const setupflow::Event& event) {
  const bool success = std::holds_alternative<setupflow::DownloadEnded>(event) &&
                       std::get<setupflow::DownloadEnded>(event).result == kDownloadResult_Complete;
  std::lock_guard<std::mutex> lock(mutex_);
  if (!PostMessageW(window_, success ? kMsgDownloadSuccess : kMsgFlowEvent, 0, 0)) {
    LOG_INFO("flow event %d dropped: the window is gone (%lu)", static_cast<int>(event.index()), GetLastError());
    return;
  }
  events_.push_back(event);
}

std::optional<setupflow::Event> FlowInbox::Take() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (events_.empty()) return std::nullopt;
  setupflow::Event event = events_.front();
  events_.pop_front();
  return event;
}

void StartPreparation(int run, std::shared_ptr<PreparationJob> job, std::shared_ptr<FlowInbox> inbox) {
  std::thread([run, job = std::move(job), inbox = std::move(inbox)] { Prepare(run, job, inbox); }).detach();
}

void ResumePreparation(PreparationJob& job, const std::wstring& path) {
  {
    std::lock_guard<std::mutex> lock(job.mutex);
    job.pathWithRoom = path;
  }
  job.answered.notify_one();
}

void StartDownloadRun(int run, const std::wstring& address, const std::wstring& file,
                      std::span<const std::string_view> pins, std::shared_ptr<FlowInbox> inbox) {
  if (address.empty() || file.empty()) return;
  std::thread([run, address, file, pins, inbox = std::move(inbox)] {
    DownloadRun context{run, file, pins, inbox};
    DownloadParams params;
    params.connections = 16;
    params.user = &context;
    params.url = address;
    params.path = file;
    StartDownload(params, &OnDownloadCallback);
  }).detach();
}

void StartInstallerRun(int run, InstallerJob job, std::shared_ptr<const std::atomic<bool>> quitting,
                       std::shared_ptr<FlowInbox> inbox) {
  std::thread([run, job = std::move(job), quitting = std::move(quitting), inbox = std::move(inbox)] {
    const InstallerWorkerSteps steps{
        [&] { return RunSilentInstaller(job.installerFile, job.installPath, job.progressFile); },
        [] { CGA::GetInstance().SendInstalledSucceed(); },
        [&](setupflow::Event event) { inbox->Post(event); },
        [] { std::this_thread::sleep_for(kFinishPause); },
    };
    RunInstallerWorker(run, *quitting, steps);
  }).detach();
}
