#include "Window/flow/DownloadRunEnd.h"

#include "download/HttpDownload.h"
#include "log/Logger.h"

setupflow::DownloadEnded EndDownloadRun(int run, int result, const DownloadRunEndSteps& steps) {
  if (result != kDownloadResult_Complete || steps.verifyInstaller()) return {run, result};
  // A refused file that stayed behind could still be run by hand from the work folder.
  if (!steps.deleteInstaller()) LOG_INFO("the refused installer could not be deleted");
  LOG_INFO("download run %d: the installer was refused, the download counts as failed", run);
  return {run, kDownloadResult_Failed, true};
}
