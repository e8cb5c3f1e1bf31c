#pragma once
// How the setup's one progress figure is shown: the download fills the bar up to the download
// ratio (90), the installer's progress file the rest; the bar of a right-to-left window fills
// from the other side while its label keeps the figure.

#include <string>

// The bar's percent for the download's own 0-100 percent: percent * ratio / 100.
int DownloadBarPercent(int downloadPercent, int downloadRatio);

// The bar's percent for the installer's 0-100 percent: ratio + (100 - ratio) * percent / 100.
int InstallerBarPercent(int installerPercent, int downloadRatio);

struct ProgressView {
  int barValue = 0;    // the progress control's value, mirrored for right-to-left
  std::wstring label;  // "45 %"
  int taskbarValue = 0;  // of 100; the taskbar button is never mirrored
};
ProgressView ViewOfProgress(int percent, bool rightToLeft);
