// Linked only into the size report's "full link" of the setup: the setup's own entry point plus
// a reference to each subsystem the finished install flow and skinned window reach but today's
// main window does not call yet (the download engine with TLS, the WinHTTP requests, the
// analytics sender, the skin toolkit and the PNG decoder its painting will use). The references
// sit behind a flag no one sets, so the program behaves exactly like the product; the linker's
// section collection keeps everything they reach, which is what the size budget is about.
#include <string>

#include "common/GA.h"
#include "download/HttpDownload.h"
#include "skin_ui/DialogBuilder.h"
#include "skin_ui/WindowManagerUI.h"
#include "tool/win32/HttpRequests.h"

#define STBI_ONLY_PNG
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

namespace {

// volatile: the compiler may not prove the calls unreachable and drop them.
volatile bool reachEverything = false;

struct FullLinkReferences {
  FullLinkReferences() {
    if (!reachEverything) return;
    DownloadParams params;
    StartDownload(params, nullptr);
    CancelDownload();
    std::wstring redirected;
    GetRedirectUrl(L"", L"", redirected);
    GetHttpFileSize(redirected);
    HttpGetString(redirected);
    StartAnalyticsThread(CGA::GetInstance(), kGAEvent_StartInstall);
    SkinUI::CWindowManagerUI manager;
    SkinUI::CDialogBuilder builder;
    builder.Create(L"main.xml", nullptr, nullptr, &manager);
    int width = 0, height = 0, channels = 0;
    stbi_image_free(stbi_load_from_memory(nullptr, 0, &width, &height, &channels, 4));
  }
};

const FullLinkReferences references;

}  // namespace
