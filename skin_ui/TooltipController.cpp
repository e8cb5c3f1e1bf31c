#include "skin_ui/TooltipController.h"

#include "skin_ui/ControlUI.h"
#include "skin_ui/NativeWindowOps.h"
#include "skin_ui/SkinResources.h"

namespace SkinUI {

void UITooltipController::Show(NativeWindow owner, CControlUI* control) {
  if (!owner || !control || control->GetToolTip().IsEmpty()) return;
  const CUIString text = CSkinResources::Shared().ExpandMultiLanguage(control->GetToolTip());
  if (!tooltip_) tooltip_ = native::CreateTooltip(owner);
  if (!tooltip_) return;
  native::ShowTooltip(tooltip_, owner, text, control->GetPos(), control->GetToolTipWidth());
}

void UITooltipController::Hide(NativeWindow owner) {
  if (tooltip_) native::HideTooltip(tooltip_, owner);
}

void UITooltipController::Destroy() {
  if (tooltip_) native::DestroyTooltip(tooltip_);
  tooltip_ = nullptr;
}

uint32_t UITooltipController::HoverDelay(uint32_t fallback) const {
  return tooltip_ ? native::TooltipInitialDelay(tooltip_) : fallback;
}

}  // namespace SkinUI
