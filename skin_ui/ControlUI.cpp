#include "skin_ui/ControlUI.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cwchar>
#include <optional>

#include "skin_ui/AttributeTable.h"
#include "skin_ui/NativeWindowOps.h"
#include "skin_ui/SkinRenderer.h"
#include "skin_ui/ValueSyntax.h"
#include "skin_ui/WindowManagerUI.h"

namespace SkinUI {

int32_t ScaleByFraction(int32_t length, double fraction) {
  const double scaled = std::trunc(static_cast<double>(length) * fraction);
  if (!(scaled > INT_MIN)) return INT_MIN;  // also NaN
  if (scaled > INT_MAX) return INT_MAX;
  return static_cast<int32_t>(scaled);
}

void CEventSource::operator-=(const CDelegateBase& delegate) {
  for (auto it = delegates_.begin(); it != delegates_.end(); ++it) {
    if ((*it)->Equals(delegate)) {
      delegates_.erase(it);
      return;
    }
  }
}

bool CEventSource::operator()(void* param) {
  for (size_t i = 0; i < delegates_.size(); ++i)
    if (!delegates_[i]->Invoke(param)) return false;
  return true;
}

CControlUI::CControlUI() = default;

void CControlUI::Delete() {
  if (manager_) manager_->RemoveMouseLeaveNeeded(this);
  delete this;
}

CControlUI::~CControlUI() {
  delete cover_;
  cover_ = nullptr;
  RemoveAllCustomAttributes();
  OnDestroy(this);
  if (manager_) manager_->ForgetControl(this);
}

void CControlUI::SetName(const wchar_t* name) {
  if (name_ == (name ? name : L"")) return;
  const CUIString old = name_;
  name_ = name;
  if (manager_) manager_->RenameControl(this, old, name_);
}

void* CControlUI::GetInterface(const wchar_t* name) {
  return name && wcscmp(name, L"Control") == 0 ? this : nullptr;
}

bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }

void CControlUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init) {
  if (cover_) cover_->SetManager(manager, this, init);
  manager_ = manager;
  parent_ = parent;
  if (init && parent_) Init();
}

void CControlUI::SetCover(CControlUI* cover) {
  if (cover_ == cover) return;
  delete cover_;
  cover_ = cover;
  if (!cover_) return;
  cover_->SetManager(manager_, this, manager_ != nullptr);
  if (IsVisible())
    MarkForLayout();
  else
    cover_->SetParentVisible(false);
}

void CControlUI::SetText(const wchar_t* text) { ChangeAndInvalidate(text_, CUIString(text)); }

UIRect CControlUI::GetParentRelativeRect() const {
  if (!parent_) return UIRect{};
  UIRect rect = item_;
  const UIRect& parent = parent_->GetPos();
  rect.Offset(-int64_t{parent.left}, -int64_t{parent.top});
  return rect;
}

bool CControlUI::ClipToAncestors(UIRect& area) const {
  for (const CControlUI* ancestor = parent_; ancestor; ancestor = ancestor->GetParent()) {
    if (!ancestor->IsVisible()) return false;
    if (!area.Intersect(ancestor->GetPos())) return false;
  }
  return true;
}

