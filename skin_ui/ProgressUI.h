#pragma once
// A bar: the fore picture covers the part of the control that the value fills of the range,
// from the left (horizontal) or from the bottom. Background colour, picture, border and round
// corners are the control's own, so a round-cornered colour makes the track.

#include <cstdint>

#include "skin_ui/LabelUI.h"

namespace SkinUI {

// Where the fore picture goes, relative to the control's left-top, for a control of `size`.
// A range whose minimum is not below its maximum is taken as one step wide, the value is kept
// inside the range, and the arithmetic cannot overflow whatever the numbers.
UIRect ProgressFillRect(int32_t minimum, int32_t maximum, int32_t value, UISize size, bool horizontal);

class CProgressUI : public CLabelUI {
 public:
  CProgressUI();
  const wchar_t* GetClass() const override { return L"Progress"; }
  void* GetInterface(const wchar_t* name) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  void PaintStateImage(NativeDC dc) override;

  bool IsHorizontal() const { return horizontal_; }
  void SetHorizontal(bool horizontal) { ChangeAndInvalidate(horizontal_, horizontal); }
  int32_t GetMinValue() const { return minimum_; }
  void SetMinValue(int32_t minimum) { ChangeAndInvalidate(minimum_, minimum); }
  int32_t GetMaxValue() const { return maximum_; }
  void SetMaxValue(int32_t maximum) { ChangeAndInvalidate(maximum_, maximum); }
  int32_t GetValue() const { return value_; }
  // Kept to at most the maximum, then to at least the minimum.
  void SetValue(int32_t value);

 private:
  bool horizontal_ = true;
  int32_t minimum_ = 0;
  int32_t maximum_ = 100;
  int32_t value_ = 0;
};

}  // namespace SkinUI
