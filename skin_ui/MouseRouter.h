#pragma once
// Turns a window's mouse messages into control events: the hovered control with its enter and
// leave, the clicked control that keeps the mouse captured from press to release, double and
// right clicks, the context menu, the wheel, hover with the tooltip, and the cursor.

#include <cstdint>
#include <vector>

#include "skin_ui/UIDefs.h"

namespace SkinUI {

class CControlUI;
class CWindowManagerUI;
class UITooltipController;

class UIMouseRouter {
 public:
  UIMouseRouter(CWindowManagerUI& manager, UITooltipController& tooltip) : manager_(manager), tooltip_(tooltip) {}

  // Points are client coordinates; `keys` is the message's key-state word.
  void MouseMove(UIPoint point);
  void ButtonDown(UIPoint point, uintptr_t keys);
  void ButtonUp(UIPoint point, uintptr_t keys);
  void DoubleClick(UIPoint point, uintptr_t keys);
  void RightButtonDown(UIPoint point, uintptr_t keys);
  void ContextMenu(UIPoint point);
  // `delta` is the wheel's signed turn; negative is towards the user.
  void Wheel(UIPoint point, int delta);
  void Hover(UIPoint point);
  // The window's native leave message.
  void Leave();
  // True when the message is handled: while captured, or when the control under the cursor
  // sets it.
  bool SetCursor();
  // The mouse part of closing the window: the hovered control leaves, the clicked one is
  // released.
  void Close();

  CControlUI* GetHover() const { return hover_; }
  CControlUI* GetClick() const { return click_; }
  bool IsCaptured() const { return captured_; }
  void SetHoverTime(uint32_t ms) { hoverTime_ = ms; }
  void Forget(const CControlUI* control);
  void Reset();

  bool AddMouseLeaveNeeded(CControlUI* control);
  bool RemoveMouseLeaveNeeded(CControlUI* control);
  bool IsMouseLeaveNeeded(const CControlUI* control) const;

 private:
  // Routes a move without asking the system for hover and leave messages.
  void MoveTo(UIPoint point);
  // The control under the point if it belongs to this window.
  CControlUI* ControlAt(UIPoint point) const;
  void Send(CControlUI* control, int type, UIPoint point, uintptr_t wParam = 0, uintptr_t lParam = 0);
  void FocusWindow();
  void Capture();
  void ReleaseCapture();

  CWindowManagerUI& manager_;
  UITooltipController& tooltip_;
  CControlUI* hover_ = nullptr;
  CControlUI* click_ = nullptr;
  bool captured_ = false;
  bool tracking_ = false;     // the system will post a leave
  bool hoverAsked_ = false;   // ... and a hover after a rest
  uint32_t hoverTime_ = 1000;
  std::vector<CControlUI*> mouseLeaveNeeded_;
};

}  // namespace SkinUI
