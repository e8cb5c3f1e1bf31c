#include "skin_ui/LabelUI.h"

#include <cwchar>

#include "skin_ui/AttributeTable.h"
#include "skin_ui/SkinRenderer.h"
#include "skin_ui/WindowManagerUI.h"

namespace SkinUI {

namespace {

void SetAlign(CLabelUI& label, const wchar_t* value) {
  label.SetTextStyle(StyleForAlign(label.GetTextStyle(), value));
}

void SetVAlign(CLabelUI& label, const wchar_t* value) {
  label.SetTextStyle(StyleForVAlign(label.GetTextStyle(), value));
}

void SetEndEllipsis(CLabelUI& label, const wchar_t* value) {
  const uint32_t style = label.GetTextStyle();
  label.SetTextStyle(ParseBool(value) ? style | kTextEndEllipsis : style & ~kTextEndEllipsis);
}

void SetMultiLineAttribute(CLabelUI& label, const wchar_t* value) { label.SetMultiLine(wcscmp(value, L"true") == 0); }

// Text effects are not drawn; their attributes are known, so that they do not end up as
// custom attributes.
void IgnoreEffect(CLabelUI&, const wchar_t*) {}

using attr::Set;

constexpr UIAttribute<CLabelUI> kLabelAttributes[] = {
    {L"align", SetAlign},
    {L"valign", SetVAlign},
    {L"endellipsis", SetEndEllipsis},
    {L"font", Set<&CLabelUI::SetFont, attr::Number>},
    {L"textcolor", Set<&CLabelUI::SetTextColor, attr::Color>},
    {L"disabledtextcolor", Set<&CLabelUI::SetDisabledTextColor, attr::Color>},
    {L"textpadding", Set<&CLabelUI::SetTextPadding, attr::Rect>},
    {L"multiline", SetMultiLineAttribute},
    {L"showhtml", Set<&CLabelUI::SetShowHtml, attr::Bool>},
    {L"enabledeffect", IgnoreEffect},
    {L"enabledluminous", IgnoreEffect},
    {L"luminousfuzzy", IgnoreEffect},
    {L"gradientangle", IgnoreEffect},
    {L"enabledstroke", IgnoreEffect},
    {L"enabledshadow", IgnoreEffect},
    {L"gradientlength", IgnoreEffect},
    {L"shadowoffset", IgnoreEffect},
    {L"textcolor1", IgnoreEffect},
    {L"textshadowcolora", IgnoreEffect},
    {L"textshadowcolorb", IgnoreEffect},
    {L"strokecolor", IgnoreEffect},
};

}  // namespace

void* CLabelUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"Label") == 0) return this;
  return CControlUI::GetInterface(name);
}

void CLabelUI::SetText(const wchar_t* text) {
  CControlUI::SetText(text);
  NeedEstimate();
}

void CLabelUI::SetFixedWidth(int32_t width) {
  CControlUI::SetFixedWidth(width);
  NeedEstimate();
}

void CLabelUI::SetFixedHeight(int32_t height) {
  CControlUI::SetFixedHeight(height);
  NeedEstimate();
}

void CLabelUI::SetFont(int font) {
  NeedEstimate();
  ChangeAndInvalidate(font_, font);
}

void CLabelUI::SetTextStyle(uint32_t style) { ChangeAndInvalidate(textStyle_, style); }

void CLabelUI::SetTextPadding(UIRect padding) {
  NeedEstimate();
  ChangeAndInvalidate(textPadding_, padding);
}

void CLabelUI::SetShowHtml(bool showHtml) {
  NeedEstimate();
  ChangeAndInvalidate(showHtml_, showHtml);
}

void CLabelUI::SetMultiLine(bool multiLine) {
  NeedEstimate();
  SetTextStyle(multiLine ? (textStyle_ | kTextWordBreak) & ~kTextSingleLine : textStyle_ | kTextSingleLine);
}

void CLabelUI::HandleEvent(UIEvent& event) {
  if (event.type == kEventSetFocus || event.type == kEventKillFocus) {
    focused_ = event.type == kEventSetFocus;
    return;
  }
  CControlUI::HandleEvent(event);
}

bool CLabelUI::PassMouseToParent(UIEvent& event) {
  if (!IsMouseEvent(event.type) || IsMouseEnabled()) return false;
  if (parent_) parent_->HandleEvent(event);
  return true;
}

void CLabelUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!ApplyAttribute(kLabelAttributes, *this, name, value)) CControlUI::SetAttribute(name, value);
}

UISize CLabelUI::MeasureSize(UISize available) {
  if (fixedWidth_ > 0 && fixedHeight_ > 0) return UISize{fixedWidth_, fixedHeight_};
  if (IsMultiLine() && available != estimateAvailable_) needsEstimate_ = true;
  if (!needsEstimate_) return estimate_;
  estimateAvailable_ = available;
  needsEstimate_ = false;
  UISize size{fixedWidth_, fixedHeight_};
  if (!manager_) return estimate_ = size;
  const UIRect& pad = textPadding_;
  if (!IsMultiLine()) {
    if (size.cy == 0)
      size.cy = Saturate(int64_t{pad.top} + manager_->GetFontMetrics(font_).height + pad.bottom + 8);
    if (size.cx == 0) {
      const UIRect measured = CSkinRenderer::MeasureText(*manager_, UIRect{0, 0, 9999, size.cy}, text_, font_,
                                                         (textStyle_ & ~(kTextCenter | kTextRight)) | kTextCalcRect,
                                                         showHtml_);
      size.cx = Saturate(int64_t{pad.left} + pad.right + measured.Width());
    }
  } else {
    if (size.cx == 0) size.cx = available.cx;
    const UIRect measured = CSkinRenderer::MeasureText(*manager_, UIRect{pad.left, 0, Saturate(int64_t{size.cx} - pad.right), 9999},
                                                       text_, font_, textStyle_ | kTextCalcRect, showHtml_);
    size.cy = Saturate(int64_t{pad.top} + pad.bottom + measured.Height());
  }
  return estimate_ = size;
}

UISize CLabelUI::MeasureFontLine() const {
  if (fixedHeight_ > 0) return UISize{fixedWidth_, fixedHeight_};
  const int32_t fontHeight = manager_ ? manager_->GetFontMetrics(font_).height : 0;
  return UISize{fixedWidth_, Saturate(int64_t{fontHeight} + 8)};
}

void CLabelUI::ResolveTextColors() {
  if (!manager_) return;
  if (textColor_ == 0) textColor_ = manager_->GetDefaultFontColor();
  if (disabledTextColor_ == 0) disabledTextColor_ = manager_->GetDefaultDisabledColor();
}

UIRect CLabelUI::TextRect() const { return Inset(item_, textPadding_); }

void CLabelUI::DrawText(NativeDC dc, const UIRect& rect, UIColor color) {
  UIRect target = rect;
  if (showHtml_) {
    int noLinks = 0;
    CSkinRenderer::DrawMarkupText(dc, *manager_, target, text_, color, nullptr, nullptr, noLinks, font_, textStyle_);
  } else {
    CSkinRenderer::DrawPlainText(dc, *manager_, target, text_, color, font_, textStyle_);
  }
}

void CLabelUI::PaintText(NativeDC dc) {
  ResolveTextColors();
  if (text_.IsEmpty() || !manager_) return;
  DrawText(dc, TextRect(), IsEnabled() ? textColor_ : disabledTextColor_);
}

}  // namespace SkinUI
