#include "Window/MainFrameWnd.h"

#include "Window/FolderChooser.h"
#include "Window/SetupWindow.h"
#include "Window/WinMessBox.h"
#include "Window/WinStopBox.h"
#include "Window/flow/InstallPathCheck.h"
#include "Window/flow/ProgressDisplay.h"
#include "common/ConfigExtraction.h"
#include "common/ConfigRules.h"
#include "common/DomainFile.h"
#include "common/ExecutablePath.h"
#include "common/FileOps.h"
#include "common/GA.h"
#include "common/win32/EmbeddedResource.h"
#include "download/HttpDownload.h"
#include "installer/InstallerProgress.h"
#include "installer/SystemInfo.h"
#include "installer/win32/ProcessControl.h"
#include "installer/win32/ProgramLaunch.h"
#include "log/Logger.h"
#include "resources/ResourceIds.h"
#include "skin_ui/ContainerUI.h"
#include "skin_ui/EditUI.h"
#include "skin_ui/OptionUI.h"
#include "skin_ui/ProgressUI.h"

using setupflow::Effect;
using setupflow::EffectKind;
using setupflow::Question;

namespace {

// Set once per process: InitEnvironment is asked for from several places.
bool g_environmentPrepared = false;

constexpr UINT_PTR kTimerInstallProgress = 12;
constexpr UINT kBannerWaitMs = 1000;
// Client height the customise panel adds while it is open.
constexpr int kCustomisePanelHeight = 75;

int RoundUpTo16(int size) { return (size + 15) / 16 * 16; }

const wchar_t* StateName(int state) {
  switch (state) {
    case setupflow::kWindow_Init: return L"kWindow_Init";
    case setupflow::kWindow_Downloading: return L"kWindow_Downloading";
    case setupflow::kWindow_Installing: return L"kWindow_Installing";
    case setupflow::kWindow_Finish: return L"kWindow_Finish";
    default: return L"kWindow_None";
  }
}

template <typename T>
T* Find(SkinUI::CWindowManagerUI& manager, const wchar_t* name, const wchar_t* kind) {
  SkinUI::CControlUI* control = manager.FindControl(name);
  return control ? static_cast<T*>(control->GetInterface(kind)) : nullptr;
}

}  // namespace

UI_BEGIN_MESSAGE_MAP(CMainFrameWnd, SkinUI::WindowImplBase)
UI_ON_NOTIFY(SkinUI::kNotifyClick, L"", &CMainFrameWnd::OnClick)
UI_ON_NOTIFY(SkinUI::kNotifySelectChanged, L"", &CMainFrameWnd::OnSelectChanged)
UI_ON_NOTIFY(SkinUI::kNotifyTextChanged, L"", &CMainFrameWnd::OnTextChanged)
UI_END_MESSAGE_MAP()

CMainFrameWnd::CMainFrameWnd() = default;
CMainFrameWnd::~CMainFrameWnd() = default;

// ---------------------------------------------------------------------------------------------
// Start-up

void CMainFrameWnd::InitEnvironment() {
  if (g_environmentPrepared) return;
  g_environmentPrepared = true;

  workFolder_ = GetWorkFolder();
  const std::wstring logFolder = workFolder_ + L"Log";
  InitLogger(L"nexvale_down.log", logFolder.c_str());
  LoadResZipFile();
  languageManager_.Init(workFolder_ + L"language\\", GetUILanguageText());
}

void CMainFrameWnd::LoadResZipFile() {
  LOG_INFO("LoadResZipFile");
  const auto archive = FindEmbeddedResource(IDR_CONFIG_ARCHIVE, RT_RCDATA);
  if (!archive) {
    LOG_INFO("LoadResZipFile: no configuration archive in the executable");
    return;
  }
  ExtractArchive(archive->data(), static_cast<uint32_t>(archive->size()), workFolder_ + L"language\\");
}

