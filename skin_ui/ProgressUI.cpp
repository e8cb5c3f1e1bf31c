#include "skin_ui/ProgressUI.h"

#include <algorithm>
#include <cwchar>

#include "skin_ui/AttributeTable.h"
#include "skin_ui/SkinRenderer.h"
#include "skin_ui/WindowManagerUI.h"

namespace SkinUI {

UIRect ProgressFillRect(int32_t minimum, int32_t maximum, int32_t value, UISize size, bool horizontal) {
  // In 64 bits the range is at most 2^32 and a side below 2^31, so the product stays below 2^63.
  const int64_t low = minimum;
  const int64_t high = std::max<int64_t>(maximum, low + 1);
  const int64_t at = std::clamp<int64_t>(value, low, high);
  const int64_t range = high - low;
  const int64_t width = std::max(size.cx, 0);
  const int64_t height = std::max(size.cy, 0);
  if (horizontal) return UIRect{0, 0, static_cast<int32_t>(width * (at - low) / range), size.cy};
  return UIRect{0, static_cast<int32_t>((high - at) * height / range), size.cx, size.cy};
}

namespace {

using attr::Set;

void SetForeImageAttribute(CProgressUI& progress, const wchar_t* value) { progress.SetForeImage(value); }

constexpr UIAttribute<CProgressUI> kProgressAttributes[] = {
    {L"foreimage", SetForeImageAttribute},
    {L"hor", Set<&CProgressUI::SetHorizontal, attr::Bool>},
    {L"min", Set<&CProgressUI::SetMinValue, attr::Number>},
    {L"max", Set<&CProgressUI::SetMaxValue, attr::Number>},
    {L"value", Set<&CProgressUI::SetValue, attr::Number>},
};

}  // namespace

CProgressUI::CProgressUI() {
  textStyle_ = kTextCenter | kTextSingleLine;
  fixedHeight_ = 12;
}

void* CProgressUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"Progress") == 0) return this;
  return CLabelUI::GetInterface(name);
}

void CProgressUI::SetValue(int32_t value) {
  value_ = std::max(std::min(value, maximum_), minimum_);
  Invalidate();
}

void CProgressUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!ApplyAttribute(kProgressAttributes, *this, name, value)) CLabelUI::SetAttribute(name, value);
}

void CProgressUI::PaintStateImage(NativeDC dc) {
  if (!manager_) return;
  UIDrawAdjust adjust;
  adjust.replaceDest = true;
  adjust.dest = ProgressFillRect(minimum_, maximum_, value_, UISize{item_.Width(), item_.Height()}, horizontal_);
  CSkinRenderer::DrawImage(dc, *manager_, item_, paintRect_, foreImage_, adjust);
}

}  // namespace SkinUI
