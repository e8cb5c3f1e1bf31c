#include "skin_ui/EditRules.h"

#include <cwchar>

#include "skin_ui/TextFormat.h"
#include "skin_ui/ValueSyntax.h"

namespace SkinUI {

UIRect PlaceEditField(const UIRect& item, const UIRect& textPadding, int32_t fontHeight) {
  UIRect rect = Inset(item, textPadding);
  const int32_t height = rect.Height();
  if (fontHeight > 0 && fontHeight < height) {
    rect.top = Saturate(int64_t{rect.top} + (int64_t{height} - fontHeight) / 2);
    rect.bottom = Saturate(int64_t{rect.top} + fontHeight);
  }
  return rect;
}

uint32_t EditFieldStyle(uint32_t ownerEditBits, uint32_t textStyle, bool password) {
  uint32_t style = kEditStyleChild | kEditStyleAutoHScroll | ownerEditBits;
  if (textStyle & kTextCenter)
    style |= kEditStyleCenter;
  else if (textStyle & kTextRight)
    style |= kEditStyleRight;
  if (password) style |= kEditStylePassword;
  return style;
}

namespace {

// The edit class aligns with the text-drawing bits, so a rich edit takes "align" as a label does.
static_assert(uint32_t{kEditStyleCenter} == uint32_t{kTextCenter} && uint32_t{kEditStyleRight} == uint32_t{kTextRight});

// A style attribute: its name, the bits "true" sets, and whether "false" clears them (only
// "multiline", whose bit is on from the start, is switched off).
struct StyleAttribute {
  const wchar_t* name;
  uint32_t bits;
  bool falseClears;
};

constexpr StyleAttribute kRichEditStyleAttributes[] = {
    {L"vscrollbar", kEditStyleVScrollBar, false}, {L"autovscroll", kEditStyleAutoVScroll, false},
    {L"hscrollbar", kEditStyleHScrollBar, false}, {L"autohscroll", kEditStyleAutoHScroll, false},
    {L"multiline", kEditStyleMultiLine, true},    {L"readonly", kEditStyleReadOnly, false},
    {L"password", kEditStylePassword, false},
};

}  // namespace

bool ApplyRichEditStyleAttribute(const wchar_t* name, const wchar_t* value, uint32_t& style) {
  if (!name || !value) return false;
  if (wcscmp(name, L"align") == 0) {
    style = StyleForAlign(style, value);
    return true;
  }
  for (const StyleAttribute& entry : kRichEditStyleAttributes) {
    if (wcscmp(name, entry.name) != 0) continue;
    if (ParseBool(value))
      style |= entry.bits;
    else if (entry.falseClears && wcscmp(value, L"false") == 0)
      style &= ~entry.bits;
    return true;
  }
  return false;
}

bool RichEditTakesEnter(bool wantReturn, bool wantCtrlReturn, bool controlDown) {
  return wantReturn && (!controlDown || wantCtrlReturn);
}

}  // namespace SkinUI
