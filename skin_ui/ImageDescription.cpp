#include "skin_ui/ImageDescription.h"

#include <algorithm>

#include "skin_ui/ValueSyntax.h"

namespace SkinUI {

namespace {

bool IsSpace(wchar_t ch) { return ch == L' ' || ch == L'\t' || ch == L'\r' || ch == L'\n'; }

const wchar_t* SkipSpaces(const wchar_t* p) {
  while (IsSpace(*p)) ++p;
  return p;
}

// Where the name of the picture came from; the last of `file`, `res` and `color` wins.
enum class NameSource { kWholeText, kFile, kResource, kColor };

struct ScanState {
  UIImageDescription& out;
  NameSource source = NameSource::kWholeText;
  CUIString resourceType;
};

void ApplyItem(const CUIString& key, const CUIString& value, ScanState& state) {
  UIImageDescription& out = state.out;
  if (key == L"file") {
    out.name = value;
    state.source = NameSource::kFile;
  } else if (key == L"res") {
    out.name = value;
    state.source = NameSource::kResource;
  } else if (key == L"restype") {
    state.resourceType = value;
  } else if (key == L"color") {
    out.name = value;
    state.source = NameSource::kColor;
  } else if (key == L"dest") {
    out.dest = ParseRect(value);
  } else if (key == L"source") {
    out.source = ParseRect(value);
  } else if (key == L"corner" || key == L"scale9") {
    out.corner = ParseRect(value);
  } else if (key == L"mask") {
    out.mask = ParseColor(value);
  } else if (key == L"fade") {
    out.fade = static_cast<uint8_t>(std::clamp(ParseNumber(value), 0, 255));
  } else if (key == L"hole") {
    out.hole = ParseBool(value);
  } else if (key == L"xtiled") {
    out.xtiled = ParseBool(value);
  } else if (key == L"ytiled") {
    out.ytiled = ParseBool(value);
  } else if (key == L"hsl") {
    out.hsl = ParseBool(value);
  }
}

}  // namespace

void ParseImageDescription(const wchar_t* text, UIImageDescription& out) {
  out = UIImageDescription{};
  if (!text) return;
  out.name = text;
  ScanState state{out, NameSource::kWholeText, CUIString()};
  const wchar_t* p = text;
  for (;;) {
    p = SkipSpaces(p);
    const wchar_t* keyStart = p;
    while (*p && *p != L'=' && !IsSpace(*p)) ++p;
    const CUIString key(keyStart, static_cast<int>(p - keyStart));
    p = SkipSpaces(p);
    if (*p != L'=') break;
    p = SkipSpaces(p + 1);
    if (*p != L'\'') break;
    const wchar_t* valueStart = ++p;
    while (*p && *p != L'\'') ++p;
    if (*p != L'\'') break;
    const CUIString value(valueStart, static_cast<int>(p - valueStart));
    ++p;
    if (!value.IsEmpty()) ApplyItem(key, value, state);
    if (p[0] != L' ' || p[1] == L'\0') break;
    ++p;
  }
  if (state.source == NameSource::kResource)
    out.type = state.resourceType;
  else if (state.source == NameSource::kColor)
    out.type = kColorImageType;
}

}  // namespace SkinUI
