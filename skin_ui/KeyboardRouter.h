#pragma once
// Turns a window's key messages into control events, and filters keys before they are
// translated: Tab and Shift+Tab move the focus, Alt+letter activates the control with that
// shortcut.

#include <cstdint>

namespace SkinUI {

class CControlUI;
class CWindowManagerUI;

class UIKeyboardRouter {
 public:
  explicit UIKeyboardRouter(CWindowManagerUI& manager) : manager_(manager) {}

  // Key down goes to the focused control, which then receives the key up; characters go to the
  // focused control.
  void KeyDown(uintptr_t key, intptr_t lParam);
  void KeyUp(uintptr_t key, intptr_t lParam);
  void Char(uintptr_t ch, intptr_t lParam);
  // True when the key is consumed before translation.
  bool PreFilter(uint32_t message, uintptr_t wParam, intptr_t lParam);

  void Forget(const CControlUI* control);
  void Reset() { keyControl_ = nullptr; }

 private:
  void Send(CControlUI* control, int type, uintptr_t wParam, intptr_t lParam);

  CWindowManagerUI& manager_;
  CControlUI* keyControl_ = nullptr;
};

}  // namespace SkinUI
