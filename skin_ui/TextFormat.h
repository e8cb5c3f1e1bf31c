#pragma once
// What the text-drawing calls share: their style flags (the platform's text-drawing values)
// and the multi-language tokens of displayed texts.

#include <cstddef>
#include <cstdint>

#include "skin_ui/UIString.h"

namespace SkinUI {

enum : uint32_t {
  kTextCenter = 0x0001,
  kTextRight = 0x0002,
  kTextVCenter = 0x0004,
  kTextBottom = 0x0008,
  kTextWordBreak = 0x0010,
  kTextSingleLine = 0x0020,
  kTextCalcRect = 0x0400,
  kTextNoPrefix = 0x0800,
  kTextEndEllipsis = 0x8000,
  kTextRtlReading = 0x20000,  // a paragraph that runs right to left
};

// The style after an "align" value: the first of "left", "center" and "right" found in it sets
// the horizontal bits; none leaves the style as it is.
uint32_t StyleForAlign(uint32_t style, const wchar_t* value);
// The same for "valign" with "top", "vcenter" and "bottom" and the vertical bits.
uint32_t StyleForVAlign(uint32_t style, const wchar_t* value);

// A paragraph runs the way its first letter is written (Hebrew, Arabic and their neighbours
// right to left); digits, spaces, punctuation and symbols take the direction of their
// surroundings, so a text without letters has none of its own.
enum class TextDirection { kNone, kLeftToRight, kRightToLeft };
TextDirection FirstLetterDirection(const wchar_t* text, size_t length);

// The multi-language string with this id, or null.
using MultiLanguageLookup = const wchar_t* (*)(int id);

// `text` with every "%{digits}" replaced by the multi-language string of that number, where one
// exists; other sequences stay as they are. Null gives an empty text.
CUIString ExpandMultiLanguageTokens(const wchar_t* text, MultiLanguageLookup lookup);

}  // namespace SkinUI