void CControlUI::SetPos(UIRect rect, bool invalidate) {
  if (rect.right < rect.left) rect.right = rect.left;
  if (rect.bottom < rect.top) rect.bottom = rect.top;
  UIRect invalid = item_.IsEmpty() ? rect : item_;

  if (float_ && parent_) {
    const UIRect& parent = parent_->GetPos();
    const int32_t w = parent.Width();
    const int32_t h = parent.Height();
    item_ = rect;
    item_.Offset(parent.left, parent.top);
    fixedXY_.cx = Saturate(int64_t{rect.left} - ScaleByFraction(w, floatPercent_.left));
    fixedXY_.cy = Saturate(int64_t{rect.top} - ScaleByFraction(h, floatPercent_.top));
    fixedWidth_ = Saturate(int64_t{rect.right} - ScaleByFraction(w, floatPercent_.right) - fixedXY_.cx);
    fixedHeight_ = Saturate(int64_t{rect.bottom} - ScaleByFraction(h, floatPercent_.bottom) - fixedXY_.cy);
  } else {
    item_ = rect;
  }
  if (!manager_) return;
  if (!inSizeHandlers_) {
    inSizeHandlers_ = true;
    OnSize(this);
    inSizeHandlers_ = false;
  }
  updateNeeded_ = false;

  if (invalidate && IsVisible()) {
    invalid.Join(item_);
    if (ClipToAncestors(invalid)) manager_->Invalidate(invalid);
  }

  if (cover_ && cover_->IsVisible()) {
    const int32_t w = item_.Width();
    const int32_t h = item_.Height();
    UIRect place;
    if (cover_->IsFloat()) {
      const UISize xy = cover_->GetFloatOffset();
      const UIFloatPercent pct = cover_->GetFloatRatio();
      place = UIRect{Saturate(int64_t{ScaleByFraction(w, pct.left)} + xy.cx),
                     Saturate(int64_t{ScaleByFraction(h, pct.top)} + xy.cy),
                     Saturate(int64_t{ScaleByFraction(w, pct.right)} + xy.cx + cover_->GetFixedWidth()),
                     Saturate(int64_t{ScaleByFraction(h, pct.bottom)} + xy.cy + cover_->GetFixedHeight())};
    } else {
      const int32_t cw = std::max(cover_->GetMinWidth(), std::min(w, cover_->GetMaxWidth()));
      const int32_t ch = std::max(cover_->GetMinHeight(), std::min(h, cover_->GetMaxHeight()));
      place = UIRect{item_.left, item_.top, Saturate(int64_t{item_.left} + cw), Saturate(int64_t{item_.top} + ch)};
    }
    cover_->SetPos(place, false);
  }
}

void CControlUI::Move(UISize offset, bool invalidate) {
  UIRect invalid = item_;
  item_.Offset(offset.cx, offset.cy);
  if (invalidate && manager_ && IsVisible()) {
    invalid.Join(item_);
    if (ClipToAncestors(invalid)) manager_->Invalidate(invalid);
  }
  if (cover_ && cover_->IsVisible()) cover_->Move(offset, false);
}

void CControlUI::SetPadding(UIRect padding) {
  padding_ = padding;
  MarkParentForLayout();
}

void CControlUI::SetFloatOffset(UISize offset) {
  fixedXY_ = offset;
  MarkParentForLayout();
}

void CControlUI::SetFloatRatio(UIFloatPercent ratio) {
  floatPercent_ = ratio;
  MarkParentForLayout();
}

void CControlUI::SetFixedWidth(int32_t width) {
  if (width < 0) return;
  fixedWidth_ = width;
  MarkParentForLayout();
}

void CControlUI::SetFixedHeight(int32_t height) {
  if (height < 0) return;
  fixedHeight_ = height;
  MarkParentForLayout();
}

void CControlUI::SetMinWidth(int32_t width) {
  if (width < 0 || width == minWidth_) return;
  minWidth_ = width;
  MarkParentForLayout();
}

int32_t CControlUI::GetMaxWidth() const { return std::max(maxWidth_, minWidth_); }

void CControlUI::SetMaxWidth(int32_t width) {
  if (width < 0 || width == maxWidth_) return;
  maxWidth_ = width;
  MarkParentForLayout();
}

void CControlUI::SetMinHeight(int32_t height) {
  if (height < 0 || height == minHeight_) return;
  minHeight_ = height;
  MarkParentForLayout();
}

int32_t CControlUI::GetMaxHeight() const { return std::max(maxHeight_, minHeight_); }

void CControlUI::SetMaxHeight(int32_t height) {
  if (height < 0 || height == maxHeight_) return;
  maxHeight_ = height;
  MarkParentForLayout();
}

