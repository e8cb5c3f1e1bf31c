#pragma once
// What the setup's top-level windows share: their native style, how a dialog is created over
// its owner, and texts set by key. The skin draws every frame and caption; the caption and
// system menu bits keep the system's close command and the task bar's menu.

#include <windows.h>

#include <initializer_list>

#include "common/LanguageManager.h"
#include "skin_ui/ControlUI.h"
#include "skin_ui/WindowManagerUI.h"
#include "skin_ui/win32/WindowWnd.h"

inline constexpr DWORD kSetupWindowStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU;

// A dialog over `owner`: without caption text, sized by its skin, centred on the owner. It is
// created hidden, so it never shows at its creation place: the modal loop shows it.
inline SkinUI::NativeWindow CreateSetupDialog(SkinUI::CWindowWnd& dialog, SkinUI::NativeWindow owner) {
  if (!dialog.Create(owner, L"", kSetupWindowStyle, 0, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT)) return nullptr;
  dialog.CenterWindow();
  return dialog.GetNativeWindow();
}

struct ControlTextKey {
  const wchar_t* control;
  const wchar_t* key;
};

// Each named control the skin has gets the text of its key; missing controls are skipped.
inline void SetControlTexts(SkinUI::CWindowManagerUI& manager, const LanguageManager& language,
                            std::initializer_list<ControlTextKey> texts) {
  for (const ControlTextKey& text : texts) {
    if (SkinUI::CControlUI* control = manager.FindControl(text.control))
      control->SetText(language.GetLangText(text.key).c_str());
  }
}