void CMainFrameWnd::LoadDomainFile() {
  LOG_INFO("LoadDomainFile");
  const auto resource = FindEmbeddedResource(IDR_DOMAIN_CODE, RT_RCDATA);
  const DomainResource domain = ParseDomainResource(resource ? *resource : std::string_view());
  if (domain.truncated) {
    LOG_INFO("LoadDomainFile: the domain resource holds %u bytes; only the first %u are used",
             static_cast<unsigned>(resource->size()), static_cast<unsigned>(kDomainResourceCapacity));
  }
  languageManager_.SetDomainCode(domain.code);
  LOG_INFO("Domain:%s", domain.asRead.c_str());
}

std::wstring CMainFrameWnd::GetWindowTitle() const { return languageManager_.GetLangText(L"STR_MESSAGEBOX_TITLE"); }

const wchar_t* CMainFrameWnd::GetSkinFileName() const {
  // The toolkit asks before the window exists; the preparation has run by then, and running it
  // here is what makes the language known when it has not.
  const_cast<CMainFrameWnd*>(this)->InitEnvironment();
  return languageManager_.IsRightToLeft() ? L"main_rtl.xml" : L"main.xml";
}

uint32_t CMainFrameWnd::GetSkinResourceId() const { return IDR_SKIN_ARCHIVE; }

void CMainFrameWnd::OnSkinReady() {
  inbox_ = std::make_shared<FlowInbox>(static_cast<HWND>(GetNativeWindow()));
  banners_ = std::make_unique<BannerRotation>(manager_, static_cast<HWND>(GetNativeWindow()));
  SetWindowIcons();
  InitData();
  if (!taskbar_) taskbar_ = std::make_unique<TaskbarProgress>();
  taskbar_->Bind(static_cast<HWND>(GetNativeWindow()));
  taskbar_->SetState(TaskbarProgress::kNormal);
  InitAnalytics();
}

void CMainFrameWnd::InitAnalytics() {
  CGA::GetInstance().InitReportTarget(analyticsEndpoint_, languageManager_.GetAnalyticsTitle());
}

void CMainFrameWnd::SetWindowIcons() {
  const HINSTANCE module = GetModuleHandleW(nullptr);
  const HWND window = static_cast<HWND>(GetNativeWindow());
  auto load = [module](int size) {
    return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_SETUP_MAIN), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  };
  if (HICON large = load(RoundUpTo16(GetSystemMetrics(SM_CXICON))))
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
  if (HICON small = load(RoundUpTo16(GetSystemMetrics(SM_CXSMICON))))
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void CMainFrameWnd::InitData() {
  pathField_ = nullptr;
  errorLine_ = nullptr;
  customiseBox_ = nullptr;
  percentLabel_ = nullptr;
  progressBar_ = nullptr;
  windowState_ = setupflow::kWindow_None;
  installPath_ = GetProgramFilesFolder();
  InitEnvironment();
  LoadDomainFile();
  SetUpPages();
  percentLabel_ = manager_.FindControl(L"label_progress");
  errorLine_ = manager_.FindControl(L"label_tip");
  progressBar_ = Find<SkinUI::CProgressUI>(manager_, L"progress_download", L"Progress");
  UpdateWindowSate(setupflow::kWindow_Init);
  LogSystemFacts();
  progressFile_ = workFolder_ + L"temp.progress";
  downloadRatio_ = languageManager_.GetDownloadRatio();
  readFileTimeout_ = static_cast<unsigned>(languageManager_.GetReadFileTimeout());
  LOG_INFO("DownloadRatio:%d  ==== ReadFileTimeout:%d", downloadRatio_, static_cast<int>(readFileTimeout_));
}

