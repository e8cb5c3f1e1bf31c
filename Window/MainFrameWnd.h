#pragma once
// The main setup window. Until the skin toolkit arrives it is a plain native window of the
// skin's size; start-up, configuration, language and system facts are already the real ones.

#include <windows.h>

#include <memory>
#include <string>

#include "common/LanguageManager.h"
#include "installer/win32/TaskbarProgress.h"

class CMainFrameWnd {
 public:
  CMainFrameWnd() = default;
  ~CMainFrameWnd();
  CMainFrameWnd(const CMainFrameWnd&) = delete;
  CMainFrameWnd& operator=(const CMainFrameWnd&) = delete;

  // One-time preparation of the work folder, the log, the configuration archive and the
  // language; later calls return at once.
  void InitEnvironment();
  // Extracts the embedded configuration archive into the work folder's "language" folder.
  void LoadResZipFile();
  // Reads the embedded domain code into the language manager.
  void LoadDomainFile();
  // The analytics collection address of this build's deployment; set before Create.
  void SetAnalyticsEndpoint(std::wstring reportUrl) { analyticsEndpoint_ = std::move(reportUrl); }
  // Hands the analytics sender its collection address and the product's analytics title.
  void InitAnalytics();

  const wchar_t* GetNativeClassName() const { return L"SetupMainFrame"; }
  // The root skin file: the right-to-left one for languages written that way.
  std::wstring GetSkinFileName();
  // The title of the window and of every message box, and what a second instance looks for.
  std::wstring GetWindowTitle() const;

  HWND Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y, int width, int height);
  void CenterWindow();
  // Runs the message loop until the window is destroyed.
  UINT ShowModal();

  HWND GetHWND() const { return window_; }
  const std::wstring& workFolder() const { return workFolder_; }
  const LanguageManager& languageManager() const { return languageManager_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnSkinReady();
  void SetWindowIcons();
  void LogSystemFacts();
  void Paint();

  HWND window_ = nullptr;
  std::wstring workFolder_;
  std::wstring analyticsEndpoint_;
  LanguageManager languageManager_;
  std::unique_ptr<TaskbarProgress> taskbar_;
};
