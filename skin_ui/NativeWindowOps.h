#pragma once
// What the window manager asks of the windowing system. The Windows build implements it with
// user32/gdi32/comctl32 (win32/NativeWindowOps_win32.cpp). The portable build answers as a
// windowing system would, for stand-in windows that live in memory (posix/StandInWindow.h):
// timers start, capture holds, invalidated areas wait for a paint that validates them, and
// device contexts are pixel buffers.

#include <cstdint>
#include <functional>
#include <string>

#include "skin_ui/UIDefs.h"

namespace SkinUI::native {

// Milliseconds since the system started.
uint32_t TickCount();

void InvalidateRect(NativeWindow window, const UIRect& rect);
void InvalidateWindow(NativeWindow window);
// The bounding rectangle of what waits to be painted; false when nothing does.
bool GetUpdateRect(NativeWindow window, UIRect& rect);
UIRect GetClientRect(NativeWindow window);
// Posts the notification wake-up message; false when it could not be posted.
bool PostNotifyWakeUp(NativeWindow window);
bool HasFocus(NativeWindow window);
void Focus(NativeWindow window);
bool IsActive(NativeWindow window);
// Gives the keyboard focus to the window's owner, or to the parent of a child window.
void FocusOwnerOrParent(NativeWindow window);
// Resizes the client area without moving, activating or changing the z-order.
void ResizeClient(NativeWindow window, UISize size);
bool IsChildWindow(NativeWindow parent, NativeWindow child);
// Whether the window is a child window (as opposed to a top-level one), and its parent.
bool IsChildStyle(NativeWindow window);
NativeWindow GetParentWindow(NativeWindow window);
intptr_t SendWindowMessage(NativeWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Mouse.
void SetCapture(NativeWindow window);
void ReleaseCapture();
bool HasCapture(NativeWindow window);
// Asks for one hover message after `hoverMs` at rest and one leave message.
void TrackMouse(NativeWindow window, uint32_t hoverMs);
UIPoint ScreenToClient(NativeWindow window, UIPoint screen);
// The cursor in the window's client coordinates.
UIPoint GetCursorClientPos(NativeWindow window);
void SetArrowCursor();
bool IsKeyDown(int virtualKey);

// Control timers of a window, by native id.
bool SetTimer(NativeWindow window, uintptr_t nativeId, uint32_t ms);
void KillTimer(NativeWindow window, uintptr_t nativeId);

// The tooltip window of a skinned window: created once (always shown, no prefix), it shows a
// text for a client rectangle, lines broken at `maxWidth` pixels.
NativeWindow CreateTooltip(NativeWindow owner);
void ShowTooltip(NativeWindow tooltip, NativeWindow owner, const wchar_t* text, const UIRect& rect, int32_t maxWidth);
void HideTooltip(NativeWindow tooltip, NativeWindow owner);
void DestroyTooltip(NativeWindow tooltip);
// The tooltip's initial delay, the time the mouse rests before it shows.
uint32_t TooltipInitialDelay(NativeWindow tooltip);

// Painting: begins the paint of what waits to be painted, calls `paint` with the window's
// device context and the dirty rectangle, and ends it (the area is then valid).
void PaintWindow(NativeWindow window, const std::function<void(NativeDC dc, const UIRect& dirty)>& paint);
// An offscreen device context of a size, compatible with `like`, with a bitmap selected.
struct Offscreen {
  NativeDC dc = nullptr;
  NativeBitmap bitmap = nullptr;
  void* previous = nullptr;
  UISize size;
};
bool CreateOffscreen(NativeDC like, UISize size, Offscreen& offscreen);
void DestroyOffscreen(Offscreen& offscreen);
void CopyRect(NativeDC target, NativeDC source, const UIRect& rect);
void FillSolid(NativeDC dc, const UIRect& rect, UIColor color);
// A one-pixel outline just inside the rectangle.
void OutlineRect(NativeDC dc, const UIRect& rect, UIColor color);
// Saves the device context's state and narrows its clip to `rect`; PopClip restores it.
int PushClip(NativeDC dc, const UIRect& rect);
void PopClip(NativeDC dc, int saved);

// A font from the system's default GUI font description with this face (at most 31
// characters), default character set, height -size, weight +700 when bold. Null when none can
// be created.
NativeFont CreateUIFont(const wchar_t* face, int32_t size, bool bold, bool underline, bool italic);
void DeleteUIFont(NativeFont font);

// Metrics of `font` in `window`'s device context; false where there is no window to measure in.
bool MeasureFont(NativeWindow window, NativeFont font, UITextMetrics& metrics);

// The bytes of resource `id` of `type` in `module` (the process's own module when null).
bool LoadResourceBytes(void* module, uint32_t id, const wchar_t* type, std::string& bytes);

}  // namespace SkinUI::native
