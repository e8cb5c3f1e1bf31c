// Process entry: one-time preparation, the single-instance rule, then the main window's loop.
#include <windows.h>

#include "Window/InstanceName.h"
#include "Window/MainFrameWnd.h"
#include "Window/SetupWindow.h"
#include "DeploymentSettings.h"
#include "common/ExecutablePath.h"
#include "common/GAPayload.h"
#include "log/Logger.h"

namespace {

// A second instance brings the first one's window back and to the front.
void ActivateRunningInstance(const std::wstring& title) {
  HWND existing = FindWindowW(nullptr, title.c_str());
  if (!existing) return;
  ShowWindow(existing, SW_RESTORE);
  SetForegroundWindow(existing);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  CMainFrameWnd frame;
  frame.InitEnvironment();
  LOG_INFOW(L"deployment:%s", kDeploymentName);
  // The setup window's initialisation reads the domain code once the skinned window exists;
  // until then start-up reads it right after the language.
  frame.LoadDomainFile();

  const std::wstring title = frame.GetWindowTitle();
  const std::wstring instanceName = GetInstanceName(GetExecutablePath());
  // Never closed: the system releases it when the process ends.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, instanceName.c_str());
  if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) {
    ActivateRunningInstance(title);
    return -1;
  }

  frame.SetAnalyticsEndpoint(BuildGAReportUrl(kAnalyticsHost, kAnalyticsMeasurementId, kAnalyticsApiSecret));
  if (!frame.Create(nullptr, title.c_str(), kSetupWindowStyle | WS_VISIBLE, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT)) {
    return 0;
  }
  frame.CenterWindow();
  frame.ShowModal();
  return 0;
}
