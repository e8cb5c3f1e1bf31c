#include "Window/flow/InstallerWorker.h"

#include "log/Logger.h"

namespace {

constexpr char kFunction[] = "CMainFrameWnd::StartInstallExe";
constexpr char kSourceFile[] = "Window\\MainFrameWnd";

}  // namespace

void RunInstallerWorker(int run, const std::atomic<bool>& quitting, const InstallerWorkerSteps& steps) {
  const bool started = steps.runSilentInstaller();
  if (quitting) return;
  if (!started) {
    LogPrint(kFunction, kSourceFile, __LINE__, kLog_Info, "StartInstallExe\xA3\xBARunSilentInstaller Failed");
    steps.post(setupflow::InstallerCouldNotStart{run});
    return;
  }
  steps.reportInstalled();
  if (quitting) return;
  LogPrint(kFunction, kSourceFile, __LINE__, kLog_Info, "StartInstallExe\xA3\xBASilentInstallation");
  steps.post(setupflow::InstallerEnded{run});
  steps.pause();
  if (quitting) return;
  steps.post(setupflow::FinishPauseOver{run});
}
