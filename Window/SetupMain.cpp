// Process entry: one-time preparation, the single-instance rule, then the main window's loop.
#include <windows.h>

#include <objbase.h>

#include "Window/InstanceName.h"
#include "Window/MainFrameWnd.h"
#include "Window/SetupWindow.h"
#include "DeploymentSettings.h"
#include "common/ExecutablePath.h"
#include "common/GAPayload.h"
#include "log/Logger.h"
#include "skin_ui/WindowManagerUI.h"

namespace {

// A second instance brings the first one's window back and to the front.
void ActivateRunningInstance(const std::wstring& title) {
  HWND existing = FindWindowW(nullptr, title.c_str());
  if (!existing) return;
  ShowWindow(existing, SW_RESTORE);
  SetForegroundWindow(existing);
}

// The folder of the executable, ending in the separator.
std::wstring ExecutableFolder() {
  const std::wstring path = GetExecutablePath();
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  CMainFrameWnd frame;
  frame.InitEnvironment();
  LOG_INFOW(L"deployment:%s", kDeploymentName);

  const std::wstring title = frame.GetWindowTitle();
  const std::wstring instanceName = GetInstanceName(GetExecutablePath());
  // Never closed: the system releases it when the process ends.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, instanceName.c_str());
  if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) {
    ActivateRunningInstance(title);
    return -1;
  }

  // The UI thread's apartment, before any window: the folder chooser's new style needs it.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(com)) LOG_INFO("the UI thread has no apartment (0x%08lX)", static_cast<unsigned long>(com));
  SkinUI::CWindowManagerUI::SetInstance(instance);
  SkinUI::CWindowManagerUI::SetResourceFolder(ExecutableFolder().c_str());
  frame.SetAnalyticsEndpoint(BuildGAReportUrl(kAnalyticsHost, kAnalyticsMeasurementId, kAnalyticsApiSecret));
  frame.SetInstallerSignerPins(kInstallerSignerKeyPins);
  frame.SetProductApiHost(kProductApiHost);
  if (!frame.Create(nullptr, title.c_str(), kSetupWindowStyle | WS_VISIBLE, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT)) {
    LOG_INFO("the setup window could not be created (%lu)", GetLastError());
    return 0;
  }
  frame.CenterWindow();
  frame.ShowModal();
  return 0;
}
