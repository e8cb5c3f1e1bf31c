#include "skin_ui/win32/WindowImplBase.h"

#include <windows.h>

#include <string>

#include "log/Logger.h"
#include "skin_ui/NativeWindowOps.h"
#include "skin_ui/SkinArchive.h"
#include "skin_ui/UIMessages.h"
#include "skin_ui/WindowRules.h"

namespace SkinUI {

namespace {

constexpr wchar_t kNoSkinText[] = L"\u52a0\u8f7d\u8d44\u6e90\u6587\u4ef6\u5931\u8d25";  // "could not load the resource file"
constexpr wchar_t kNoSkinCaption[] = L"SkinUI";

HWND Hwnd(NativeWindow window) { return static_cast<HWND>(window); }

MONITORINFO MonitorOf(HWND window) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
  return monitor;
}

// The folder of the module the toolkit's resources come from, ending in '\'.
std::wstring ModuleFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length =
      GetModuleFileNameW(static_cast<HMODULE>(CWindowManagerUI::GetInstance()), path, MAX_PATH);
  std::wstring folder(path, length < MAX_PATH ? length : 0);
  folder.resize(folder.find_last_of(L"\\/") == std::wstring::npos ? 0 : folder.find_last_of(L"\\/") + 1);
  return folder;
}

}  // namespace

UI_BEGIN_MESSAGE_MAP(WindowImplBase, CNotifyPump)
UI_ON_NOTIFY(kNotifyClick, L"", &WindowImplBase::OnClick)
UI_END_MESSAGE_MAP()

intptr_t WindowImplBase::HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  using Handler = intptr_t (WindowImplBase::*)(uintptr_t, intptr_t, bool&);
  Handler handler = nullptr;
  switch (message) {
    case WM_CREATE: handler = &WindowImplBase::OnCreate; break;
    case WM_CLOSE: handler = &WindowImplBase::OnClose; break;
    case WM_DESTROY: handler = &WindowImplBase::OnDestroy; break;
    case WM_NCACTIVATE: handler = &WindowImplBase::OnNcActivate; break;
    case WM_NCCALCSIZE: handler = &WindowImplBase::OnNcCalcSize; break;
    case WM_NCPAINT: handler = &WindowImplBase::OnNcPaint; break;
    case WM_NCHITTEST: handler = &WindowImplBase::OnNcHitTest; break;
    case WM_GETMINMAXINFO: handler = &WindowImplBase::OnGetMinMaxInfo; break;
    case WM_MOUSEWHEEL: handler = &WindowImplBase::OnMouseWheel; break;
    case WM_SIZE: handler = &WindowImplBase::OnSize; break;
    case WM_CHAR: handler = &WindowImplBase::OnChar; break;
    case WM_SYSCOMMAND: handler = &WindowImplBase::OnSysCommand; break;
    case WM_KEYDOWN: handler = &WindowImplBase::OnKeyDown; break;
    case WM_KILLFOCUS: handler = &WindowImplBase::OnKillFocus; break;
    case WM_SETFOCUS: handler = &WindowImplBase::OnSetFocus; break;
    case WM_LBUTTONDOWN: handler = &WindowImplBase::OnLButtonDown; break;
    case WM_LBUTTONUP: handler = &WindowImplBase::OnLButtonUp; break;
    case WM_MOUSEMOVE: handler = &WindowImplBase::OnMouseMove; break;
    case WM_MOUSEHOVER: handler = &WindowImplBase::OnMouseHover; break;
    default: break;
  }
  bool handled = handler != nullptr;
  intptr_t result = handler ? (this->*handler)(wParam, lParam, handled) : 0;
  if (handled) return result;
  handled = false;
  result = HandleAppMessage(message, wParam, lParam, handled);
  if (handled) return result;
  if (manager_.FilterMessage(message, wParam, lParam, result)) return result;
  return CWindowWnd::HandleMessage(message, wParam, lParam);
}

intptr_t WindowImplBase::MessageHandler(uint32_t message, uintptr_t wParam, intptr_t, bool&) {
  if (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) HandleDefaultKey(wParam);
  return 0;
}

void WindowImplBase::HandleDefaultKey(uintptr_t key) {
  if (key == VK_ESCAPE) Close(1);
}

