// The window manager's requests to user32 and gdi32.

#include <windows.h>

#include <cwchar>

#include "skin_ui/NativeDrawOps.h"
#include "skin_ui/NativeWindowOps.h"

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
  return window && PostMessageW(static_cast<HWND>(window), kNotifyWakeUpMessage, 0, 0) != FALSE;
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
