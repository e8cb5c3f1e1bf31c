#include "skin_ui/InputEvent.h"

#include "skin_ui/NativeWindowOps.h"
#include "skin_ui/UIMessages.h"

namespace SkinUI {

uint16_t CurrentKeyState() {
  uint16_t state = 0;
  if (native::IsKeyDown(kKeyShift)) state |= kKeyStateShift;
  if (native::IsKeyDown(kKeyControl)) state |= kKeyStateControl;
  if (native::IsKeyDown(kKeyAlt)) state |= kKeyStateAlt;
  return state;
}

UIEvent MakeInputEvent(int type, CControlUI* sender, UIPoint mouse, uintptr_t wParam, uintptr_t lParam) {
  return MakeInputEvent(type, sender, mouse, wParam, lParam, CurrentKeyState());
}

UIEvent MakeInputEvent(int type, CControlUI* sender, UIPoint mouse, uintptr_t wParam, uintptr_t lParam,
                       uint16_t keyState) {
  UIEvent event;
  event.type = type;
  event.sender = sender;
  event.timestamp = native::TickCount();
  event.mouse = mouse;
  event.keyState = keyState;
  event.wParam = wParam;
  event.lParam = lParam;
  return event;
}

}  // namespace SkinUI
