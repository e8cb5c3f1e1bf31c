#include "Window/WinStopBox.h"

#include <windows.h>

#include "Window/RichTextFace.h"
#include "Window/SetupWindow.h"

WinStopBox::~WinStopBox() = default;

SkinUI::NativeWindow WinStopBox::Create(SkinUI::NativeWindow owner) { return CreateSetupDialog(*this, owner); }

const wchar_t* WinStopBox::GetSkinFileName() const {
  return language_.IsRightToLeft() ? L"WinStopInstallBox_rtl.xml" : L"WinStopInstallBox.xml";
}

void WinStopBox::OnSkinReady() {
  GiveRichTextTheScriptFace(manager_, L"stop_lab_context", language_.GetLanguage());
  SetControlTexts(manager_, language_,
                  {{L"stop_lab_context", L"STR_MSG_Context"},
                   {L"btn_stop_ok", L"STR_MSG_BtnYesText"},
                   {L"btn_stop_no", L"STR_MSG_BtnNoText"}});
}

void WinStopBox::OnClick(SkinUI::UINotify& msg) {
  if (!msg.sender) return;
  const SkinUI::CUIString& name = msg.sender->GetName();
  if (name == L"btn_stop_ok")
    Close(1);
  else if (name == L"btn_stop_no")
    Close(0);
}

void WinStopBox::HandleDefaultKey(uintptr_t key) {
  if (key == VK_ESCAPE) Close(0);
}
