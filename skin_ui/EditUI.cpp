#include "skin_ui/EditUI.h"

#include <cwchar>
#include <string>

#include "skin_ui/AttributeTable.h"
#include "skin_ui/NativeWindowOps.h"
#include "skin_ui/SkinRenderer.h"
#include "skin_ui/TextFormat.h"
#include "skin_ui/WindowManagerUI.h"

namespace SkinUI {

CEditUI::CEditUI() {
  SetBkColor(0xFFFFFFFF);
  textPadding_ = UIRect{4, 3, 4, 3};
}

CEditUI::~CEditUI() {
  // The field must not reach back into a control that is gone.
  if (field_) field_->Detach();
  field_ = nullptr;
}

void* CEditUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"Edit") == 0) return this;
  return CLabelUI::GetInterface(name);
}

uint32_t CEditUI::GetControlTraits() const {
  return IsEnabled() ? kControlTraitTabStop | kControlTraitSetCursor : 0;
}

void CEditUI::SetText(const wchar_t* text) {
  CLabelUI::SetText(text);
  if (field_) field_->SetText(text_);
}

void CEditUI::SetPos(UIRect rect, bool invalidate) {
  CLabelUI::SetPos(rect, invalidate);
  if (field_) field_->Place(GetFieldRect());
}

void CEditUI::Move(UISize offset, bool invalidate) {
  CLabelUI::Move(offset, invalidate);
  if (field_) field_->Place(GetFieldRect());
}

void CEditUI::SetParentVisible(bool visible) {
  // The flags stay; judged by them the edit is still visible, and its field would stay open
  // over a hidden panel.
  if (!visible && manager_ && manager_->GetFocus() == this) manager_->SetFocus(nullptr);
}

void CEditUI::SetEnabled(bool enabled) {
  CLabelUI::SetEnabled(enabled);
  if (!IsEnabled()) state_ = 0;
}

UIRect CEditUI::GetFieldRect() {
  const int32_t fontHeight = manager_ ? manager_->GetFontMetrics(font_).height : 0;
  UIRect rect = PlaceEditField(item_, textPadding_, fontHeight);
  if (!ClipToAncestors(rect)) return UIRect{};
  return rect;
}

void CEditUI::OpenField() {
  if (field_ || !manager_) return;
  field_ = OpenEditField(*this);
}

