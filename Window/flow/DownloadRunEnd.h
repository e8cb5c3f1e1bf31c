#pragma once
// The download thread's last step. A complete download becomes the installer only once its
// signature check passed: the file then runs with administrator rights, and its address may
// have come from a redirect answered over plain HTTP. The check runs here, while the window
// still shows the download, so a refused file never reaches the installing state.

#include <functional>

#include "Window/flow/InstallFlow.h"

struct DownloadRunEndSteps {
  // Checks the downloaded installer; logs the signer, or the reason and code of a refusal.
  std::function<bool()> verifyInstaller;
  // Deletes the downloaded installer; false when it could not be deleted.
  std::function<bool()> deleteInstaller;
};

// What the run posts for the wrapper's `result`: a refused installer is deleted and the run
// ends as failed (-4), which asks Abort, Retry or Ignore.
setupflow::DownloadEnded EndDownloadRun(int run, int result, const DownloadRunEndSteps& steps);
