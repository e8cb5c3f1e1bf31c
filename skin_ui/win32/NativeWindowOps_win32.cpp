// The window manager's requests to user32, gdi32 and comctl32.

#include <windows.h>
#include <commctrl.h>

#include <cwchar>

#include "skin_ui/NativeDrawOps.h"
#include "skin_ui/NativeWindowOps.h"
#include "skin_ui/UIMessages.h"

namespace SkinUI::native {

uint32_t TickCount() { return GetTickCount(); }

void InvalidateRect(NativeWindow window, const UIRect& rect) {
  if (!window) return;
  RECT r{rect.left, rect.top, rect.right, rect.bottom};
  ::InvalidateRect(static_cast<HWND>(window), &r, FALSE);
}

void InvalidateWindow(NativeWindow window) {
  if (window) ::InvalidateRect(static_cast<HWND>(window), nullptr, FALSE);
}

bool PostNotifyWakeUp(NativeWindow window) {
  return window && PostMessageW(static_cast<HWND>(window), kMsgNotifyWakeUp, 0, 0) != FALSE;
}

bool HasFocus(NativeWindow window) { return window && GetFocus() == static_cast<HWND>(window); }

void Focus(NativeWindow window) {
  if (window) ::SetFocus(static_cast<HWND>(window));
}

void ResizeClient(NativeWindow window, UISize size) {
  if (!window) return;
  HWND hwnd = static_cast<HWND>(window);
  RECT r{0, 0, size.cx, size.cy};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)), GetMenu(hwnd) != nullptr,
                     static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE)));
  SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetArrowCursor() { ::SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512))); }

namespace {

HWND Hwnd(NativeWindow window) { return static_cast<HWND>(window); }
HDC Hdc(NativeDC dc) { return static_cast<HDC>(dc); }
RECT ToRect(const UIRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
COLORREF ToColorRef(UIColor color) { return RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF); }

}  // namespace

bool GetUpdateRect(NativeWindow window, UIRect& rect) {
  RECT r{};
  const bool any = window && ::GetUpdateRect(Hwnd(window), &r, FALSE);
  rect = UIRect{r.left, r.top, r.right, r.bottom};
  return any;
}

UIRect GetClientRect(NativeWindow window) {
  RECT r{};
  if (window) ::GetClientRect(Hwnd(window), &r);
  return UIRect{r.left, r.top, r.right, r.bottom};
}

bool IsActive(NativeWindow window) { return window && GetActiveWindow() == Hwnd(window); }

void FocusOwnerOrParent(NativeWindow window) {
  if (!window) return;
  HWND hwnd = Hwnd(window);
  HWND next = (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) ? GetParent(hwnd) : GetWindow(hwnd, GW_OWNER);
  if (next) ::SetFocus(next);
}

bool IsChildWindow(NativeWindow parent, NativeWindow child) {
  return parent && child && IsChild(Hwnd(parent), Hwnd(child)) != FALSE;
}

bool IsChildStyle(NativeWindow window) { return window && (GetWindowLongPtrW(Hwnd(window), GWL_STYLE) & WS_CHILD); }

NativeWindow GetParentWindow(NativeWindow window) { return window ? GetParent(Hwnd(window)) : nullptr; }

intptr_t SendWindowMessage(NativeWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return window ? SendMessageW(Hwnd(window), message, wParam, lParam) : 0;
}

void SetCapture(NativeWindow window) {
  if (window) ::SetCapture(Hwnd(window));
}

void ReleaseCapture() { ::ReleaseCapture(); }

bool HasCapture(NativeWindow window) { return window && GetCapture() == Hwnd(window); }

void TrackMouse(NativeWindow window, uint32_t hoverMs) {
  if (!window) return;
  TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, Hwnd(window), hoverMs};
  TrackMouseEvent(&track);
}

UIPoint ScreenToClient(NativeWindow window, UIPoint screen) {
  POINT p{screen.x, screen.y};
  if (window) ::ScreenToClient(Hwnd(window), &p);
  return UIPoint{p.x, p.y};
}

UIPoint GetCursorClientPos(NativeWindow window) {
  POINT p{};
  GetCursorPos(&p);
  return ScreenToClient(window, UIPoint{p.x, p.y});
}

bool IsKeyDown(int virtualKey) { return GetKeyState(virtualKey) < 0; }

bool SetTimer(NativeWindow window, uintptr_t nativeId, uint32_t ms) {
  return window && ::SetTimer(Hwnd(window), nativeId, ms, nullptr) != 0;
}

void KillTimer(NativeWindow window, uintptr_t nativeId) {
  if (window) ::KillTimer(Hwnd(window), nativeId);
}

namespace {

// The one tool of a window's tooltip, shown where the toolkit places it.
TTTOOLINFOW ToolInfo(NativeWindow owner) {
  TTTOOLINFOW info{};
  info.cbSize = sizeof(info);
  info.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  info.hwnd = Hwnd(owner);
  info.uId = 1;
  info.hinst = GetModuleHandleW(nullptr);
  return info;
}

}  // namespace

NativeWindow CreateTooltip(NativeWindow owner) {
  if (!owner) return nullptr;
  INITCOMMONCONTROLSEX init{sizeof(init), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&init);
  HWND tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Hwnd(owner), nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
  if (!tooltip) return nullptr;
  TTTOOLINFOW info = ToolInfo(owner);
  info.lpszText = const_cast<wchar_t*>(L"");
  SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  return tooltip;
}