void WindowImplBase::OnClick(UINotify& msg) {
  if (!msg.sender) return;
  const CUIString& name = msg.sender->GetName();
  if (name == L"closebtn")
    Close(1);
  else if (name == L"minbtn")
    SendWindowMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  else if (name == L"maxbtn")
    SendWindowMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  else if (name == L"restorebtn")
    SendWindowMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
}

#define NOT_HANDLED(name)                                                   \
  intptr_t WindowImplBase::name(uintptr_t, intptr_t, bool& handled) {       \
    handled = false;                                                        \
    return 0;                                                               \
  }
NOT_HANDLED(OnClose)
NOT_HANDLED(OnDestroy)
NOT_HANDLED(OnChar)
NOT_HANDLED(OnKeyDown)
NOT_HANDLED(OnKillFocus)
NOT_HANDLED(OnSetFocus)
NOT_HANDLED(OnLButtonDown)
NOT_HANDLED(OnLButtonUp)
NOT_HANDLED(OnMouseMove)
NOT_HANDLED(OnMouseWheel)
NOT_HANDLED(OnMouseHover)
#undef NOT_HANDLED

intptr_t WindowImplBase::HandleAppMessage(uint32_t, uintptr_t, intptr_t, bool& handled) {
  handled = false;
  return 0;
}

intptr_t WindowImplBase::OnNcActivate(uintptr_t wParam, intptr_t, bool& handled) {
  if (IsIconic(Hwnd(GetNativeWindow()))) {
    handled = false;
    return 0;
  }
  // No system frame is drawn in either state.
  return wParam == 0 ? TRUE : FALSE;
}

intptr_t WindowImplBase::OnNcCalcSize(uintptr_t wParam, intptr_t lParam, bool&) {
  HWND self = Hwnd(GetNativeWindow());
  if (!IsZoomed(self) || !wParam) return 0;
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
  const MONITORINFO monitor = MonitorOf(self);
  RECT& proposed = params->rgrc[0];
  proposed.right = proposed.left + (monitor.rcWork.right - monitor.rcWork.left);
  proposed.bottom = proposed.top + (monitor.rcWork.bottom - monitor.rcWork.top);
  return WVR_REDRAW;
}

intptr_t WindowImplBase::OnNcPaint(uintptr_t, intptr_t, bool&) { return 0; }

intptr_t WindowImplBase::OnNcHitTest(uintptr_t, intptr_t lParam, bool&) {
  HWND self = Hwnd(GetNativeWindow());
  const UIPoint point = native::ScreenToClient(self, PointFromLParam(lParam));
  const CControlUI* control = manager_.FindControl(point);
  return ClassifyHitTest(point, native::GetClientRect(self), manager_.GetSizeBox(), manager_.GetCaptionRect(),
                         IsZoomed(self) != FALSE, control ? control->GetClass() : nullptr);
}

intptr_t WindowImplBase::OnGetMinMaxInfo(uintptr_t, intptr_t lParam, bool& handled) {
  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  const MONITORINFO monitor = MonitorOf(Hwnd(GetNativeWindow()));
  info->ptMaxPosition.x = monitor.rcWork.left - monitor.rcMonitor.left;
  info->ptMaxPosition.y = monitor.rcWork.top - monitor.rcMonitor.top;
  info->ptMaxSize.x = monitor.rcWork.right - monitor.rcWork.left;
  info->ptMaxSize.y = monitor.rcWork.bottom - monitor.rcWork.top;
  info->ptMinTrackSize.x = manager_.GetMinInfo().cx;
  info->ptMinTrackSize.y = manager_.GetMinInfo().cy;
  handled = false;
  return 0;
}

intptr_t WindowImplBase::OnSize(uintptr_t, intptr_t, bool& handled) {
  HWND self = Hwnd(GetNativeWindow());
  const UISize round = manager_.GetRoundCorner();
  if ((round.cx != 0 || round.cy != 0) && !IsIconic(self)) {
    RECT window{};
    GetWindowRect(self, &window);
    const UIRect region = RoundRegionRect(UISize{window.right - window.left, window.bottom - window.top});
    HRGN rgn = CreateRoundRectRgn(region.left, region.top, region.right, region.bottom, round.cx, round.cy);
    if (!SetWindowRgn(self, rgn, TRUE)) DeleteObject(rgn);
  }
  handled = false;
  return 0;
}

