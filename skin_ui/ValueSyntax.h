#pragma once
// The value syntax every skin attribute shares: signed decimal numbers, lists of numbers with
// any single separator character, booleans and colours.

#include <cstdint>

#include "skin_ui/UIDefs.h"

namespace SkinUI {

// Leading whitespace and a sign are allowed; reading stops at the first non-digit; no digits
// read as 0. Values beyond the 32-bit range are clamped. `end` (optional) receives the position
// after the last character read.
int32_t ParseNumber(const wchar_t* text, const wchar_t** end = nullptr);

// Reads `count` numbers: each after the previous one and one separator character. Missing
// numbers are 0; reading never passes the terminator. Returns how many numbers had digits.
int ParseNumberList(const wchar_t* text, int32_t* out, int count);
UIRect ParseRect(const wchar_t* text);
UISize ParseSize(const wchar_t* text);

// True only for "true"; `anyCase` also accepts other letter cases ("TRUE", "True").
bool ParseBool(const wchar_t* text, bool anyCase = false);

// An optional '#', then hexadecimal digits as 0xAARRGGBB (saturating at 0xFFFFFFFF).
UIColor ParseColor(const wchar_t* text);

// Four fractions for a float ratio: each read as a floating-point number after one separator
// character; missing ones are 0.
void ParseFractions(const wchar_t* text, double out[4]);

}  // namespace SkinUI
