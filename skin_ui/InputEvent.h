#pragma once
// Building the event a control receives for an input message.

#include <cstdint>

#include "skin_ui/UIEvents.h"

namespace SkinUI {

// The keys held now, as the event's key-state bits.
uint16_t CurrentKeyState();

// An event stamped with the tick count; without `keyState` the keys held now.
UIEvent MakeInputEvent(int type, CControlUI* sender, UIPoint mouse, uintptr_t wParam = 0, uintptr_t lParam = 0);
UIEvent MakeInputEvent(int type, CControlUI* sender, UIPoint mouse, uintptr_t wParam, uintptr_t lParam,
                       uint16_t keyState);

}  // namespace SkinUI
