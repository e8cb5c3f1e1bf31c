#include "skin_ui/RichEditUI.h"

#include <cwchar>
#include <cwctype>

#include "skin_ui/AttributeTable.h"
#include "skin_ui/EditRules.h"
#include "skin_ui/NativeWindowOps.h"
#include "skin_ui/UIMessages.h"
#include "skin_ui/WindowManagerUI.h"

namespace SkinUI {

namespace {

constexpr uint32_t kServicesChanged = 0x0300;  // the services' change notification
constexpr uintptr_t kCaretTimer = 20;           // the drawn caret of layered windows

bool IsEnter(uint32_t message, uintptr_t wParam) {
  return (message == kMsgKeyDown && wParam == kKeyReturn) || (message == kMsgChar && (wParam == L'\r' || wParam == L'\n'));
}

}  // namespace

CRichEditUI::CRichEditUI() = default;

CRichEditUI::~CRichEditUI() {
  if (filtering_) filtering_->RemoveMessageFilter(this);
  host_.reset();
}

void* CRichEditUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"RichEdit") == 0) return this;
  return CContainerUI::GetInterface(name);
}

uint32_t CRichEditUI::GetControlTraits() const {
  if (!IsEnabled()) return 0;
  // A read-only text (the stop dialog's question) neither takes the focus by Tab nor keeps Tab.
  if (readOnly_) return kControlTraitSetCursor;
  return kControlTraitSetCursor | kControlTraitTabStop | (wantTab_ ? uint32_t{kControlTraitWantsTab} : 0u);
}

const CUIString& CRichEditUI::GetText() const {
  if (!host_) return text_;
  servicesText_ = host_->GetText();
  return servicesText_;
}

void CRichEditUI::SetText(const wchar_t* text) {
  text_ = text;
  if (host_) host_->SetText(text_);
  Invalidate();
}

UIRect CRichEditUI::GetTextRect() const { return Inset(item_, textPadding_); }

void CRichEditUI::SetPos(UIRect rect, bool invalidate) {
  CContainerUI::SetPos(rect, invalidate);
  if (host_) host_->SetTextRect(GetTextRect());
}

void CRichEditUI::Move(UISize offset, bool invalidate) {
  CContainerUI::Move(offset, invalidate);
  if (host_) host_->SetTextRect(GetTextRect());
}

void CRichEditUI::SetTextPadding(UIRect padding) {
  textPadding_ = padding;
  if (host_) host_->SetTextRect(GetTextRect());
  Invalidate();
}

void CRichEditUI::SetReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  style_ = readOnly ? style_ | kEditStyleReadOnly : style_ & ~kEditStyleReadOnly;
  if (host_) host_->SetReadOnly(readOnly);
}

void CRichEditUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init) {
  if (filtering_ && filtering_ != manager) {
    filtering_->RemoveMessageFilter(this);
    filtering_ = nullptr;
  }
  CContainerUI::SetManager(manager, parent, init);
}

void CRichEditUI::SetFont(int index) {
  font_ = index;
  if (host_) host_->RefreshCharFormat();
}

void CRichEditUI::SetTextColor(UIColor color) {
  textColor_ = color;
  if (host_) host_->RefreshCharFormat();
}

void CRichEditUI::InitControl() {
  if (!initialised_) {
    host_ = CreateRichTextHost(*this);
    initialised_ = true;
  }
  if (host_ && manager_ && filtering_ != manager_) {
    manager_->AddMessageFilter(this);
    filtering_ = manager_;
  }
}

void CRichEditUI::HandleEvent(UIEvent& event) {
  if (host_) {
    switch (event.type) {
      case kEventSetCursor:
        if (IsEnabled() && GetTextRect().Contains(event.mouse) && host_->SetCursor(event.mouse)) return;
        break;
      case kEventWindowSize:
        host_->RefreshCaret();
        return;
      case kEventSetFocus:
        host_->SetFocused(true);
        focused_ = true;
        Invalidate();
        return;
      case kEventKillFocus:
        host_->SetFocused(false);
        focused_ = false;
        Invalidate();
        return;
      case kEventTimer:
        if (event.wParam == kCaretTimer) return;
        host_->Timer(static_cast<uint32_t>(event.wParam));
        return;
      default:
        break;
    }
  }
  CContainerUI::HandleEvent(event);
}

