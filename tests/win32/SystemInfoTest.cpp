#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "common/PathText.h"
#include "installer/SystemInfo.h"
#include "installer/win32/TaskbarProgress.h"
#include "tests/support/TestFiles.h"

namespace {

using testsupport::TempFolder;

TEST(SystemInfo, FreeSpaceOfTheSystemDrive) {
  int32_t megabytes = -1;
  ASSERT_TRUE(GetDiskFreeMB(L"C:", megabytes));
  EXPECT_GT(megabytes, 0);
  EXPECT_FALSE(GetDiskFreeMB(L"Q:", megabytes));
}

TEST(SystemInfo, Md5OfFiles) {
  TempFolder folder(L"md5");
  const struct {
    std::string content;
    const char* digest;
  } cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      // Spans several 4096-byte reads.
      {std::string(1000000, 'a'), "7707d6ae4e027c70eea2a935c2296f21"},
  };
  int index = 0;
  for (const auto& c : cases) {
    const std::wstring path = folder.path() + L"file" + std::to_wstring(index++);
    testsupport::WriteFileBytes(path, c.content);
    EXPECT_EQ(GetFileMd5(path), c.digest) << c.content.size() << " bytes";
  }
  EXPECT_EQ(GetFileMd5(folder.path() + L"missing"), "");
}

TEST(SystemInfo, FileExists) {
  TempFolder folder(L"exists");
  testsupport::WriteFileBytes(folder.path() + L"x.txt", "x");
  EXPECT_TRUE(FileExists(folder.path() + L"x.txt"));
  EXPECT_FALSE(FileExists(folder.path() + L"y.txt"));
}

TEST(SystemInfo, FileVersionNeedsTheTranslationTable) {
  const std::wstring bin = testsupport::BuildBinFolder();
  EXPECT_EQ(GetFileVersionText(bin + L"version_fixture.exe"), L"4.3.0.12");
  EXPECT_EQ(GetFileVersionText(bin + L"version_no_translation.exe"), L"");
  EXPECT_EQ(GetFileVersionText(bin + L"inst.x.exe"), L"");
  EXPECT_EQ(GetFileVersionText(bin + L"missing.exe"), L"");
}

TEST(SystemInfo, WorkFolderUnderProgramFiles) {
  const std::wstring programFiles = GetProgramFilesFolder();
  ASSERT_GT(programFiles.size(), 3u);
  EXPECT_EQ(programFiles.back(), L'\\');
  EXPECT_EQ(GetWorkFolder(), programFiles + L"nexvale_down\\system_info_test\\");
}

TEST(SystemInfo, WindowsFacts) {
  EXPECT_FALSE(GetWindowsProductName().empty());
  // The harness says which kind of Windows prefix it made.
  const char* bits = std::getenv("NEXVALE_WINE_BITS");
  ASSERT_NE(bits, nullptr) << "run through scripts/test.sh";
  EXPECT_EQ(IsWindows64Bit(), std::string(bits) == "64");
  const std::wstring language = GetUILanguageText();
  ASSERT_FALSE(language.empty());
  EXPECT_EQ(language.find_first_not_of(L"0123456789"), std::wstring::npos);
  EXPECT_EQ(std::stoi(language), GetUserDefaultUILanguage());
}

// Records what reaches the taskbar interface and on which thread.
class RecordingTaskbar : public ITaskbarList3 {
 public:
  DWORD valueThread = 0;
  ULONGLONG done = 0, total = 0;
  TBPFLAG state = TBPF_NOPROGRESS;
  int stateCalls = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }
  HRESULT STDMETHODCALLTYPE HrInit() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE AddTab(HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeleteTab(HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ActivateTab(HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetActiveAlt(HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE MarkFullscreenWindow(HWND, WINBOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetProgressValue(HWND, ULONGLONG completed, ULONGLONG limit) override {
    valueThread = GetCurrentThreadId();
    done = completed;
    total = limit;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetProgressState(HWND, TBPFLAG flags) override {
    state = flags;
    ++stateCalls;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE RegisterTab(HWND, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE UnregisterTab(HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetTabOrder(HWND, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetTabActive(HWND, HWND, DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ThumbBarAddButtons(HWND, UINT, LPTHUMBBUTTON) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ThumbBarUpdateButtons(HWND, UINT, LPTHUMBBUTTON) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ThumbBarSetImageList(HWND, HIMAGELIST) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetOverlayIcon(HWND, HICON, LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetThumbnailTooltip(HWND, LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetThumbnailClip(HWND, RECT*) override { return S_OK; }

  ULONG references() const { return references_; }

 private:
  ULONG references_ = 1;
};

TEST(TaskbarProgress, WorkerThreadCallsReachTheInterfaceOnTheUiThread) {
  HWND window = CreateWindowExW(0, L"STATIC", L"taskbar test", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  RecordingTaskbar taskbar;
  {
    TaskbarProgress progress(&taskbar);
    progress.Bind(window);
    EXPECT_EQ(taskbar.state, TBPF_INDETERMINATE);
    progress.SetState(TaskbarProgress::kNormal);
    EXPECT_EQ(taskbar.state, TBPF_NORMAL);

    std::thread worker([&] { progress.SetValue(45, 90); });
    worker.join();
    EXPECT_EQ(taskbar.valueThread, 0u) << "delivered on the worker thread";
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    EXPECT_EQ(taskbar.valueThread, GetCurrentThreadId());
    EXPECT_EQ(taskbar.done, 45u);
    EXPECT_EQ(taskbar.total, 90u);
    EXPECT_EQ(taskbar.references(), 2u);
  }
  EXPECT_EQ(taskbar.references(), 1u);
  DestroyWindow(window);
}

TEST(TaskbarProgress, WithoutTheInterfaceEveryCallDoesNothing) {
  TaskbarProgress progress(nullptr);
  EXPECT_FALSE(progress.HasTaskbar());
  progress.Bind(GetDesktopWindow());
  std::thread worker([&] { progress.SetValue(1, 2); });
  worker.join();
  progress.SetState(TaskbarProgress::kError);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  EXPECT_FALSE(progress.HasTaskbar());
}

}  // namespace