void CControlUI::SetToolTip(const wchar_t* text) {
  tooltip_ = text;
  tooltip_.Replace(L"<n>", L"\r\n");
}

void CControlUI::SetVisible(bool visible) {
  if (visible_ == visible) return;
  const bool wasVisible = IsVisible();
  visible_ = visible;
  focused_ = false;
  if (!visible_ && manager_ && manager_->GetFocus() == this) manager_->SetFocus(nullptr);
  if (IsVisible() != wasVisible) MarkParentForLayout();
  if (cover_) cover_->SetParentVisible(IsVisible());
}

void CControlUI::SetParentVisible(bool visible) {
  internVisible_ = visible;
  if (!IsVisible() && manager_ && manager_->GetFocus() == this) manager_->SetFocus(nullptr);
  if (cover_) cover_->SetParentVisible(IsVisible());
}

void CControlUI::SetEnabled(bool enabled) { ChangeAndInvalidate(enabled_, enabled); }

void CControlUI::SetFocus() {
  if (manager_) manager_->SetFocus(this);
}

void CControlUI::SetFloat(bool isFloat) {
  if (float_ == isFloat) return;
  float_ = isFloat;
  MarkParentForLayout();
}

CControlUI* CControlUI::FindControl(FindControlProc proc, void* data, uint32_t flags) {
  if ((flags & kFindVisible) && !IsVisible()) return nullptr;
  if ((flags & kFindEnabled) && !IsEnabled()) return nullptr;
  const bool hitTest = (flags & kFindHitTest) != 0;
  if (hitTest && !item_.Contains(*static_cast<UIPoint*>(data))) return nullptr;
  if ((flags & kFindUpdateTest) && proc(this, data)) return nullptr;
  // In hit-test mode a control that ignores the mouse is never the answer itself.
  const bool mayAnswer = !hitTest || mouseEnabled_;
  if ((flags & kFindMeFirst) && mayAnswer) {
    if (CControlUI* found = proc(this, data)) return found;
  }
  if (cover_) {
    if (CControlUI* found = cover_->FindControl(proc, data, flags)) return found;
  }
  if (!(flags & kFindMeFirst) && mayAnswer) return proc(this, data);
  return nullptr;
}

void CControlUI::Init() {
  InitControl();
  OnInit(this);
}

void CControlUI::Event(UIEvent& event) {
  if (OnEvent(&event)) HandleEvent(event);
}

void CControlUI::HandleEvent(UIEvent& event) {
  switch (event.type) {
    case kEventSetCursor:
      native::SetArrowCursor();
      return;
    case kEventSetFocus:
      focused_ = true;
      Invalidate();
      return;
    case kEventKillFocus:
      focused_ = false;
      Invalidate();
      return;
    case kEventTimer:
      SendNotify(kNotifyTimer, event.wParam, event.lParam);
      return;
    case kEventContextMenu:
      if (menuUsed_) {
        SendNotify(kNotifyMenu, event.wParam, event.lParam);
        return;
      }
      break;
    default:
      break;
  }
  if (parent_) parent_->HandleEvent(event);
}

void CControlUI::SendNotify(const wchar_t* type, uintptr_t wParam, uintptr_t lParam) {
  if (manager_) manager_->SendNotification(this, type, wParam, lParam, false, false);
}