intptr_t CRichEditUI::MessageHandler(uint32_t message, uintptr_t wParam, intptr_t lParam, bool& handled) {
  if (!host_ || !manager_ || !IsVisible() || !IsEnabled()) return 0;
  const bool mouse = message >= kMsgMouseMove && message <= kMsgMouseLast;
  const bool keyboard = (message >= kMsgKeyDown && message <= kMsgKeyLast) ||
                        (message >= kMsgImeStartComposition && message <= kMsgImeComposition);
  if (mouse) {
    // The wheel's point is on the screen; the manager has it in client coordinates already.
    const UIPoint point = message == kMsgMouseWheel ? manager_->GetMousePos() : PointFromLParam(lParam);
    if (!GetTextRect().Contains(point) && !host_->HasCapture()) return 0;
    if (message == kMsgMouseWheel && !native::IsKeyDown(kKeyControl)) return 0;
    if (message == kMsgLButtonDown || message == kMsgRButtonDown) SetFocus();
  } else if (!keyboard || !IsFocused()) {
    return 0;
  }
  intptr_t result = 0;
  const bool taken = TxSendMessage(message, wParam, lParam, result);
  // Mouse messages go on to the manager too: hover, capture and clicks work as for any control.
  if (keyboard) handled = taken;
  return result;
}

bool CRichEditUI::TxSendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) {
  if (!host_) return false;
  if (IsEnter(message, wParam) && !RichEditTakesEnter(wantReturn_, wantCtrlReturn_, native::IsKeyDown(kKeyControl))) {
    // The key-down is the notification; its character is swallowed with it.
    if (message == kMsgKeyDown) SendNotify(kNotifyReturn);
    result = 0;
    return true;
  }
  return host_->Send(message, wParam, lParam, result);
}

bool CRichEditUI::OnTxNotify(uint32_t code) {
  if (code != kServicesChanged) return false;
  // The initial text is not a change of the user's.
  if (initialised_) SendNotify(kNotifyTextChanged);
  return true;
}

void CRichEditUI::PaintText(NativeDC dc) {
  if (host_) host_->Draw(dc, paintRect_);
}

namespace {

using attr::Set;

UIColor ColourAfterWhitespace(const wchar_t* value) {
  while (iswspace(static_cast<wint_t>(*value))) ++value;
  return ParseColor(value);
}

constexpr UIAttribute<CRichEditUI> kRichEditAttributes[] = {
    {L"wanttab", Set<&CRichEditUI::SetWantTab, attr::Bool>},
    {L"wantreturn", Set<&CRichEditUI::SetWantReturn, attr::Bool>},
    {L"wantctrlreturn", Set<&CRichEditUI::SetWantCtrlReturn, attr::Bool>},
    {L"transparent", Set<&CRichEditUI::SetTransparent, attr::Bool>},
    {L"rich", Set<&CRichEditUI::SetRich, attr::Bool>},
    {L"font", Set<&CRichEditUI::SetFont, attr::Number>},
    {L"textcolor", Set<&CRichEditUI::SetTextColor, ColourAfterWhitespace>},
    {L"textpadding", Set<&CRichEditUI::SetTextPadding, attr::Rect>},
};

}  // namespace

void CRichEditUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (ApplyAttribute(kRichEditAttributes, *this, name, value)) return;
  if (ApplyRichEditStyleAttribute(name, value, style_)) {
    if (wcscmp(name, L"readonly") == 0 && ParseBool(value)) SetReadOnly(true);
    return;
  }
  CContainerUI::SetAttribute(name, value);
}

}  // namespace SkinUI
