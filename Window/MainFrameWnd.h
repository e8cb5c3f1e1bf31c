#pragma once
// The main setup window: the skinned first page (path, licence, Install) and the progress page.
// It applies what the install flow (flow/InstallFlow.h) decides: user input and the workers'
// posted events go into the flow, and the flow's effects come back here to be carried out on
// the UI thread, which alone touches controls, the taskbar, dialogs and message boxes.

#include <windows.h>

#include <atomic>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "Window/BannerRotation.h"
#include "Window/FlowWorkers.h"
#include "Window/flow/InstallFlow.h"
#include "common/LanguageManager.h"
#include "installer/win32/TaskbarProgress.h"
#include "skin_ui/win32/WindowImplBase.h"

namespace SkinUI {
class CEditUI;
class CProgressUI;
class CCheckBoxUI;
}  // namespace SkinUI

class CMainFrameWnd : public SkinUI::WindowImplBase {
  UI_DECLARE_MESSAGE_MAP()

 public:
  CMainFrameWnd();
  ~CMainFrameWnd() override;

  // One-time preparation of the work folder, the log, the configuration archive and the
  // language; later calls return at once.
  void InitEnvironment();
  // Extracts the embedded configuration archive into the work folder's "language" folder.
  void LoadResZipFile();
  // Reads the embedded domain code into the language manager.
  void LoadDomainFile();
  // The analytics collection address of this build's deployment; set before Create.
  void SetAnalyticsEndpoint(std::wstring reportUrl) { analyticsEndpoint_ = std::move(reportUrl); }
  // The host of the product's web interface (the banner feed); set before Create.
  void SetProductApiHost(std::wstring host) { productApiHost_ = std::move(host); }
  // The keys the downloaded installer must be signed with; set before Create.
  void SetInstallerSignerPins(std::span<const std::string_view> pins) { signerPins_ = pins; }
  // Hands the analytics sender its collection address and the product's analytics title.
  void InitAnalytics();
  // The title of the window and of every message box, and what a second instance looks for.
  std::wstring GetWindowTitle() const;

  const wchar_t* GetNativeClassName() const override { return L"SetupMainFrame"; }
  // The root skin file: the right-to-left one for languages written that way.
  const wchar_t* GetSkinFileName() const override;
  SkinUI::SkinSourceKind GetSkinSourceKind() const override { return SkinUI::SkinSourceKind::kArchiveResource; }
  uint32_t GetSkinResourceId() const override;

  const std::wstring& workFolder() const { return workFolder_; }
  const LanguageManager& languageManager() const { return languageManager_; }

 protected:
  void OnSkinReady() override;
  void Notify(SkinUI::UINotify& msg) override;
  void OnClick(SkinUI::UINotify& msg) override;
  intptr_t OnClose(uintptr_t wParam, intptr_t lParam, bool& handled) override;
  intptr_t OnDestroy(uintptr_t wParam, intptr_t lParam, bool& handled) override;
  intptr_t HandleAppMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, bool& handled) override;

 private:
  void InitData();
  void SetUpPages();
  void SetWindowIcons();
  void LogSystemFacts();

  // Notifications.
  void OnSelectChanged(SkinUI::UINotify& msg);
  void OnTextChanged(SkinUI::UINotify& msg);
  void ToggleCustomisePanel();
  void ChooseInstallFolder();
  // Shows `text` in the red line and opens the customise panel; an empty text hides the line.
  void ShowPathTip(const std::wstring& text);
  void OnClickInstall();

  // The flow: events in, effects carried out.
  void Feed(const setupflow::Event& event);
  void Apply(const setupflow::Effect& effect);
  void Ask(setupflow::Question question);
  // A message box with the setup's title, right to left where the language is.
  int ShowMessage(const std::wstring& text, UINT flags);
  void UpdateWindowSate(int state);
  void SetProgress(int percent);
  void StartInstallExe(int run);
  void InstallExeFinish();
  void StartProduct();
  void CleanupTempFiles();
  void PollInstallProgress();
  std::wstring InstallerFile() const { return workFolder_ + L"nexvale-download.exe"; }

  std::wstring workFolder_;
  std::wstring installPath_;
  std::wstring downloadAddress_;
  std::wstring progressFile_;
  int windowState_ = setupflow::kWindow_None;
  SkinUI::CEditUI* pathField_ = nullptr;
  SkinUI::CControlUI* errorLine_ = nullptr;
  SkinUI::CCheckBoxUI* customiseBox_ = nullptr;
  SkinUI::CControlUI* percentLabel_ = nullptr;
  SkinUI::CProgressUI* progressBar_ = nullptr;
  std::unique_ptr<TaskbarProgress> taskbar_;
  LanguageManager languageManager_;
  int downloadRatio_ = 90;
  unsigned readFileTimeout_ = 1500;

  std::wstring analyticsEndpoint_;
  std::wstring productApiHost_;
  std::unique_ptr<BannerRotation> banners_;
  std::span<const std::string_view> signerPins_;
  setupflow::InstallFlow flow_{90};
  std::shared_ptr<FlowInbox> inbox_;
  std::shared_ptr<PreparationJob> preparation_;
  // Set when the setup is ending: the installer thread reports and posts nothing more.
  std::shared_ptr<std::atomic<bool>> quitting_ = std::make_shared<std::atomic<bool>>(false);
  DWORD runningProductId_ = 0;
  // Set while a close request is being handled; the flow's "close now" then lets it through.
  bool inCloseRequest_ = false;
  bool closeNow_ = false;
};
