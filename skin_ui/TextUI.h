#pragma once
// Word-wrapped text whose inline-markup links can be clicked: each paint collects the links'
// rectangles, the pointer over one of them shows the hand and draws it hovered, and a release
// over link i reports "link" with i.

#include "skin_ui/LabelUI.h"

namespace SkinUI {

class CTextUI : public CLabelUI {
 public:
  static constexpr int kMaxLinks = 8;

  CTextUI();
  const wchar_t* GetClass() const override { return L"Text"; }
  void* GetInterface(const wchar_t* name) override;
  uint32_t GetControlTraits() const override;
  void HandleEvent(UIEvent& event) override;
  void PaintText(NativeDC dc) override;

  int GetLinkCount() const { return linkCount_; }
  // The link's target and its rectangle from the last paint; null past the count.
  const CUIString* GetLinkTarget(int index) const;
  const UIRect* GetLinkRect(int index) const;
  int GetHoveredLink() const { return hoveredLink_; }

 private:
  // The link under `point`, or -1.
  int LinkAt(UIPoint point) const;

  UIRect links_[kMaxLinks];
  CUIString targets_[kMaxLinks];
  int linkCount_ = 0;
  int hoveredLink_ = -1;
};

}  // namespace SkinUI