void CMainFrameWnd::SetUpPages() {
  SetControlTexts(manager_, languageManager_,
                  {{L"btn_install", L"STR_INSTALL"},
                   {L"btn_hide", L"STR_HIDE"},
                   {L"text_install", L"STR_INSTALLING"},
                   {L"btn_start", L"STR_START"},
                   {L"label_path", L"STR_INSTALL_PATH"}});
  if (SkinUI::CControlUI* tip = manager_.FindControl(L"control_tip")) {
    const std::wstring picture = languageManager_.GetBasePath() + languageManager_.GetLanguage() + L"\\install_tips.png";
    if (fileops::Exists(picture)) tip->SetAttribute(L"bkimage", (L"file='" + picture + L"'").c_str());
  }
  pathField_ = Find<SkinUI::CEditUI>(manager_, L"edit_path", L"Edit");
  if (pathField_) {
    pathField_->SetText(installPath_.c_str());
    pathField_->SetReadOnly(true);
  }
  SetControlTexts(manager_, languageManager_,
                  {{L"btn_browse", L"STR_BROWSE"},
                   {L"btn_lisence", L"STR_LISENCE"},
                   {L"label_install", L"STR_INSTALLING"},
                   {L"btn_stop", L"STR_BTN_STOP_Text"}});
  if (SkinUI::CControlUI* stop = manager_.FindControl(L"btn_stop")) stop->SetEnabled(true);
  if (auto* agree = Find<SkinUI::CCheckBoxUI>(manager_, L"chk_agree", L"CheckBox")) agree->Selected(true, true);
  customiseBox_ = Find<SkinUI::CCheckBoxUI>(manager_, L"chk_fold", L"CheckBox");
  if (customiseBox_) {
    customiseBox_->SetText(languageManager_.GetLangText(L"STR_CUSTOMIZE_INSTALL").c_str());
    customiseBox_->Selected(false, true);
  }
  downloadAddress_ = languageManager_.GetInstallerUrl(IsWindows64Bit());
}

void CMainFrameWnd::LogSystemFacts() {
  const std::wstring product = GetWindowsProductName();
  LOG_INFOW(L"Windows Version:%s", product.c_str());
  LOG_INFOW(L"Windows Bit:%s", IsWindows64Bit() ? L"x64" : L"x86");
  const std::wstring version = GetFileVersionText(GetExecutablePath());
  LOG_INFOW(L"downloader version:%s", version.c_str());
}

// ---------------------------------------------------------------------------------------------
// Notifications

void CMainFrameWnd::Notify(SkinUI::UINotify& msg) {
  if (msg.sender && msg.sender->GetName() == L"edit_path" && msg.type == SkinUI::kNotifySetFocus) {
    ChooseInstallFolder();
    if (SkinUI::CControlUI* browse = manager_.FindControl(L"btn_browse")) browse->SetFocus();
  }
  WindowImplBase::Notify(msg);
}