namespace {

void SetPosAttribute(CControlUI& control, const wchar_t* value) {
  const UIRect r = ParseRect(value);
  control.SetFloatOffset(UISize{r.left, r.top});
  control.SetFixedWidth(r.Width());
  control.SetFixedHeight(r.Height());
}

// One number for all four widths, or four numbers when the value has a comma.
void SetBorderSizeAttribute(CControlUI& control, const wchar_t* value) {
  if (wcschr(value, L',')) {
    control.SetBorderSize(ParseRect(value));
  } else {
    const int32_t width = ParseNumber(value);
    control.SetBorderSize(UIRect{width, width, width, width});
  }
}

// A boolean, or four fractions of the parent's size when the value has a comma.
void SetFloatAttribute(CControlUI& control, const wchar_t* value) {
  if (wcschr(value, L',')) {
    double f[4];
    ParseFractions(value, f);
    control.SetFloatRatio(UIFloatPercent{f[0], f[1], f[2], f[3]});
    control.SetFloat(true);
  } else {
    control.SetFloat(ParseBool(value));
  }
}

uintptr_t Tag(const wchar_t* value) { return static_cast<uintptr_t>(static_cast<intptr_t>(ParseNumber(value))); }
wchar_t FirstCharacter(const wchar_t* value) { return value[0]; }

using attr::Set;

constexpr UIAttribute<CControlUI> kControlAttributes[] = {
    {L"pos", SetPosAttribute},
    {L"padding", Set<&CControlUI::SetPadding, attr::Rect>},
    {L"bkcolor", Set<&CControlUI::SetBkColor, attr::Color>},
    {L"bkcolor1", Set<&CControlUI::SetBkColor, attr::Color>},
    {L"bkcolor2", Set<&CControlUI::SetBkColor2, attr::Color>},
    {L"bkcolor3", Set<&CControlUI::SetBkColor3, attr::Color>},
    {L"bordercolor", Set<&CControlUI::SetBorderColor, attr::Color>},
    {L"focusbordercolor", Set<&CControlUI::SetFocusBorderColor, attr::Color>},
    {L"colorhsl", Set<&CControlUI::SetColorHSL, attr::Bool>},
    {L"bordersize", SetBorderSizeAttribute},
    {L"borderstyle", Set<&CControlUI::SetBorderStyle, attr::Number>},
    {L"borderround", Set<&CControlUI::SetBorderRound, attr::Size>},
    {L"bkimage", Set<&CControlUI::SetBkImage, attr::Text>},
    {L"width", Set<&CControlUI::SetFixedWidth, attr::Number>},
    {L"height", Set<&CControlUI::SetFixedHeight, attr::Number>},
    {L"minwidth", Set<&CControlUI::SetMinWidth, attr::Number>},
    {L"minheight", Set<&CControlUI::SetMinHeight, attr::Number>},
    {L"maxwidth", Set<&CControlUI::SetMaxWidth, attr::Number>},
    {L"maxheight", Set<&CControlUI::SetMaxHeight, attr::Number>},
    {L"name", Set<&CControlUI::SetName, attr::Text>},
    {L"text", Set<&CControlUI::SetText, attr::Text>},
    {L"tooltip", Set<&CControlUI::SetToolTip, attr::Text>},
    {L"userdata", Set<&CControlUI::SetUserData, attr::Text>},
    {L"tag", Set<&CControlUI::SetTag, Tag>},
    {L"enabled", Set<&CControlUI::SetEnabled, attr::Bool>},
    {L"mouse", Set<&CControlUI::SetMouseEnabled, attr::Bool>},
    {L"keyboard", Set<&CControlUI::SetKeyboardEnabled, attr::Bool>},
    {L"visible", Set<&CControlUI::SetVisible, attr::Bool>},
    {L"float", SetFloatAttribute},
    {L"shortcut", Set<&CControlUI::SetShortcut, FirstCharacter>},
    {L"menu", Set<&CControlUI::SetMenuNotifyEnabled, attr::Bool>},
    {L"virtualwnd", Set<&CControlUI::SetVirtualWindow, attr::Text>},
};

}  // namespace

void CControlUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!ApplyAttribute(kControlAttributes, *this, name, value)) AddCustomAttribute(name, value);
}

void CControlUI::SetAttributeList(const wchar_t* list) {
  if (!list) return;
  const wchar_t* p = list;
  while (*p) {
    const wchar_t* equals = wcschr(p, L'=');
    if (!equals) return;
    const CUIString name(p, static_cast<int>(equals - p));
    p = equals + 1;
    if (*p != L'"') return;
    ++p;
    const wchar_t* close = wcschr(p, L'"');
    if (!close) return;
    const CUIString value(p, static_cast<int>(close - p));
    SetAttribute(name, value);
    p = close + 1;
    if (*p != L' ') return;
    ++p;
  }
}

