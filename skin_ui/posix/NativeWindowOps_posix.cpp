// The portable build has no windowing system: no native window ever exists, so there is
// nothing to invalidate, post to or focus, no font handles (fonts keep their descriptions, unmeasured)
// and no module resources.

#include <chrono>

#include "skin_ui/NativeWindowOps.h"

namespace SkinUI::native {

uint32_t TickCount() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void InvalidateRect(NativeWindow, const UIRect&) {}
void InvalidateWindow(NativeWindow) {}
bool PostNotifyWakeUp(NativeWindow) { return false; }
bool HasFocus(NativeWindow) { return false; }
void Focus(NativeWindow) {}
void ResizeClient(NativeWindow, UISize) {}
void SetArrowCursor() {}
NativeFont CreateUIFont(const wchar_t*, int32_t, bool, bool, bool) { return nullptr; }
void DeleteUIFont(NativeFont) {}
bool MeasureFont(NativeWindow, NativeFont, UITextMetrics&) { return false; }
bool LoadResourceBytes(void*, uint32_t, const wchar_t*, std::string&) { return false; }

}  // namespace SkinUI::native