void CMainFrameWnd::OnClick(SkinUI::UINotify& msg) {
  if (msg.sender) {
    const SkinUI::CUIString& name = msg.sender->GetName();
    if (name == L"btn_install") {
      OnClickInstall();
    } else if (name == L"btn_browse") {
      ChooseInstallFolder();
    } else if (name == L"btn_hide") {
      SendWindowMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (name == L"btn_start") {
      Feed(setupflow::StartClicked{});
    } else if (name == L"btn_lisence") {
      OpenWithShell(static_cast<HWND>(GetNativeWindow()), languageManager_.GetLicenceUrl());
    } else if (const wchar_t* index = msg.sender->GetCustomAttribute(L"imageIndex")) {
      banners_->OnIndicatorClick(_wtoi(index));
    } else if (name == L"btn_stop") {
      Feed(setupflow::StopClicked{});
    }
  }
  WindowImplBase::OnClick(msg);
}

void CMainFrameWnd::OnSelectChanged(SkinUI::UINotify& msg) {
  if (!msg.sender) return;
  if (msg.sender->GetName() == L"chk_fold") {
    ToggleCustomisePanel();
  } else if (msg.sender->GetName() == L"chk_agree") {
    auto* agree = static_cast<SkinUI::CCheckBoxUI*>(msg.sender->GetInterface(L"CheckBox"));
    if (SkinUI::CControlUI* install = manager_.FindControl(L"btn_install"))
      install->SetEnabled(agree && agree->IsSelected());
  }
}

void CMainFrameWnd::OnTextChanged(SkinUI::UINotify& msg) {
  if (msg.sender && msg.sender->GetName() == L"edit_path") ShowPathTip(L"");
}

void CMainFrameWnd::ToggleCustomisePanel() {
  SkinUI::CControlUI* panel = manager_.FindControl(L"bottomLayout");
  if (!panel) return;
  const bool open = customiseBox_ && customiseBox_->IsSelected();
  // Only a change moves the window: selecting an open panel again (a second error) keeps it.
  if (panel->IsVisible() == open) return;
  panel->SetAttribute(L"visible", open ? L"true" : L"false");
  RECT client{};
  GetClientRect(static_cast<HWND>(GetNativeWindow()), &client);
  ResizeClient(client.right - client.left,
               client.bottom - client.top + (open ? kCustomisePanelHeight : -kCustomisePanelHeight));
}

void CMainFrameWnd::ChooseInstallFolder() {
  const std::optional<std::wstring> folder =
      ChooseFolder(static_cast<HWND>(GetNativeWindow()), languageManager_.GetLangText(L"STR_SELECT_FOLDER"));
  if (!folder) return;
  if (pathField_) pathField_->SetText(folder->c_str());
  ShowPathTip(L"");
}

void CMainFrameWnd::ShowPathTip(const std::wstring& text) {
  if (!errorLine_) return;
  errorLine_->SetText(text.c_str());
  errorLine_->SetVisible(!text.empty());
  if (!text.empty() && customiseBox_) customiseBox_->Selected(true, true);
}

void CMainFrameWnd::OnClickInstall() {
  LOG_INFO("OnClickInstall");
  ShowPathTip(L"");
  const std::wstring typed = pathField_ ? pathField_->GetText().GetData() : installPath_;
  const InstallPathCheck checked = CheckInstallPath(typed);
  LOG_INFOW(L"sel path:%s", checked.path.c_str());
  if (!checked.accepted()) {
    ShowPathTip(languageManager_.GetLangText(L"STR_PATH_INVALID"));
    return;
  }
  LOG_INFO("sel path end");
  installPath_ = checked.path;
  Feed(setupflow::InstallAccepted{});
  if (flow_.phase() == setupflow::InstallFlow::Phase::kPreparing)
    SetTimer(static_cast<HWND>(GetNativeWindow()), kTimerBannerWait, kBannerWaitMs, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Window messages

intptr_t CMainFrameWnd::OnClose(uintptr_t wParam, intptr_t, bool& handled) {
  inCloseRequest_ = true;
  closeNow_ = false;
  if (wParam == static_cast<uintptr_t>(setupflow::kCloseNoPrompt))
    Feed(setupflow::CloseWithoutPrompt{});
  else
    Feed(setupflow::CloseRequested{});
  inCloseRequest_ = false;
  // The base closes the window when the flow said so; otherwise the request ends here.
  handled = !closeNow_;
  return 0;
}

intptr_t CMainFrameWnd::OnDestroy(uintptr_t, intptr_t, bool& handled) {
  PostQuitMessage(18);
  handled = false;
  return 0;
}

intptr_t CMainFrameWnd::HandleAppMessage(uint32_t message, uintptr_t wParam, intptr_t, bool& handled) {
  if (message == WM_TIMER) {
    handled = true;
    if (wParam == kTimerBannerRotate)
      banners_->ShowNextBanner();
    else if (wParam == kTimerInstallProgress)
      PollInstallProgress();
    else if (wParam == kTimerBannerWait)
      banners_->OnWaitTimer();
    else
      handled = false;
    return 0;
  }
  if (message == kMsgDownloadSuccess || message == kMsgFlowEvent) {
    handled = true;
    if (std::optional<setupflow::Event> event = inbox_ ? inbox_->Take() : std::nullopt) Feed(*event);
  }
  return 0;
}

// ---------------------------------------------------------------------------------------------
// The flow

void CMainFrameWnd::Feed(const setupflow::Event& event) {
  for (const Effect& effect : flow_.Handle(event)) Apply(effect);
}

void CMainFrameWnd::Apply(const Effect& effect) {
  const HWND window = static_cast<HWND>(GetNativeWindow());
  switch (effect.kind) {
    case EffectKind::kStartPreparation:
      banners_->StartFetch(languageManager_.GetBannerFeedUrl(productApiHost_),
                           languageManager_.GetBasePath() + languageManager_.GetLanguage() + L"\\");
      preparation_ = std::make_shared<PreparationJob>();
      preparation_->configuredAddress = downloadAddress_;
      preparation_->alternativeAddress = languageManager_.GetAlternativeInstallerUrl();
      preparation_->installPath = installPath_;
      preparation_->installerFile = InstallerFile();
      StartPreparation(effect.value, preparation_, inbox_);
      return;
    case EffectKind::kReportStartInstall:
      LOG_INFO("send ga begin");
      StartAnalyticsThread(CGA::GetInstance(), kGAEvent_StartInstall);
      LOG_INFO("send ga end");
      return;
    case EffectKind::kSwitchState:
      // Install's switch to the progress page is logged around the whole change.
      if (effect.value == setupflow::kWindow_Downloading) LOG_INFO("change page downloading begin");
      UpdateWindowSate(effect.value);
      if (effect.value == setupflow::kWindow_Downloading) LOG_INFO("change page downloading end");
      return;
    case EffectKind::kSetProgress:
      SetProgress(effect.value);
      return;
    case EffectKind::kResumePreparation:
      if (preparation_) ResumePreparation(*preparation_, installPath_);
      return;
    case EffectKind::kStartDownloadRun:
      // The preparation has handed over the address and the path it settled on.
      if (preparation_ && !preparation_->downloadAddress.empty()) {
        downloadAddress_ = preparation_->downloadAddress;
        installPath_ = preparation_->installPath;
      }
      StartDownloadRun(effect.value, downloadAddress_, InstallerFile(), signerPins_, inbox_);
      return;
    case EffectKind::kCancelDownload:
      CancelDownload();
      return;
    case EffectKind::kAsk:
      Ask(static_cast<Question>(effect.value));
      return;
    case EffectKind::kEnableStop:
      if (SkinUI::CControlUI* stop = manager_.FindControl(L"btn_stop")) stop->SetEnabled(effect.value != 0);
      return;
    case EffectKind::kAnnounceDownloadSuccess:
      LOG_INFO("HttpDownloadEnd\xA3\xBASuccess");
      StartAnalyticsThread(CGA::GetInstance(), kGAEvent_Installed);
      return;
    case EffectKind::kEndRunningProduct:
      KillProcessById(runningProductId_);
      taskbar_->SetState(TaskbarProgress::kNormal);
      return;
    case EffectKind::kStartInstaller:
      StartInstallExe(effect.value);
      return;
    case EffectKind::kStopInstallTimer:
      KillTimer(window, kTimerInstallProgress);
      return;
    case EffectKind::kShowFinishedPage:
      InstallExeFinish();
      return;
    case EffectKind::kOpenInstalledPage: {
      taskbar_->SetState(TaskbarProgress::kNoProgress);
      const std::wstring page = languageManager_.GetInstalledPageUrl();
      if (!page.empty()) OpenWithShell(window, page);
      return;
    }
    case EffectKind::kStartProduct:
      StartProduct();
      return;
    case EffectKind::kOpenDownloadInBrowser:
      OpenWithShell(window, effect.value == setupflow::kBrowser_ConfiguredAddress
                                ? languageManager_.GetInstallerUrl(IsWindows64Bit())
                                : downloadAddress_);
      return;
    case EffectKind::kCleanupTempFiles:
      CleanupTempFiles();
      return;
    case EffectKind::kMarkQuitting:
      *quitting_ = true;
      return;
    case EffectKind::kPostClose:
      PostWindowMessage(WM_CLOSE, setupflow::kCloseNoPrompt, 0);
      return;
    case EffectKind::kCloseWindow:
      if (inCloseRequest_)
        closeNow_ = true;
      else
        DestroyWindow(window);
      return;
    case EffectKind::kExitProcess:
      ExitProcess(static_cast<UINT>(effect.value));
  }
}

int CMainFrameWnd::ShowMessage(const std::wstring& text, UINT flags) {
  if (languageManager_.IsRightToLeft()) flags |= MB_RIGHT | MB_RTLREADING | MB_SETFOREGROUND;
  return MessageBoxW(static_cast<HWND>(GetNativeWindow()), text.c_str(), GetWindowTitle().c_str(), flags);
}

void CMainFrameWnd::Ask(Question question) {
  const auto text = [this](const wchar_t* key) { return languageManager_.GetLangText(key); };
  const HWND window = static_cast<HWND>(GetNativeWindow());
  int answer = 0;
  switch (question) {
    case Question::kStop: {
      WinStopBox dialog(languageManager_);
      if (dialog.Create(window)) answer = static_cast<int>(dialog.ShowModal());
      break;
    }
    case Question::kQuitIdle:
    case Question::kQuitBusy:
      answer = ShowMessage(text(question == Question::kQuitIdle ? L"STR_CLOSE_TIP1" : L"STR_CLOSE_TIP2"),
                           MB_YESNO | MB_ICONQUESTION) == IDYES;
      break;
    case Question::kRoom: {
      wchar_t buffer[MAX_PATH] = {};
      lstrcpynW(buffer, (preparation_ ? preparation_->installPath : installPath_).c_str(), MAX_PATH);
      WinMessBox dialog(buffer, text(L"STR_MSB_Title"), text(L"STR_SELECT_FOLDER"),
                        preparation_ ? preparation_->sizeMB : 0);
      if (dialog.Create(window, languageManager_)) answer = static_cast<int>(dialog.ShowModal());
      if (answer) installPath_ = buffer;
      break;
    }
    case Question::kDownloadFailed: {
      LOG_INFO("HttpDownloadEnd\xA3\xBA" "Failed");
      taskbar_->SetState(TaskbarProgress::kError);
      const int choice = ShowMessage(text(L"STR_NETWORK_ERROR") + L"\n\n" + text(L"STR_OPERATE_TIP"),
                                     MB_ABORTRETRYIGNORE | MB_ICONWARNING);
      answer = choice == IDRETRY    ? setupflow::kFailure_Retry
               : choice == IDIGNORE ? setupflow::kFailure_Ignore
                                    : setupflow::kFailure_Abort;
      break;
    }
    case Question::kProductLookup:
      answer = FindProcess(languageManager_.GetProductSetting(L"STR_EXE_NAME"), runningProductId_);
      if (answer) {
        LOG_INFO("StartInstallExe\xA3\xBA" "FindProcess");
        taskbar_->SetState(TaskbarProgress::kPaused);
      }
      break;
    case Question::kProductRunning:
      answer = ShowMessage(text(L"STR_SOFT_RUN"), MB_OKCANCEL | MB_ICONWARNING) == IDOK;
      break;
    case Question::kInstallerStartFailed:
      ShowMessage(text(L"STR_INSTALLER_START_FAILED"), MB_OK | MB_ICONERROR);
      answer = 1;
      break;
    case Question::kNone:
      return;
  }
  Feed(setupflow::Answered{question, answer});
}

void CMainFrameWnd::UpdateWindowSate(int state) {
  if (state == windowState_) return;
  windowState_ = state;
  auto* pages = Find<SkinUI::CTabLayoutUI>(manager_, L"switch", L"TabLayout");
  if (!pages) return;
  LOG_INFOW(L"UpdateWindowSate:%s", StateName(state));
  switch (state) {
    case setupflow::kWindow_Init:
      pages->SelectItem(0);
      if (SkinUI::CControlUI* start = manager_.FindControl(L"btn_start")) start->SetVisible(false);
      return;
    case setupflow::kWindow_Downloading:
      if (customiseBox_) customiseBox_->Selected(false, true);
      pages->SelectItem(1);
      return;
    default:
      // Installing and finishing: the flow's next effects start the installer or show the end.
      return;
  }
}

void CMainFrameWnd::SetProgress(int percent) {
  const ProgressView view = ViewOfProgress(percent, languageManager_.IsRightToLeft());
  if (progressBar_) progressBar_->SetValue(view.barValue);
  if (percentLabel_) percentLabel_->SetText(view.label.c_str());
  if (taskbar_) {
    taskbar_->SetState(TaskbarProgress::kNormal);
    taskbar_->SetValue(static_cast<uint64_t>(view.taskbarValue), 100);
  }
}

void CMainFrameWnd::StartInstallExe(int run) {
  const std::wstring productFolder = installPath_ + languageManager_.GetProductFolder();
  if (const fileops::Failure failed = fileops::CreateFolders(productFolder))
    LOG_INFOW(L"the product folder %s could not be made: %hs", productFolder.c_str(), failed.text.c_str());
  WriteDomainFile(productFolder, languageManager_.GetDomainCode());
  StartInstallerRun(run, InstallerJob{InstallerFile(), installPath_, progressFile_}, quitting_, inbox_);
  if (const fileops::Failure failed = fileops::RemoveFile(progressFile_))
    LOG_INFOW(L"the old progress file %s stays: %hs", progressFile_.c_str(), failed.text.c_str());
  SetTimer(static_cast<HWND>(GetNativeWindow()), kTimerInstallProgress, readFileTimeout_, nullptr);
}

void CMainFrameWnd::PollInstallProgress() {
  int percent = 0;
  if (ReadInstallerProgressFile(progressFile_, percent)) Feed(setupflow::InstallerProgressRead{percent});
}

void CMainFrameWnd::InstallExeFinish() {
  LOG_INFO("InstallExeFinish");
  const HWND window = static_cast<HWND>(GetNativeWindow());
  banners_->Stop();
  KillTimer(window, kTimerInstallProgress);
  if (SkinUI::CControlUI* start = manager_.FindControl(L"btn_start")) start->SetVisible(true);
  if (SkinUI::CControlUI* install = manager_.FindControl(L"btn_install")) install->SetVisible(false);
  for (const wchar_t* name : {L"lineLayout", L"customLayout"})
    if (SkinUI::CControlUI* layout = manager_.FindControl(name)) layout->SetAttribute(L"visible", L"false");
  if (SkinUI::CControlUI* tip = manager_.FindControl(L"control_tip")) tip->SetVisible(false);
  taskbar_->SetState(TaskbarProgress::kNormal);
  taskbar_->SetValue(100, 100);
  if (!IsWindowVisible(window)) {
    ShowWindow(window, SW_SHOW);
    SetFocus(window);
  }
}

void CMainFrameWnd::StartProduct() {
  LaunchProgram(installPath_ + languageManager_.GetProductExecutable(), languageManager_.IsRunAsAdmin());
}

void CMainFrameWnd::CleanupTempFiles() {
  KillSilentInstallProcess();
  for (const std::wstring& file : {InstallerFile(), progressFile_}) {
    if (const fileops::Failure failed = fileops::RemoveFile(file))
      LOG_INFOW(L"%s stays: %hs", file.c_str(), failed.text.c_str());
  }
}
