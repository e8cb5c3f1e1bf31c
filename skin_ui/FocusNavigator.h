#pragma once
// A window's keyboard focus among its controls: which control has it, moving it with
// notifications, the Tab order with its wrap-around, and a focus request that waits for the
// pending layout.

#include "skin_ui/UIDefs.h"

namespace SkinUI {

class CControlUI;
class CWindowManagerUI;

class UIFocusNavigator {
 public:
  explicit UIFocusNavigator(CWindowManagerUI& manager) : manager_(manager) {}

  CControlUI* GetFocus() const { return focus_; }
  // Moves the focus to `control` (null: nowhere), with kill-focus and set-focus events and
  // notifications; invisible, disabled and foreign controls leave the focus empty.
  void SetFocus(CControlUI* control, bool focusWindow);
  // The next (or previous) control that takes the focus by Tab, wrapping around; the first one
  // when nothing is focused. While a layout is pending a forward move waits for it.
  void MoveFocusToNext(bool forward);
  // Focuses `control` once the pending layout is done.
  void RequestFocus(CControlUI* control);
  bool IsFocusNeeded() const { return focusNeeded_; }
  // After a new root: the first paint moves the focus to the first control.
  void Reset();
  void Forget(const CControlUI* control);

 private:
  CWindowManagerUI& manager_;
  CControlUI* focus_ = nullptr;
  // Where the next forward move starts when nothing is focused (set by RequestFocus).
  CControlUI* anchor_ = nullptr;
  bool focusNeeded_ = false;
};

}  // namespace SkinUI
