#include "skin_ui/TextUI.h"

#include <cwchar>

#include "skin_ui/NativeWindowOps.h"
#include "skin_ui/SkinRenderer.h"
#include "skin_ui/WindowManagerUI.h"

namespace SkinUI {

CTextUI::CTextUI() {
  textStyle_ = kTextWordBreak;
  textPadding_ = UIRect{2, 0, 2, 0};
}

void* CTextUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"Text") == 0) return this;
  return CLabelUI::GetInterface(name);
}

uint32_t CTextUI::GetControlTraits() const { return IsEnabled() && linkCount_ > 0 ? uint32_t{kControlTraitSetCursor} : 0u; }

const CUIString* CTextUI::GetLinkTarget(int index) const {
  return index >= 0 && index < linkCount_ ? &targets_[index] : nullptr;
}

const UIRect* CTextUI::GetLinkRect(int index) const {
  return index >= 0 && index < linkCount_ ? &links_[index] : nullptr;
}

int CTextUI::LinkAt(UIPoint point) const {
  for (int i = 0; i < linkCount_; ++i)
    if (links_[i].Contains(point)) return i;
  return -1;
}

void CTextUI::HandleEvent(UIEvent& event) {
  if (PassMouseToParent(event)) return;
  const int link = LinkAt(event.mouse);
  switch (event.type) {
    case kEventSetCursor:
      if (link < 0) break;
      native::SetHandCursor();
      return;
    case kEventButtonDown:
    case kEventDblClick:
      if (link < 0 || !IsEnabled()) break;
      Invalidate();
      return;
    case kEventButtonUp:
      if (link < 0 || !IsEnabled()) break;
      SendNotify(kNotifyLink, static_cast<uintptr_t>(link));
      return;
    case kEventContextMenu:
      return;
    case kEventMouseMove:
      if (linkCount_ == 0 || !IsEnabled()) break;
      if (link != hoveredLink_) {
        hoveredLink_ = link;
        Invalidate();
      }
      return;
    case kEventMouseLeave:
      if (linkCount_ == 0 || !IsEnabled()) break;
      if (hoveredLink_ >= 0 && link == hoveredLink_) {
        // Another control took the hover while the pointer still rests on the link.
        if (manager_) manager_->AddMouseLeaveNeeded(this);
        return;
      }
      hoveredLink_ = -1;
      Invalidate();
      if (manager_) manager_->RemoveMouseLeaveNeeded(this);
      return;
    default:
      break;
  }
  CLabelUI::HandleEvent(event);
}

void CTextUI::PaintText(NativeDC dc) {
  ResolveTextColors();
  if (text_.IsEmpty() || !manager_) {
    linkCount_ = 0;
    return;
  }
  const UIColor color = IsEnabled() ? textColor_ : disabledTextColor_;
  UIRect rect = TextRect();
  if (showHtml_) {
    linkCount_ = kMaxLinks;
    CSkinRenderer::DrawMarkupText(dc, *manager_, rect, text_, color, links_, targets_, linkCount_, font_, textStyle_);
  } else {
    linkCount_ = 0;
    CSkinRenderer::DrawPlainText(dc, *manager_, rect, text_, color, font_, textStyle_);
  }
}

}  // namespace SkinUI