void CEditUI::HandleEvent(UIEvent& event) {
  if (PassMouseToParent(event)) return;
  switch (event.type) {
    case kEventSetCursor:
      if (!IsEnabled()) break;
      native::SetTextCursor();
      return;
    case kEventWindowSize:
      if (field_ && manager_) manager_->RequestFocus(this);
      return;
    case kEventScrollWheel:
      if (field_) return;
      break;
    case kEventSetFocus:
      if (!IsEnabled()) break;
      focused_ = true;
      OpenField();
      Invalidate();
      return;
    case kEventKillFocus:
      if (!IsEnabled()) break;
      focused_ = false;
      Invalidate();
      return;
    case kEventButtonDown:
    case kEventDblClick:
    case kEventRButtonDown:
      if (!IsEnabled()) break;
      if (manager_) manager_->ReleaseCapture();
      if (IsFocused() && !field_) {
        OpenField();
        return;
      }
      if (field_ && !autoSelAll_) {
        // The caret goes where the user pressed, as if the field itself had been clicked.
        field_->PressAt(UIPoint{Saturate(int64_t{event.mouse.x} - item_.left - textPadding_.left),
                                Saturate(int64_t{event.mouse.y} - item_.top - textPadding_.top)});
      }
      return;
    case kEventMouseMove:
    case kEventButtonUp:
    case kEventContextMenu:
      return;
    case kEventMouseEnter:
      if (!IsEnabled() || !item_.Contains(event.mouse)) break;
      state_ |= kStateHot;
      Invalidate();
      return;
    case kEventMouseLeave:
      if (!IsEnabled()) break;
      if (item_.Contains(event.mouse)) {
        if (manager_) manager_->AddMouseLeaveNeeded(this);
        return;
      }
      state_ &= ~kStateHot;
      Invalidate();
      if (manager_) manager_->RemoveMouseLeaveNeeded(this);
      return;
    default:
      break;
  }
  CLabelUI::HandleEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Settings

void CEditUI::SetTextPadding(UIRect padding) {
  CLabelUI::SetTextPadding(padding);
  if (field_) field_->Place(GetFieldRect());
}

void CEditUI::SetMaxChar(int32_t count) {
  maxChar_ = count;
  if (field_) field_->SetMaxChars(count);
}

void CEditUI::SetReadOnly(bool readOnly) {
  if (readOnly_ == readOnly) return;
  readOnly_ = readOnly;
  if (field_) field_->SetReadOnly(readOnly);
  Invalidate();
}

void CEditUI::SetPasswordMode(bool password) { ChangeAndInvalidate(password_, password); }
void CEditUI::SetPasswordChar(wchar_t ch) { ChangeAndInvalidate(passwordChar_, ch); }

void CEditUI::SetNumberOnly(bool numberOnly) {
  editStyle_ = numberOnly ? editStyle_ | kEditStyleNumber : editStyle_ & ~kEditStyleNumber;
}

void CEditUI::SetNormalImage(const wchar_t* description) {
  normalImage_.SetDescription(description);
  Invalidate();
}
void CEditUI::SetHotImage(const wchar_t* description) {
  hotImage_.SetDescription(description);
  Invalidate();
}
void CEditUI::SetFocusedImage(const wchar_t* description) {
  focusedImage_.SetDescription(description);
  Invalidate();
}
void CEditUI::SetDisabledImage(const wchar_t* description) {
  disabledImage_.SetDescription(description);
  Invalidate();
}

namespace {

using attr::Set;

constexpr UIAttribute<CEditUI> kEditAttributes[] = {
    {L"readonly", Set<&CEditUI::SetReadOnly, attr::Bool>},
    {L"numberonly", Set<&CEditUI::SetNumberOnly, attr::Bool>},
    {L"password", Set<&CEditUI::SetPasswordMode, attr::Bool>},
    {L"autoselall", Set<&CEditUI::SetAutoSelAll, attr::Bool>},
    {L"maxchar", Set<&CEditUI::SetMaxChar, attr::Number>},
    {L"normalimage", Set<&CEditUI::SetNormalImage, attr::Text>},
    {L"hotimage", Set<&CEditUI::SetHotImage, attr::Text>},
    {L"focusedimage", Set<&CEditUI::SetFocusedImage, attr::Text>},
    {L"disabledimage", Set<&CEditUI::SetDisabledImage, attr::Text>},
    {L"nativebkcolor", Set<&CEditUI::SetNativeEditBkColor, attr::Color>},
};

}  // namespace

void CEditUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!ApplyAttribute(kEditAttributes, *this, name, value)) CLabelUI::SetAttribute(name, value);
}

// A button's estimate, not the label's: without a width an edit takes its share of the layout
// instead of its text's width.
UISize CEditUI::MeasureSize(UISize) { return MeasureFontLine(); }

// ---------------------------------------------------------------------------------------------
// Painting

void CEditUI::PaintStateImage(NativeDC dc) {
  state_ = IsFocused() ? state_ | kStateFocused : state_ & ~kStateFocused;
  state_ = IsEnabled() ? state_ & ~kStateDisabled : state_ | kStateDisabled;
  UIDrawInfo* chosen = &normalImage_;
  if (state_ & kStateDisabled)
    chosen = &disabledImage_;
  else if (state_ & kStateFocused)
    chosen = &focusedImage_;
  else if (state_ & kStateHot)
    chosen = &hotImage_;
  if (chosen != &normalImage_ && DrawImage(dc, *chosen)) return;
  DrawImage(dc, normalImage_);
}

// Plain text on one line whatever the label settings say: it is what the field shows when open.
void CEditUI::PaintText(NativeDC dc) {
  ResolveTextColors();
  if (text_.IsEmpty() || !manager_) return;
  const std::wstring shown = password_ ? std::wstring(static_cast<size_t>(text_.GetLength()), passwordChar_)
                                       : std::wstring(text_.GetData());
  UIRect rect = TextRect();
  CSkinRenderer::DrawPlainText(dc, *manager_, rect, shown.c_str(), IsEnabled() ? textColor_ : disabledTextColor_, font_,
                               textStyle_ | kTextSingleLine);
}

}  // namespace SkinUI
