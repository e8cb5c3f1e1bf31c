// The native field of an edit control: a superclass of the system's edit class placed over the
// control's text area while the control has the focus. It gives the control its typing, Enter
// and its background colour, and closes itself when it loses the keyboard focus.

#include <windows.h>

#include <string>

#include "log/Logger.h"
#include "skin_ui/EditUI.h"
#include "skin_ui/SkinRenderer.h"
#include "skin_ui/UIMessages.h"
#include "skin_ui/WindowManagerUI.h"
#include "skin_ui/win32/GdiSupport.h"
#include "skin_ui/win32/WindowWnd.h"

namespace SkinUI {

namespace {

constexpr UIColor kDefaultColours = 0xFFFFFFFF;

}  // namespace

class CEditWnd : public CWindowWnd, public IEditField {
 public:
  CEditWnd(CEditUI& owner, CWindowManagerUI& manager) : owner_(&owner), manager_(manager) {}

  bool Open();

  NativeWindow GetNativeWindow() const override { return CWindowWnd::GetNativeWindow(); }
  void SetText(const wchar_t* text) override { SetWindowTextW(hwnd_, text); }
  void Place(const UIRect& rect) override;
  void SetMaxChars(int32_t count) override { SendWindowMessage(EM_LIMITTEXT, static_cast<WPARAM>(count)); }
  void SetReadOnly(bool readOnly) override { SendWindowMessage(EM_SETREADONLY, readOnly ? TRUE : FALSE); }
  void PressAt(UIPoint point) override;
  void Detach() override;

 protected:
  const wchar_t* GetNativeClassName() const override { return L"EditWnd"; }
  const wchar_t* GetBaseNativeClassName() const override { return L"Edit"; }
  intptr_t HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  void OnWindowGone() override;

 private:
  intptr_t ColourRequest(uint32_t message, HDC dc);
  void ForgetOwner();

  CEditUI* owner_;
  CWindowManagerUI& manager_;
  HWND hwnd_ = nullptr;
  HBRUSH brush_ = nullptr;
  bool initialised_ = false;
};

bool CEditWnd::Open() {
  const UIRect rect = owner_->GetFieldRect();
  const uint32_t style = EditFieldStyle(owner_->GetEditStyle(), owner_->GetTextStyle(), owner_->IsPasswordMode());
  hwnd_ = static_cast<HWND>(Create(manager_.GetNativeWindow(), nullptr, style, 0, rect));
  if (!hwnd_) {
    LOG_PRINT(kLog_Error, "edit field: the native edit window cannot be created (error %lu)", GetLastError());
    return false;
  }
  // A focus change to the field now means the owner's focus to the window.
  manager_.AddNativeWindow(owner_, hwnd_);
  NativeFont font = manager_.GetFont(owner_->GetFont());
  SendWindowMessage(WM_SETFONT,
                    reinterpret_cast<WPARAM>(font ? static_cast<HFONT>(font) : GetStockObject(DEFAULT_GUI_FONT)));
  SetMaxChars(owner_->GetMaxChar());
  if (owner_->IsPasswordMode()) SendWindowMessage(EM_SETPASSWORDCHAR, owner_->GetPasswordChar());
  SetText(owner_->GetText());
  SendWindowMessage(EM_SETMODIFY, FALSE);
  SendWindowMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  EnableWindow(hwnd_, owner_->IsEnabled() ? TRUE : FALSE);
  SetReadOnly(owner_->IsReadOnly());
  // Nothing of the text area can be seen: the field keeps the typing but shows nowhere.
  if (!rect.IsEmpty()) ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  SetFocus(hwnd_);
  const int length = GetWindowTextLengthW(hwnd_);
  if (owner_->IsAutoSelAll())
    SendWindowMessage(EM_SETSEL, 0, length > 0 ? length : 1);
  else
    SendWindowMessage(EM_SETSEL, length, length);
  initialised_ = true;
  return true;
}

void CEditWnd::Place(const UIRect& rect) {
  SetWindowPos(hwnd_, nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE | (rect.IsEmpty() ? SWP_HIDEWINDOW : SWP_SHOWWINDOW));
}

void CEditWnd::PressAt(UIPoint point) {
  SendWindowMessage(EM_SETSEL, static_cast<WPARAM>(-1), 0);
  SendWindowMessage(WM_LBUTTONDOWN, MK_LBUTTON, LParamFromPoint(point));
}

void CEditWnd::ForgetOwner() {
  if (!owner_) return;
  manager_.RemoveNativeWindow(hwnd_);
  owner_->FieldClosed();
  owner_ = nullptr;
}

void CEditWnd::Detach() {
  ForgetOwner();
  DestroyWindow(hwnd_);  // OnWindowGone deletes this object
}

intptr_t CEditWnd::HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case WM_KILLFOCUS: {
      const intptr_t result = CWindowWnd::HandleMessage(message, wParam, lParam);
      if (!owner_) return result;
      HWND skinned = static_cast<HWND>(manager_.GetNativeWindow());
      if (reinterpret_cast<HWND>(wParam) != skinned) ::SendMessageW(skinned, WM_KILLFOCUS, wParam, 0);
      PostWindowMessage(WM_CLOSE);
      return result;
    }
    case WM_KEYDOWN:
      if (wParam != VK_RETURN || !owner_) break;
      manager_.SendNotification(owner_, kNotifyReturn);
      return 0;
    case WM_CHAR:
      if (wParam == VK_RETURN) return 0;  // the Enter key-down was the owner's
      break;
    case WM_COMMAND + kReflectedMessageOffset:
      if (HIWORD(wParam) != EN_CHANGE || !initialised_ || !owner_) break;
      {
        const int length = GetWindowTextLengthW(hwnd_);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(hwnd_, text.data(), length + 1)));
        owner_->TakeFieldText(text.c_str());
      }
      manager_.SendNotification(owner_, kNotifyTextChanged);
      return 0;
    case WM_CTLCOLOREDIT + kReflectedMessageOffset:
    case WM_CTLCOLORSTATIC + kReflectedMessageOffset:
      return ColourRequest(message - kReflectedMessageOffset, reinterpret_cast<HDC>(wParam));
    default:
      break;
  }
  return CWindowWnd::HandleMessage(message, wParam, lParam);
}

