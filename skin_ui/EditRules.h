#pragma once
// The edit controls' rules that need no windowing system: where the native edit field goes over
// an edit's text area, the style bits it is made with, the style bits of the rich edit's
// attributes, and who gets an Enter typed into a rich edit.

#include <cstdint>

#include "skin_ui/UIDefs.h"

namespace SkinUI {

// Edit-field style bits, as the platform's edit class takes them.
enum : uint32_t {
  kEditStyleCenter = 0x0001,
  kEditStyleRight = 0x0002,
  kEditStyleMultiLine = 0x0004,
  kEditStylePassword = 0x0020,
  kEditStyleAutoVScroll = 0x0040,
  kEditStyleAutoHScroll = 0x0080,
  kEditStyleReadOnly = 0x0800,
  kEditStyleNumber = 0x2000,
  kEditStyleChild = 0x40000000,
  // The window's scroll-bar bits, with the number bit the rich edit's attributes add to them.
  kEditStyleVScrollBar = 0x200000 | kEditStyleNumber,
  kEditStyleHScrollBar = 0x100000 | kEditStyleNumber,
};

// The field's rectangle inside the item rectangle: the text area, narrowed
// to `fontHeight` around its middle when the font is smaller (a font height of 0 or less means
// unmeasured, and nothing is narrowed).
UIRect PlaceEditField(const UIRect& item, const UIRect& textPadding, int32_t fontHeight);

// The field's window style: a child with automatic horizontal scrolling, the owner's own edit
// bits, centred or right-aligned after the owner's text style (kTextCenter, kTextRight), and
// the password style for a password field.
uint32_t EditFieldStyle(uint32_t ownerEditBits, uint32_t textStyle, bool password);

// The rich edit's window style after one attribute: the bits `name` with `value` sets or
// clears in `style`. False when `name` is not a style attribute.
bool ApplyRichEditStyleAttribute(const wchar_t* name, const wchar_t* value, uint32_t& style);

// Whether an Enter key-down goes to the text services (true) or becomes the "return"
// notification (false).
bool RichEditTakesEnter(bool wantReturn, bool wantCtrlReturn, bool controlDown);

}  // namespace SkinUI
