#pragma once
// The tooltip of a skinned window: one native tooltip window, created on first use, showing the
// tooltip text of the control the mouse rests on.

#include "skin_ui/UIDefs.h"

namespace SkinUI {

class CControlUI;

class UITooltipController {
 public:
  UITooltipController() = default;
  UITooltipController(const UITooltipController&) = delete;
  UITooltipController& operator=(const UITooltipController&) = delete;
  ~UITooltipController() { Destroy(); }

  // Shows the control's tooltip text ("%{n}" replaced by multi-language string n) for its
  // rectangle, lines broken at its tooltip width. Nothing for a control without a tooltip.
  void Show(NativeWindow owner, CControlUI* control);
  void Hide(NativeWindow owner);
  void Destroy();
  // How long the mouse rests before the tooltip shows: the tooltip's delay once it exists.
  uint32_t HoverDelay(uint32_t fallback) const;
  NativeWindow GetTooltipWindow() const { return tooltip_; }

 private:
  NativeWindow tooltip_ = nullptr;
};

}  // namespace SkinUI