void ShowTooltip(NativeWindow tooltip, NativeWindow owner, const wchar_t* text, const UIRect& rect, int32_t maxWidth) {
  if (!tooltip || !owner) return;
  TTTOOLINFOW info = ToolInfo(owner);
  info.lpszText = const_cast<wchar_t*>(text);
  info.rect = ToRect(rect);
  SendMessageW(Hwnd(tooltip), TTM_SETMAXTIPWIDTH, 0, maxWidth);
  SendMessageW(Hwnd(tooltip), TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info));
  // Below the cursor, clear of its shape.
  POINT at{};
  GetCursorPos(&at);
  SendMessageW(Hwnd(tooltip), TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y + 20));
  SendMessageW(Hwnd(tooltip), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
}

void HideTooltip(NativeWindow tooltip, NativeWindow owner) {
  if (!tooltip || !owner) return;
  TTTOOLINFOW info = ToolInfo(owner);
  SendMessageW(Hwnd(tooltip), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
}

void DestroyTooltip(NativeWindow tooltip) {
  if (tooltip) DestroyWindow(Hwnd(tooltip));
}

uint32_t TooltipInitialDelay(NativeWindow tooltip) {
  return tooltip ? static_cast<uint32_t>(SendMessageW(Hwnd(tooltip), TTM_GETDELAYTIME, TTDT_INITIAL, 0)) : 0;
}

void PaintWindow(NativeWindow window, const std::function<void(NativeDC, const UIRect&)>& paint) {
  if (!window) return;
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(Hwnd(window), &ps);
  if (dc) paint(dc, UIRect{ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom});
  EndPaint(Hwnd(window), &ps);
}

bool CreateOffscreen(NativeDC like, UISize size, Offscreen& offscreen) {
  HDC dc = CreateCompatibleDC(Hdc(like));
  HBITMAP bitmap = dc ? CreateCompatibleBitmap(Hdc(like), size.cx, size.cy) : nullptr;
  if (!bitmap) {
    if (dc) DeleteDC(dc);
    return false;
  }
  offscreen = Offscreen{dc, bitmap, SelectObject(dc, bitmap), size};
  return true;
}

void DestroyOffscreen(Offscreen& offscreen) {
  if (offscreen.dc) {
    SelectObject(Hdc(offscreen.dc), static_cast<HGDIOBJ>(offscreen.previous));
    DeleteDC(Hdc(offscreen.dc));
  }
  if (offscreen.bitmap) DeleteObject(static_cast<HBITMAP>(offscreen.bitmap));
  offscreen = Offscreen{};
}

void CopyRect(NativeDC target, NativeDC source, const UIRect& rect) {
  BitBlt(Hdc(target), rect.left, rect.top, rect.Width(), rect.Height(), Hdc(source), rect.left, rect.top, SRCCOPY);
}

void FillSolid(NativeDC dc, const UIRect& rect, UIColor color) {
  const RECT r = ToRect(rect);
  HBRUSH brush = CreateSolidBrush(ToColorRef(color));
  FillRect(Hdc(dc), &r, brush);
  DeleteObject(brush);
}

void OutlineRect(NativeDC dc, const UIRect& rect, UIColor color) {
  HPEN pen = CreatePen(PS_SOLID, 1, ToColorRef(color));
  HGDIOBJ oldPen = SelectObject(Hdc(dc), pen);
  HGDIOBJ oldBrush = SelectObject(Hdc(dc), GetStockObject(HOLLOW_BRUSH));
  Rectangle(Hdc(dc), rect.left, rect.top, rect.right, rect.bottom);
  SelectObject(Hdc(dc), oldBrush);
  SelectObject(Hdc(dc), oldPen);
  DeleteObject(pen);
}

int PushClip(NativeDC dc, const UIRect& rect) {
  if (!dc) return 0;
  const int saved = SaveDC(Hdc(dc));
  IntersectClipRect(Hdc(dc), rect.left, rect.top, rect.right, rect.bottom);
  return saved;
}

void PopClip(NativeDC dc, int saved) {
  if (dc && saved > 0) RestoreDC(Hdc(dc), saved);
}

NativeFont CreateUIFont(const wchar_t* face, int32_t size, bool bold, bool underline, bool italic) {
  LOGFONTW lf{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  wcsncpy(lf.lfFaceName, face ? face : L"", LF_FACESIZE - 1);
  lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfHeight = -size;
  if (bold) lf.lfWeight += FW_BOLD;
  lf.lfUnderline = underline ? TRUE : FALSE;
  lf.lfItalic = italic ? TRUE : FALSE;
  return CreateFontIndirectW(&lf);
}

void DeleteUIFont(NativeFont font) {
  if (font) DeleteObject(static_cast<HFONT>(font));
}

}  // namespace SkinUI::native

namespace SkinUI::native {

bool MeasureFont(NativeWindow window, NativeFont font, UITextMetrics& metrics) {
  if (!window || !font) return false;
  HWND hwnd = static_cast<HWND>(window);
  HDC dc = GetDC(hwnd);
  if (!dc) return false;
  HGDIOBJ previous = SelectObject(dc, static_cast<HFONT>(font));
  TEXTMETRICW tm{};
  const bool ok = GetTextMetricsW(dc, &tm) != FALSE;
  SelectObject(dc, previous);
  ReleaseDC(hwnd, dc);
  if (!ok) return false;
  metrics = UITextMetrics{true, tm.tmHeight, tm.tmAscent, tm.tmDescent, tm.tmAveCharWidth, tm.tmMaxCharWidth};
  return true;
}

bool LoadResourceBytes(void* module, uint32_t id, const wchar_t* type, std::string& bytes) {
  return LoadTypedResource(module, MAKEINTRESOURCEW(id), type, bytes);
}

}  // namespace SkinUI::native
