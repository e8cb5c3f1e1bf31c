#include "Window/flow/ProgressDisplay.h"

namespace {

constexpr int kFull = 100;

}  // namespace

int DownloadBarPercent(int downloadPercent, int downloadRatio) { return downloadPercent * downloadRatio / kFull; }

int InstallerBarPercent(int installerPercent, int downloadRatio) {
  return downloadRatio + (kFull - downloadRatio) * installerPercent / kFull;
}

ProgressView ViewOfProgress(int percent, bool rightToLeft) {
  return {rightToLeft ? kFull - percent : percent, std::to_wstring(percent) + L" %", percent};
}
