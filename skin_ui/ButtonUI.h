#pragma once
// An image button: pictures for its normal, hot, pushed, focused and disabled looks (ButtonLook.h
// chooses), text colours that follow the state, an optional fade between normal and hot on
// control timer 11, and "click" when it is released over itself or Enter or space is pressed
// while it has the focus.

#include <cstdint>

#include "skin_ui/ButtonLook.h"
#include "skin_ui/LabelUI.h"

namespace SkinUI {

class CButtonUI : public CLabelUI {
 public:
  static constexpr uint32_t kFadeTimer = 11;
  static constexpr uint32_t kFadeIntervalMs = 30;

  CButtonUI();
  const wchar_t* GetClass() const override { return L"Button"; }
  void* GetInterface(const wchar_t* name) override;
  uint32_t GetControlTraits() const override;
  bool Activate() override;
  void SetEnabled(bool enabled = true) override;
  void HandleEvent(UIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  UISize MeasureSize(UISize available) override;
  void PaintStateImage(NativeDC dc) override;
  void PaintText(NativeDC dc) override;

  uint32_t GetButtonState() const { return state_; }
  const CUIString& GetPicture(ButtonPicture picture) const { return PictureInfo(picture).GetDescription(); }
  void SetPicture(ButtonPicture picture, const wchar_t* description);
  // One picture of five equal strips side by side: normal, pushed, hot, focused, disabled.
  void SetFiveStatusImage(const wchar_t* description);
  UIColor GetHotBkColor() const { return hotBkColor_; }
  void SetHotBkColor(UIColor color) { ChangeAndInvalidate(hotBkColor_, color); }
  UIColor GetHotTextColor() const { return hotTextColor_; }
  void SetHotTextColor(UIColor color) { ChangeAndInvalidate(hotTextColor_, color); }
  UIColor GetPushedTextColor() const { return pushedTextColor_; }
  void SetPushedTextColor(UIColor color) { ChangeAndInvalidate(pushedTextColor_, color); }
  UIColor GetFocusedTextColor() const { return focusedTextColor_; }
  void SetFocusedTextColor(UIColor color) { ChangeAndInvalidate(focusedTextColor_, color); }
  // Alpha per timer tick of the fade between the normal and the hot picture; 0 does not fade.
  uint8_t GetFadeStep() const { return fadeStep_; }
  void SetFadeStep(int32_t step);
  uint8_t GetFadeAlpha() const { return fadeAlpha_; }

 protected:
  // The focused and disabled bits from the control's own state.
  void RefreshStateBits();
  ButtonLookInput LookInput();
  // Draws the pictures and fills of `look`.
  void PaintLook(NativeDC dc, const ButtonLook& look, UIColor selectedColor);
  UIDrawInfo& PictureInfo(ButtonPicture picture);
  const UIDrawInfo& PictureInfo(ButtonPicture picture) const {
    return const_cast<CButtonUI*>(this)->PictureInfo(picture);
  }

  uint32_t state_ = 0;

 private:
  void StartFade();
  void FadeTick();

  // Indexed by ButtonPicture; the fore picture is the control's own, the selected ones are an
  // option's.
  UIDrawInfo pictures_[static_cast<int>(ButtonPicture::kCount)];
  UIColor hotBkColor_ = 0;
  UIColor hotTextColor_ = 0;
  UIColor pushedTextColor_ = 0;
  UIColor focusedTextColor_ = 0;
  uint8_t fadeStep_ = 0;
  uint8_t fadeAlpha_ = 255;
};

}  // namespace SkinUI
