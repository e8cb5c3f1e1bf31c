#pragma once
// The native style the setup's top-level windows share, and how its dialogs are created. The
// skin draws every frame and caption; the caption and system menu bits keep the system's close
// command and the task bar's menu.

#include <windows.h>

#include "skin_ui/win32/WindowWnd.h"

inline constexpr DWORD kSetupWindowStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU;

// A dialog over `owner`: without caption text, sized by its skin, centred on the owner. It is
// created hidden, so it never shows at its creation place: the modal loop shows it.
inline SkinUI::NativeWindow CreateSetupDialog(SkinUI::CWindowWnd& dialog, SkinUI::NativeWindow owner) {
  if (!dialog.Create(owner, L"", kSetupWindowStyle, 0, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT)) return nullptr;
  dialog.CenterWindow();
  return dialog.GetNativeWindow();
}