intptr_t WindowImplBase::OnSysCommand(uintptr_t wParam, intptr_t lParam, bool&) {
  HWND self = Hwnd(GetNativeWindow());
  if ((wParam & 0xFFF0) == SC_CLOSE) {
    // Sent, not posted: the modal result is 0.
    SendWindowMessage(WM_CLOSE, 0, 0);
    return 0;
  }
  const bool wasZoomed = IsZoomed(self) != FALSE;
  const intptr_t result = DefWindowProcW(self, WM_SYSCOMMAND, wParam, lParam);
  if (IsWindow(self) && wasZoomed != (IsZoomed(self) != FALSE)) ShowStandardButtons();
  return result;
}

void WindowImplBase::ShowStandardButtons() {
  CControlUI* maximize = manager_.FindControl(L"maxbtn");
  CControlUI* restore = manager_.FindControl(L"restorebtn");
  if (!maximize || !restore) return;
  const bool zoomed = IsZoomed(Hwnd(GetNativeWindow())) != FALSE;
  maximize->SetVisible(!zoomed);
  restore->SetVisible(zoomed);
}

uint32_t WindowImplBase::GetStyle() const {
  return static_cast<uint32_t>(GetWindowLongPtrW(Hwnd(GetNativeWindow()), GWL_STYLE)) & ~WS_CAPTION;
}

bool WindowImplBase::SetUpSkinSource() {
  switch (GetSkinSourceKind()) {
    case SkinSourceKind::kArchiveFile:
      return CWindowManagerUI::SetResourceZip(GetSkinArchiveName(), true);
    case SkinSourceKind::kArchiveResource: {
      std::string bytes;
      if (!native::LoadResourceBytes(CWindowManagerUI::GetInstance(), GetSkinResourceId(), L"ZIPRES", bytes)) {
        LOG_PRINTW(kLog_Error, L"skin archive resource %u of type ZIPRES is missing or empty",
                   static_cast<unsigned>(GetSkinResourceId()));
        return false;
      }
      return CWindowManagerUI::SetResourceZip(bytes.data(), bytes.size());
    }
    default:
      return true;
  }
}

intptr_t WindowImplBase::OnCreate(uintptr_t, intptr_t, bool&) {
  HWND self = Hwnd(GetNativeWindow());
  SetWindowLongPtrW(self, GWL_STYLE,
                    static_cast<LONG_PTR>((GetWindowLongPtrW(self, GWL_STYLE) & ~WS_CAPTION) | WS_CLIPSIBLINGS |
                                          WS_CLIPCHILDREN));
  RECT client{};
  GetClientRect(self, &client);
  SetWindowPos(self, nullptr, client.left, client.top, client.right - client.left, client.bottom - client.top,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  manager_.Init(self);
  manager_.AddPreMessageFilter(this);
  if (!*CWindowManagerUI::GetResourceFolder())
    CWindowManagerUI::SetResourceFolder((ModuleFolder() + GetSkinSubfolder()).c_str());

  CControlUI* root = nullptr;
  CDialogBuilder builder;
  if (SetUpSkinSource()) {
    if (GetSkinSourceKind() == SkinSourceKind::kXmlResource)
      root = builder.Create(SkinRef(static_cast<uint32_t>(_wtoi(GetSkinFileName()))), L"xml", this, &manager_);
    else
      root = builder.Create(GetSkinFileName(), nullptr, this, &manager_);
  }
  if (!root) {
    LOG_PRINTW(kLog_Error, L"the skin %s gives no window: %s", GetSkinFileName(),
               builder.GetLastErrorMessage().c_str());
    MessageBoxW(self, kNoSkinText, kNoSkinCaption, MB_OK | MB_ICONERROR);
    ExitProcess(1);
  }
  manager_.AttachRoot(root);
  manager_.AddNotifier(this);
  OnSkinReady();
  return 0;
}

void WindowImplBase::OnWindowGone() {
  manager_.RemovePreMessageFilter(this);
  manager_.RemoveNotifier(this);
  manager_.ForgetControl(manager_.GetRoot());
}

}  // namespace SkinUI
