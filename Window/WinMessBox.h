#pragma once
// The disk-space dialog: shown when the installation drive has too little room, it names the
// drive, proposes another one and lets the user type or browse for a folder. It answers 1 when
// a folder that passes the installation checks and has room was accepted (and only then writes
// it into the caller's buffer), 0 when closed.

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/LanguageManager.h"
#include "skin_ui/win32/WindowImplBase.h"

class WinMessBox : public SkinUI::WindowImplBase {
 public:
  // `pathBuffer` holds the installation path on entry and the accepted one on exit.
  WinMessBox(wchar_t (&pathBuffer)[MAX_PATH], std::wstring title, std::wstring chooserTitle, int32_t sizeMB);
  // Out of line: the thunks of an inline one, made in every file that shows a dialog, clash
  // in the optimised link.
  ~WinMessBox() override;

  // Creates the window, hidden, over `owner` and centres it; ShowModal runs it. The owner's
  // thread runs the dialog and has initialised COM for the folder chooser.
  SkinUI::NativeWindow Create(SkinUI::NativeWindow owner, const LanguageManager& language);

  // Whether the drive of `path` has three times the installer's size free; a failed query
  // counts as too little room.
  bool IsSufficientDisk(const std::wstring& path) const;

 protected:
  const wchar_t* GetNativeClassName() const override { return L"WinMessageBox"; }
  const wchar_t* GetSkinFileName() const override;
  void OnSkinReady() override;
  void OnClick(SkinUI::UINotify& msg) override;
  // Escape answers as the close button does; Enter stays with the focused button.
  void HandleDefaultKey(uintptr_t key) override;

 private:
  // The message line for the drive of `path` and another drive proposed in the path field.
  void ProposeOtherDriveThan(const std::wstring& path);
  // The label's text, cut to its room, with the whole text as tooltip when cut.
  void ShowMessageLine(const std::wstring& line);
  void BrowseForFolder();
  void Install();

  wchar_t (&pathBuffer_)[MAX_PATH];
  std::wstring title_;
  std::wstring chooserTitle_;
  int32_t sizeMB_;
  const LanguageManager* language_ = nullptr;
};