UISize CControlUI::MeasureSize(UISize) { return UISize{fixedWidth_, fixedHeight_}; }

void CControlUI::Invalidate() {
  if (!IsVisible()) return;
  UIRect area = item_;
  if (!ClipToAncestors(area)) return;
  if (manager_) manager_->Invalidate(area);
}

void CControlUI::MarkForLayout() {
  updateNeeded_ = true;
  Invalidate();
  if (manager_) manager_->MarkForLayout();
}

void CControlUI::MarkParentForLayout() {
  if (parent_)
    parent_->MarkForLayout();
  else
    MarkForLayout();
}

void CControlUI::AddCustomAttribute(const wchar_t* name, const wchar_t* value) {
  if (!name || !*name || !value || !*value) return;
  customAttributes_.try_emplace(name, value);
}

const wchar_t* CControlUI::GetCustomAttribute(const wchar_t* name) const {
  if (!name) return nullptr;
  auto it = customAttributes_.find(name);
  return it == customAttributes_.end() ? nullptr : it->second.c_str();
}

bool CControlUI::RemoveCustomAttribute(const wchar_t* name) { return name && customAttributes_.erase(name) > 0; }

void CControlUI::RemoveAllCustomAttributes() { customAttributes_.clear(); }

void CControlUI::SetVirtualWindow(const wchar_t* name) {
  virtualWindow_ = name;
  if (manager_) manager_->SetUsesVirtualWindows(true);
}

void CControlUI::SetBkColor(UIColor color) { ChangeAndInvalidate(bkColor_, color); }
void CControlUI::SetBkColor2(UIColor color) { ChangeAndInvalidate(bkColor2_, color); }
void CControlUI::SetBkColor3(UIColor color) { ChangeAndInvalidate(bkColor3_, color); }
void CControlUI::SetBorderColor(UIColor color) { ChangeAndInvalidate(borderColor_, color); }
void CControlUI::SetFocusBorderColor(UIColor color) { ChangeAndInvalidate(focusBorderColor_, color); }
void CControlUI::SetColorHSL(bool adjust) { ChangeAndInvalidate(colorHsl_, adjust); }
void CControlUI::SetBorderSize(UIRect widths) { ChangeAndInvalidate(borderSize_, widths); }
void CControlUI::SetBorderStyle(int32_t style) { ChangeAndInvalidate(borderStyle_, style); }
void CControlUI::SetBorderRound(UISize round) { ChangeAndInvalidate(borderRound_, round); }

void CControlUI::SetBkImage(const wchar_t* description) {
  if (bkImage_.GetDescription() == (description ? description : L"")) return;
  bkImage_.SetDescription(description);
  if (manager_) {
    const UIImagePtr image = bkImage_.Resolve(*manager_);
    if (image && float_ && fixedWidth_ == 0 && fixedHeight_ == 0) {
      SetFixedWidth(image->width);
      SetFixedHeight(image->height);
    }
  }
  Invalidate();
}