intptr_t CEditWnd::ColourRequest(uint32_t message, HDC dc) {
  HWND skinned = static_cast<HWND>(manager_.GetNativeWindow());
  const UIColor background = owner_ ? owner_->GetNativeEditBkColor() : kDefaultColours;
  if (background == kDefaultColours) return DefWindowProcW(skinned, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd_));
  UIColor text = owner_->GetTextColor();
  if (text == 0) text = manager_.GetDefaultFontColor();
  SetTextColor(dc, gdi::ToColorRef(text));
  SetBkMode(dc, TRANSPARENT);
  if (brush_) return reinterpret_cast<intptr_t>(brush_);
  if ((background >> 24) == 0xFF) {
    brush_ = CreateSolidBrush(gdi::ToColorRef(background));
  } else {
    // What the skinned window paints beneath the field, with the colour over it.
    RECT r{};
    GetWindowRect(hwnd_, &r);
    MapWindowPoints(nullptr, skinned, reinterpret_cast<POINT*>(&r), 2);
    if (HBITMAP beneath = static_cast<HBITMAP>(
            CSkinRenderer::CaptureBitmap(manager_, UIRect{r.left, r.top, r.right, r.bottom}, owner_, background))) {
      brush_ = CreatePatternBrush(beneath);
      DeleteObject(beneath);
    }
  }
  if (!brush_) {
    LOG_PRINT(kLog_Error, "edit field: no brush for the background colour %08X", background);
    return DefWindowProcW(skinned, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd_));
  }
  return reinterpret_cast<intptr_t>(brush_);
}

void CEditWnd::OnWindowGone() {
  if (owner_) owner_->Invalidate();
  ForgetOwner();
  if (brush_) DeleteObject(brush_);
  delete this;
}

IEditField* OpenEditField(CEditUI& owner) {
  CWindowManagerUI* manager = owner.GetManager();
  if (!manager || !manager->GetNativeWindow()) return nullptr;
  auto* field = new CEditWnd(owner, *manager);
  if (!field->Open()) {
    delete field;
    return nullptr;
  }
  return field;
}

}  // namespace SkinUI
