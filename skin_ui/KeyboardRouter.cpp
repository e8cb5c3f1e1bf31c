#include "skin_ui/KeyboardRouter.h"

#include <cwchar>
#include <cwctype>

#include "skin_ui/ControlUI.h"
#include "skin_ui/InputEvent.h"
#include "skin_ui/NativeWindowOps.h"
#include "skin_ui/UIMessages.h"
#include "skin_ui/WindowManagerUI.h"

namespace SkinUI {

namespace {

// The first visible control whose shortcut is the typed letter; labels name the control they
// describe and are never the answer themselves.
CControlUI* FindShortcut(CControlUI* control, void* data) {
  const wchar_t typed = *static_cast<const wchar_t*>(data);
  if (!control->IsVisible() || control->GetShortcut() == 0) return nullptr;
  if (static_cast<wchar_t>(towupper(control->GetShortcut())) != typed) return nullptr;
  return wcsstr(control->GetClass(), L"Label") ? nullptr : control;
}

}  // namespace

void UIKeyboardRouter::Send(CControlUI* control, int type, uintptr_t wParam, intptr_t lParam) {
  if (!control) return;
  UIEvent event = MakeInputEvent(type, control, manager_.GetMousePos(), wParam, static_cast<uintptr_t>(lParam));
  event.key = static_cast<wchar_t>(wParam);
  control->Event(event);
}

void UIKeyboardRouter::KeyDown(uintptr_t key, intptr_t lParam) {
  CControlUI* focus = manager_.GetFocus();
  if (!focus) return;
  keyControl_ = focus;
  Send(focus, kEventKeyDown, key, lParam);
}

void UIKeyboardRouter::KeyUp(uintptr_t key, intptr_t lParam) {
  CControlUI* control = keyControl_;
  keyControl_ = nullptr;
  Send(control, kEventKeyUp, key, lParam);
}

void UIKeyboardRouter::Char(uintptr_t ch, intptr_t lParam) { Send(manager_.GetFocus(), kEventChar, ch, lParam); }

bool UIKeyboardRouter::PreFilter(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (message == kMsgKeyDown && wParam == kKeyTab) {
    CControlUI* focus = manager_.GetFocus();
    if (focus && focus->IsVisible() && focus->IsEnabled() && (focus->GetControlTraits() & kControlTraitWantsTab))
      return false;
    manager_.MoveFocusToNext(!native::IsKeyDown(kKeyShift));
    return true;
  }
  if (message == kMsgSysChar) {
    CControlUI* root = manager_.GetRoot();
    if (!root) return false;
    wchar_t typed = static_cast<wchar_t>(towupper(static_cast<wint_t>(wParam)));
    CControlUI* control = root->FindControl(FindShortcut, &typed, kFindEnabled | kFindMeFirst | kFindTopFirst);
    if (!control) return false;
    control->SetFocus();
    control->Activate();
    return true;
  }
  if (message == kMsgSysKeyDown) Send(manager_.GetFocus(), kEventSysKey, wParam, lParam);
  return false;
}

void UIKeyboardRouter::Forget(const CControlUI* control) {
  if (keyControl_ == control) keyControl_ = nullptr;
}

}  // namespace SkinUI
