#pragma once
// The main setup window. Until the skin toolkit arrives it is a plain native window of the
// skin's size; start-up and its system facts are already the real ones.

#include <windows.h>

#include <memory>
#include <string>

#include "installer/win32/TaskbarProgress.h"

class CMainFrameWnd {
 public:
  CMainFrameWnd() = default;
  ~CMainFrameWnd();
  CMainFrameWnd(const CMainFrameWnd&) = delete;
  CMainFrameWnd& operator=(const CMainFrameWnd&) = delete;

  // One-time preparation of the work folder and the log (and, once they exist, the
  // configuration archive and the language); later calls return at once.
  void InitEnvironment();

  const wchar_t* GetNativeClassName() const { return L"SetupMainFrame"; }
  // The title of the window and of every message box, and what a second instance looks for.
  std::wstring GetWindowTitle() const;

  HWND Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y, int width, int height);
  void CenterWindow();
  // Runs the message loop until the window is destroyed.
  UINT ShowModal();

  HWND GetHWND() const { return window_; }
  const std::wstring& workFolder() const { return workFolder_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnSkinReady();
  void SetWindowIcons();
  void LogSystemFacts();
  void Paint();

  HWND window_ = nullptr;
  std::wstring workFolder_;
  std::unique_ptr<TaskbarProgress> taskbar_;
};
