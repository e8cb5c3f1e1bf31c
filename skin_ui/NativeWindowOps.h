#pragma once
// The few things the window manager asks of the windowing system. The Windows build implements
// them with user32/gdi32 (win32/NativeWindowOps_win32.cpp); the portable build has no windowing
// system, never has a native window, and answers every request with "nothing done"
// (posix/NativeWindowOps_posix.cpp).

#include <cstdint>
#include <string>

#include "skin_ui/UIDefs.h"

namespace SkinUI::native {

inline constexpr uint32_t kNotifyWakeUpMessage = 0x8001;

// Milliseconds since the system started.
uint32_t TickCount();

void InvalidateRect(NativeWindow window, const UIRect& rect);
void InvalidateWindow(NativeWindow window);
// Posts the notification wake-up message; false when it could not be posted.
bool PostNotifyWakeUp(NativeWindow window);
bool HasFocus(NativeWindow window);
void Focus(NativeWindow window);
// Resizes the client area without moving, activating or changing the z-order.
void ResizeClient(NativeWindow window, UISize size);
void SetArrowCursor();

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
