#pragma once
// The installer thread: it runs the silent installer and posts what happened, and once the
// setup is quitting it reports and posts nothing more (the window may be gone by then).

#include <atomic>
#include <functional>

#include "Window/flow/InstallFlow.h"

struct InstallerWorkerSteps {
  // Runs the installer and waits for it; false when it could not be started.
  std::function<bool()> runSilentInstaller;
  // Reports "Installed_Succeed"; returns once the report is sent, so the product's start and
  // the setup's end cannot cut it off.
  std::function<void()> reportInstalled;
  // Posts an event to the UI thread.
  std::function<void(setupflow::Event)> post;
  // The second the finished page is shown before the installed page opens.
  std::function<void()> pause;
};

void RunInstallerWorker(int run, const std::atomic<bool>& quitting, const InstallerWorkerSteps& steps);
