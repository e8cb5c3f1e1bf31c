#include "skin_ui/win32/WindowWnd.h"

#include <windows.h>

#include "skin_ui/WindowManagerUI.h"
#include "skin_ui/WindowRules.h"

namespace SkinUI {

namespace {

constexpr wchar_t kObjectProperty[] = L"WndX";

HWND Hwnd(NativeWindow window) { return static_cast<HWND>(window); }

HINSTANCE Instance() {
  void* instance = CWindowManagerUI::GetInstance();
  return instance ? static_cast<HINSTANCE>(instance) : GetModuleHandleW(nullptr);
}

}  // namespace

// The procedures every window of the toolkit shares: own classes keep the object in the
// window's user data, superclassed and subclassed windows in a window property.
struct WindowProcedures {
  static LRESULT CALLBACK Window(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWindowWnd* self = nullptr;
    if (message == WM_NCCREATE) {
      self = static_cast<CWindowWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      self->window_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
      self = reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (message == WM_NCDESTROY && self) return Gone(self, hwnd, message, wParam, lParam, false);
    if (self) return self->HandleMessage(message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  static LRESULT CALLBACK Control(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWindowWnd* self = nullptr;
    if (message == WM_NCCREATE) {
      self = static_cast<CWindowWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      self->window_ = hwnd;
      SetPropW(hwnd, kObjectProperty, self);
    } else {
      self = static_cast<CWindowWnd*>(GetPropW(hwnd, kObjectProperty));
    }
    if (message == WM_NCDESTROY && self) return Gone(self, hwnd, message, wParam, lParam, true);
    if (self) return self->HandleMessage(message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  static LRESULT Gone(CWindowWnd* self, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool property) {
    const LRESULT result = self->CWindowWnd::HandleMessage(message, wParam, lParam);
    if (property)
      RemovePropW(hwnd, kObjectProperty);
    else
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    if (self->subclassed_) self->Unsubclass();
    self->window_ = nullptr;
    self->OnWindowGone();
    return result;
  }
};

bool CWindowWnd::RegisterNativeClass() {
  if (const wchar_t* base = GetBaseNativeClassName()) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(nullptr, base, &wc) && !GetClassInfoExW(Instance(), base, &wc)) return false;
    previousProc_ = reinterpret_cast<void*>(wc.lpfnWndProc);
    wc.lpfnWndProc = WindowProcedures::Control;
    wc.hInstance = Instance();
    wc.lpszClassName = GetNativeClassName();
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }
  WNDCLASSW wc{};
  wc.style = GetNativeClassStyle();
  wc.lpfnWndProc = WindowProcedures::Window;
  wc.hInstance = Instance();
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.lpszClassName = GetNativeClassName();
  return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

NativeWindow CWindowWnd::Create(NativeWindow parent, const wchar_t* name, uint32_t style, uint32_t exStyle, int x,
                                int y, int width, int height, void* menu) {
  if (!RegisterNativeClass()) return nullptr;
  window_ = CreateWindowExW(exStyle, GetNativeClassName(), name, style, x, y, width, height, Hwnd(parent),
                            static_cast<HMENU>(menu), Instance(), this);
  return window_;
}

NativeWindow CWindowWnd::Create(NativeWindow parent, const wchar_t* name, uint32_t style, uint32_t exStyle,
                                const UIRect& rect, void* menu) {
  return Create(parent, name, style, exStyle, rect.left, rect.top, rect.Width(), rect.Height(), menu);
}

NativeWindow CWindowWnd::Subclass(NativeWindow window) {
  if (!window) return nullptr;
  window_ = window;
  previousProc_ = reinterpret_cast<void*>(
      SetWindowLongPtrW(Hwnd(window), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProcedures::Control)));
  if (!previousProc_) return window_ = nullptr;
  SetPropW(Hwnd(window), kObjectProperty, this);
  subclassed_ = true;
  return window_;
}

void CWindowWnd::Unsubclass() {
  if (!window_ || !subclassed_) return;
  if (IsWindow(Hwnd(window_)))
    SetWindowLongPtrW(Hwnd(window_), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
  subclassed_ = false;
}

void CWindowWnd::Show(bool show, bool takeFocus) {
  if (window_) ShowWindow(Hwnd(window_), show ? (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

intptr_t CWindowWnd::ShowModal() {
  HWND self = Hwnd(window_);
  if (!self) return 0;
  HWND owner = GetWindow(self, GW_OWNER);
  ShowWindow(self, SW_SHOWNORMAL);
  if (owner) EnableWindow(owner, FALSE);
  UIModalLoopState state;
  MSG msg;
  while (IsWindow(self)) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) break;
    const UIMessage message{msg.hwnd, msg.message, msg.wParam, msg.lParam};
    const UIModalLoopState::Step step = state.Observe(message, self);
    if (step == UIModalLoopState::Step::kQuit) break;
    if (step == UIModalLoopState::Step::kCloseRequested && owner) {
      // The owner takes the activation back before this window goes, not after.
      EnableWindow(owner, TRUE);
      SetFocus(owner);
    }
    if (!CWindowManagerUI::TranslateWindowMessage(message)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (owner) {
    EnableWindow(owner, TRUE);
    SetFocus(owner);
  }
  if (state.EndedByQuit()) PostQuitMessage(static_cast<int>(state.QuitCode()));
  return state.Result();
}

void CWindowWnd::Close(intptr_t code) {
  if (window_ && IsWindow(Hwnd(window_))) PostMessageW(Hwnd(window_), WM_CLOSE, static_cast<WPARAM>(code), 0);
}

void CWindowWnd::CenterWindow() {
  HWND self = Hwnd(window_);
  if (!self) return;
  RECT rc{};
  GetWindowRect(self, &rc);
  HWND owner = GetWindow(self, GW_OWNER);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(owner ? owner : self, MONITOR_DEFAULTTONEAREST), &monitor);
  const UIRect work{monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right, monitor.rcWork.bottom};
  UIRect around = work;
  if (owner && !IsIconic(owner)) {
    RECT o{};
    GetWindowRect(owner, &o);
    around = UIRect{o.left, o.top, o.right, o.bottom};
  }
  const UIPoint at = CenteredPosition(UISize{rc.right - rc.left, rc.bottom - rc.top}, around, work);
  SetWindowPos(self, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::ResizeClient(int width, int height) {
  HWND self = Hwnd(window_);
  if (!self) return;
  RECT rc{0, 0, width, height};
  AdjustWindowRectEx(&rc, static_cast<DWORD>(GetWindowLongPtrW(self, GWL_STYLE)), GetMenu(self) != nullptr,
                     static_cast<DWORD>(GetWindowLongPtrW(self, GWL_EXSTYLE)));
  SetWindowPos(self, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::SetIcon(uint32_t resourceId) {
  HWND self = Hwnd(window_);
  if (!self) return;
  auto load = [resourceId](int size) {
    return static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(resourceId), IMAGE_ICON, GetSystemMetrics(size),
                                         GetSystemMetrics(size + 1), LR_DEFAULTCOLOR));
  };
  if (HICON big = load(SM_CXICON)) SendMessageW(self, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  if (HICON small = load(SM_CXSMICON)) SendMessageW(self, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

intptr_t CWindowWnd::SendWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return window_ ? SendMessageW(Hwnd(window_), message, wParam, lParam) : 0;
}

bool CWindowWnd::PostWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return window_ && PostMessageW(Hwnd(window_), message, wParam, lParam) != FALSE;
}

intptr_t CWindowWnd::HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (previousProc_)
    return CallWindowProcW(reinterpret_cast<WNDPROC>(previousProc_), Hwnd(window_), message, wParam, lParam);
  return DefWindowProcW(Hwnd(window_), message, wParam, lParam);
}

}  // namespace SkinUI
