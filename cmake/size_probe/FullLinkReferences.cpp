// Linked only into the size report's "full link" of the setup: the setup's own entry point plus
// a reference to each subsystem the finished install flow and skinned window reach but today's
// main window does not call yet (the install flow's logic, the download engine with TLS, the
// WinHTTP requests, the analytics sender, and the skin toolkit's window host, which builds the
// packed skin and paints it with its renderer and picture decoder). The references sit behind a flag no one sets, so the
// program behaves exactly like the product; the linker's section collection keeps everything
// they reach, which is what the size budget is about.
#include <atomic>
#include <string>

#include "Window/flow/DialogRules.h"
#include "Window/flow/DownloadAddress.h"
#include "Window/flow/InstallFlow.h"
#include "Window/flow/InstallPathCheck.h"
#include "Window/flow/InstallerWorker.h"
#include "Window/flow/ProgressDisplay.h"
#include "common/GA.h"
#include "download/HttpDownload.h"
#include "resources/ResourceIds.h"
#include "skin_ui/win32/WindowImplBase.h"
#include "tool/win32/HttpRequests.h"

namespace {

// volatile: the compiler may not prove the calls unreachable and drop them.
volatile bool reachEverything = false;

class FullLinkWindow : public SkinUI::WindowImplBase {
 protected:
  const wchar_t* GetNativeClassName() const override { return L"FullLinkWindow"; }
  const wchar_t* GetSkinFileName() const override { return L"main.xml"; }
  SkinUI::SkinSourceKind GetSkinSourceKind() const override { return SkinUI::SkinSourceKind::kArchiveResource; }
  uint32_t GetSkinResourceId() const override { return IDR_SKIN_ARCHIVE; }
};

struct FullLinkReferences {
  FullLinkReferences() {
    if (!reachEverything) return;
    setupflow::InstallFlow flow(30);
    for (const setupflow::Effect& effect : flow.Handle(setupflow::InstallAccepted{})) setupflow::Describe(effect);
    std::atomic<bool> quitting{false};
    RunInstallerWorker(1, quitting, InstallerWorkerSteps{});
    CheckInstallPath(L"");
    ViewOfProgress(DownloadBarPercent(0, 30), false);
    ChooseDownloadAddress(L"", L"", false, L"");
    ShortenMessageLine(DiskMessageLine(DriveOfPath(L""), L""));
    ProposeOtherDrive(L"", 0);
    DownloadParams params;
    StartDownload(params, nullptr);
    CancelDownload();
    std::wstring redirected;
    GetRedirectUrl(L"", L"", redirected);
    GetHttpFileSize(redirected);
    HttpGetString(redirected, 0);
    StartAnalyticsThread(CGA::GetInstance(), kGAEvent_StartInstall);
    FullLinkWindow window;
    window.Create(nullptr, L"", 0, 0, 0, 0, 0, 0);
    window.ShowModal();
  }
};

const FullLinkReferences references;

}  // namespace
