#pragma once
// The stop-confirmation dialog: asks whether the installation is to be stopped and answers 1
// for Yes, 0 for No, Escape or the system's close command.

#include <cstdint>

#include "common/LanguageManager.h"
#include "skin_ui/win32/WindowImplBase.h"

class WinStopBox : public SkinUI::WindowImplBase {
 public:
  explicit WinStopBox(const LanguageManager& language) : language_(language) {}
  // Out of line: the thunks of an inline one, made in every file that shows a dialog, clash
  // in the optimised link.
  ~WinStopBox() override;

  // Creates the window, hidden, over `owner` and centres it; ShowModal runs it.
  SkinUI::NativeWindow Create(SkinUI::NativeWindow owner);

 protected:
  const wchar_t* GetNativeClassName() const override { return L"WinStopInstallBox"; }
  const wchar_t* GetSkinFileName() const override;
  void OnSkinReady() override;
  void OnClick(SkinUI::UINotify& msg) override;
  // Escape answers No; Enter stays with the focused button.
  void HandleDefaultKey(uintptr_t key) override;

 private:
  const LanguageManager& language_;
};