void CControlUI::SetForeImage(const wchar_t* description) {
  if (foreImage_.GetDescription() == (description ? description : L"")) return;
  foreImage_.SetDescription(description);
  Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Painting

bool CControlUI::Paint(NativeDC dc, const UIRect& dirty, CControlUI* stop) {
  if (this == stop) return false;
  paintRect_ = dirty;
  if (!paintRect_.Intersect(item_)) return true;
  if (!OnPaint(this)) return true;
  if (!PaintControl(dc, dirty, stop)) return false;
  if (cover_ && cover_->IsVisible()) cover_->Paint(dc, dirty, nullptr);
  return true;
}

bool CControlUI::PaintControl(NativeDC dc, const UIRect&, CControlUI*) {
  std::optional<CRenderClip> round;
  if (borderRound_.cx != 0 || borderRound_.cy != 0) round.emplace(dc, paintRect_, item_, borderRound_.cx, borderRound_.cy);
  PaintBackColor(dc);
  PaintBackImage(dc);
  PaintStateImage(dc);
  PaintText(dc);
  PaintBorder(dc);
  return true;
}

void CControlUI::PaintBackColor(NativeDC dc) {
  if (bkColor_ == 0) return;
  if (bkColor2_ == 0) {
    // Only the part being painted: blending the whole rectangle again would darken what a
    // translucent colour already covers outside it.
    CSkinRenderer::DrawColor(dc, paintRect_, bkColor_);
    return;
  }
  const CRenderClip clip(dc, paintRect_);
  if (bkColor3_ == 0) {
    CSkinRenderer::DrawGradient(dc, item_, bkColor_, bkColor2_, true, 16);
    return;
  }
  UIRect top = item_;
  top.bottom = Saturate(int64_t{item_.top} + item_.Height() / 2);
  UIRect bottom = item_;
  bottom.top = top.bottom;
  CSkinRenderer::DrawGradient(dc, top, bkColor_, bkColor2_, true, 8);
  CSkinRenderer::DrawGradient(dc, bottom, bkColor2_, bkColor3_, true, 8);
}

void CControlUI::PaintBackImage(NativeDC dc) { DrawImage(dc, bkImage_); }

void CControlUI::PaintBorder(NativeDC dc) {
  const UIRect& widths = borderSize_;
  if (widths.left <= 0 || (borderColor_ == 0 && focusBorderColor_ == 0)) return;
  const UIColor color = focused_ && focusBorderColor_ != 0 ? focusBorderColor_ : borderColor_;
  if (color == 0) return;  // only a focus colour, and not focused: no black frame
  if (borderRound_.cx != 0 || borderRound_.cy != 0) {
    CSkinRenderer::DrawRoundRect(dc, item_, widths.left, borderRound_.cx, borderRound_.cy, color, borderStyle_);
    return;
  }
  if (widths.left == widths.top && widths.left == widths.right && widths.left == widths.bottom) {
    CSkinRenderer::DrawRect(dc, item_, widths.left, color, borderStyle_);
    return;
  }
  // Each side a line of its own width, centred inside the control; the clip keeps the pens'
  // round ends from reaching into the neighbours.
  const CRenderClip clip(dc, item_);
  const UIRect& r = item_;
  if (widths.left > 0) {
    const int32_t x = Saturate(int64_t{r.left} + widths.left / 2);
    CSkinRenderer::DrawLine(dc, UIRect{x, r.top, x, r.bottom}, widths.left, color, borderStyle_);
  }
  const int32_t innerLeft = Saturate(int64_t{r.left} + widths.left);
  const int32_t innerRight = Saturate(int64_t{r.right} - std::max(widths.right, 0));
  if (widths.top > 0) {
    const int32_t y = Saturate(int64_t{r.top} + widths.top / 2);
    CSkinRenderer::DrawLine(dc, UIRect{innerLeft, y, innerRight, y}, widths.top, color, borderStyle_);
  }
  if (widths.right > 0) {
    const int32_t x = Saturate(int64_t{r.right} - (int64_t{widths.right} + 1) / 2);
    CSkinRenderer::DrawLine(dc, UIRect{x, r.top, x, r.bottom}, widths.right, color, borderStyle_);
  }
  if (widths.bottom > 0) {
    const int32_t y = Saturate(int64_t{r.bottom} - (int64_t{widths.bottom} + 1) / 2);
    CSkinRenderer::DrawLine(dc, UIRect{innerLeft, y, innerRight, y}, widths.bottom, color, borderStyle_);
  }
}

void CControlUI::PaintAfterTree(NativeDC, const UIRect&) { OnPostPaint(this); }

bool CControlUI::DrawImage(NativeDC dc, UIDrawInfo& info) {
  return manager_ && CSkinRenderer::DrawImage(dc, *manager_, item_, paintRect_, info);
}

}  // namespace SkinUI
