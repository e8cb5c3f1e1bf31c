#include "skin_ui/MouseRouter.h"

#include <algorithm>

#include "skin_ui/ControlUI.h"
#include "skin_ui/InputEvent.h"
#include "skin_ui/NativeWindowOps.h"
#include "skin_ui/TooltipController.h"
#include "skin_ui/UIMessages.h"
#include "skin_ui/WindowManagerUI.h"

namespace SkinUI {

namespace {

// The mouse message's key-state word as event bits; Alt is not in it and is read from the keys.
uint16_t MouseKeyState(uintptr_t keys) {
  uint16_t state = static_cast<uint16_t>(keys & (kKeyStateLButton | kKeyStateRButton | kKeyStateShift |
                                                 kKeyStateControl));
  if (native::IsKeyDown(kKeyAlt)) state |= kKeyStateAlt;
  return state;
}

}  // namespace

CControlUI* UIMouseRouter::ControlAt(UIPoint point) const {
  CControlUI* control = manager_.FindControl(point);
  return control && control->GetManager() == &manager_ ? control : nullptr;
}

void UIMouseRouter::Send(CControlUI* control, int type, UIPoint point, uintptr_t wParam, uintptr_t lParam) {
  if (!control) return;
  UIEvent event = MakeInputEvent(type, control, point, wParam, lParam);
  control->Event(event);
}

void UIMouseRouter::FocusWindow() {
  if (!manager_.IsNoActivate()) native::Focus(manager_.GetNativeWindow());
}

void UIMouseRouter::Capture() {
  native::SetCapture(manager_.GetNativeWindow());
  captured_ = true;
}

void UIMouseRouter::ReleaseCapture() {
  native::ReleaseCapture();
  captured_ = false;
}

void UIMouseRouter::MouseMove(UIPoint point) {
  if (!tracking_ || !hoverAsked_) {
    native::TrackMouse(manager_.GetNativeWindow(), tooltip_.HoverDelay(hoverTime_));
    tracking_ = hoverAsked_ = true;
  }
  MoveTo(point);
}

void UIMouseRouter::MoveTo(UIPoint point) {
  manager_.SetMousePos(point);
  CControlUI* control = manager_.FindControl(point);
  if (control && control->GetManager() != &manager_) return;
  if (!captured_ && control != hover_) {
    if (hover_) Send(hover_, kEventMouseLeave, point);
    // Controls that asked for it hear every leave, whichever control the mouse left.
    const std::vector<CControlUI*> listeners(mouseLeaveNeeded_);
    for (CControlUI* listener : listeners)
      if (listener != hover_) Send(listener, kEventMouseLeave, point);
    tooltip_.Hide(manager_.GetNativeWindow());
    hover_ = nullptr;
    if (control) {
      Send(control, kEventMouseEnter, point);
      hover_ = control;
    }
  }
  Send(click_ ? click_ : control, kEventMouseMove, point);
}

void UIMouseRouter::ButtonDown(UIPoint point, uintptr_t keys) {
  FocusWindow();
  CControlUI* control = ControlAt(point);
  if (!control) return;
  click_ = control;
  manager_.SetFocus(control);
  Capture();
  UIEvent event = MakeInputEvent(kEventButtonDown, control, point, keys, 0, MouseKeyState(keys));
  control->Event(event);
}

void UIMouseRouter::ButtonUp(UIPoint point, uintptr_t keys) {
  ReleaseCapture();
  CControlUI* control = click_;
  click_ = nullptr;
  if (!control) return;
  UIEvent event = MakeInputEvent(kEventButtonUp, control, point, keys, 0, MouseKeyState(keys));
  control->Event(event);
}

void UIMouseRouter::DoubleClick(UIPoint point, uintptr_t keys) {
  FocusWindow();
  Capture();
  CControlUI* control = ControlAt(point);
  if (!control) return;
  UIEvent event = MakeInputEvent(kEventDblClick, control, point, keys, 0, MouseKeyState(keys));
  control->Event(event);
  click_ = control;
}

void UIMouseRouter::RightButtonDown(UIPoint point, uintptr_t keys) {
  FocusWindow();
  CControlUI* control = ControlAt(point);
  if (!control) return;
  manager_.SetFocus(control);
  UIEvent event = MakeInputEvent(kEventRButtonDown, control, point, keys, 0, MouseKeyState(keys));
  control->Event(event);
  click_ = control;
}

void UIMouseRouter::ContextMenu(UIPoint point) {
  if (captured_) return;
  CControlUI* control = click_;
  click_ = nullptr;
  Send(control, kEventContextMenu, point, 0, reinterpret_cast<uintptr_t>(control));
}

void UIMouseRouter::Wheel(UIPoint point, int delta) {
  Send(ControlAt(point), kEventScrollWheel, point, delta < 0 ? 1 : 0);
  // The content under the mouse may have moved: hover follows it.
  MouseMove(point);
}

void UIMouseRouter::Hover(UIPoint point) {
  // The system stops watching for rest, not for the leave: the next move asks for both again.
  hoverAsked_ = false;
  if (!hover_) return;
  Send(hover_, kEventMouseHover, point);
  // The hover event may have removed the control.
  if (CControlUI* control = ControlAt(point)) tooltip_.Show(manager_.GetNativeWindow(), control);
}

void UIMouseRouter::Leave() {
  NativeWindow window = manager_.GetNativeWindow();
  tooltip_.Hide(window);
  if (!tracking_) return;
  const UIPoint cursor = native::GetCursorClientPos(window);
  const bool inside = native::GetClientRect(window).Contains(cursor) && native::IsActive(window);
  // The re-sent move must not ask for tracking again: asked with the cursor outside the
  // window, the system posts the next leave at once, and that endless stream of posted
  // messages would starve the timers and the quit message of the whole thread.
  MoveTo(inside ? cursor : UIPoint{-1, -1});
  tracking_ = false;
}

bool UIMouseRouter::SetCursor() {
  if (captured_) return true;
  CControlUI* control = ControlAt(native::GetCursorClientPos(manager_.GetNativeWindow()));
  if (!control || !(control->GetControlTraits() & kControlTraitSetCursor)) return false;
  Send(control, kEventSetCursor, manager_.GetMousePos());
  return true;
}

void UIMouseRouter::Close() {
  const UIPoint point = manager_.GetMousePos();
  CControlUI* hovered = hover_;
  hover_ = nullptr;
  Send(hovered, kEventMouseLeave, point);
  CControlUI* clicked = click_;
  click_ = nullptr;
  // The press ends without a release over the control: closing must not click it.
  Send(clicked, kEventButtonUp, UIPoint{-1, -1});
  if (captured_) ReleaseCapture();
}

void UIMouseRouter::Forget(const CControlUI* control) {
  if (hover_ == control) hover_ = nullptr;
  if (click_ == control) click_ = nullptr;
  std::erase(mouseLeaveNeeded_, control);
}

void UIMouseRouter::Reset() { hover_ = click_ = nullptr; }

bool UIMouseRouter::AddMouseLeaveNeeded(CControlUI* control) {
  if (!control || IsMouseLeaveNeeded(control)) return false;
  mouseLeaveNeeded_.push_back(control);
  return true;
}

bool UIMouseRouter::RemoveMouseLeaveNeeded(CControlUI* control) { return std::erase(mouseLeaveNeeded_, control) > 0; }

bool UIMouseRouter::IsMouseLeaveNeeded(const CControlUI* control) const {
  return std::find(mouseLeaveNeeded_.begin(), mouseLeaveNeeded_.end(), control) != mouseLeaveNeeded_.end();
}

}  // namespace SkinUI
