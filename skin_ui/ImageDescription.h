#pragma once
// Image descriptions: the texts the skins put in `bkimage`, `normalimage` and the other image
// attributes, such as  file='img/checked.png' dest='0,8,14,22'  or a bare file name. The scanner
// is pure text processing and never reads past the terminator.

#include <cstdint>

#include "skin_ui/UIDefs.h"
#include "skin_ui/UIString.h"

namespace SkinUI {

// The resource type that makes an image name a colour ("#FF4858EC" gives a 1 × 1 picture).
inline constexpr wchar_t kColorImageType[] = L"*COLOR*";

struct UIImageDescription {
  CUIString name;  // archive entry or file, resource name, or colour
  CUIString type;  // empty for a file; the resource type for `res`; kColorImageType for `color`
  UIColor mask = 0;
  UIRect dest;    // relative to the control's left-top; all zero = the whole control
  UIRect source;  // in image pixels; all zero = the whole image
  UIRect corner;  // nine-grid insets in image pixels
  uint8_t fade = 255;
  bool hole = false;
  bool xtiled = false;
  bool ytiled = false;
  bool hsl = false;
};

// Scans `text` (may be null) into `out`, which starts from the defaults with the whole text as
// the name. Items are  key='value'  pairs; the scan stops at the first malformed item, and goes
// on after an item only when a space and more text follow its closing quote. Unknown keys and
// empty values are ignored.
void ParseImageDescription(const wchar_t* text, UIImageDescription& out);

}  // namespace SkinUI
