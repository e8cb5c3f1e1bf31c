#pragma once
// Static text: a label draws its text in its font, colour and style inside its padding, as
// plain text or inline markup, and estimates its own size from the text when the skin leaves
// the width (single line) or the height (multi line) open. Text effects are accepted as
// attributes and not drawn.

#include <cstdint>

#include "skin_ui/ControlUI.h"
#include "skin_ui/TextFormat.h"

namespace SkinUI {

class CLabelUI : public CControlUI {
 public:
  const wchar_t* GetClass() const override { return L"Label"; }
  void* GetInterface(const wchar_t* name) override;
  void SetText(const wchar_t* text) override;
  void SetFixedWidth(int32_t width) override;
  void SetFixedHeight(int32_t height) override;
  void HandleEvent(UIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  UISize MeasureSize(UISize available) override;
  void PaintText(NativeDC dc) override;

  UIColor GetTextColor() const { return textColor_; }
  void SetTextColor(UIColor color) { ChangeAndInvalidate(textColor_, color); }
  UIColor GetDisabledTextColor() const { return disabledTextColor_; }
  void SetDisabledTextColor(UIColor color) { ChangeAndInvalidate(disabledTextColor_, color); }
  int GetFont() const { return font_; }
  void SetFont(int font);
  uint32_t GetTextStyle() const { return textStyle_; }
  void SetTextStyle(uint32_t style);
  UIRect GetTextPadding() const { return textPadding_; }
  // Virtual for controls that place something over their text area.
  virtual void SetTextPadding(UIRect padding);
  bool IsShowHtml() const { return showHtml_; }
  void SetShowHtml(bool showHtml);
  // Word break instead of a single line.
  bool IsMultiLine() const { return (textStyle_ & kTextSingleLine) == 0; }
  void SetMultiLine(bool multiLine);

 protected:
  // Unset text colours become the window's defaults, once and for good.
  void ResolveTextColors();
  UIRect TextRect() const;
  // The estimate of a control one line of its font high: the fixed size when the height is
  // fixed, else the fixed width (0 takes a share of the layout) by the font height + 8.
  UISize MeasureFontLine() const;
  // The text in `rect`, in `color`, with the label's font and style; markup without links.
  void DrawText(NativeDC dc, const UIRect& rect, UIColor color);
  void NeedEstimate() { needsEstimate_ = true; }
  // A control that ignores the mouse hands mouse events to its parent: true when it did.
  bool PassMouseToParent(UIEvent& event);

  UIColor textColor_ = 0;
  UIColor disabledTextColor_ = 0;
  int font_ = -1;
  uint32_t textStyle_ = kTextVCenter | kTextSingleLine;
  UIRect textPadding_;
  bool showHtml_ = false;

 private:
  UISize estimateAvailable_;
  UISize estimate_;
  bool needsEstimate_ = true;
};

}  // namespace SkinUI
