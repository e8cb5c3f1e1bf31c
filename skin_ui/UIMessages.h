#pragma once
// The window messages, keys and answers the toolkit routes, as the plain numbers the windowing
// system gives them, so that routing is the same code natively and on Windows.

#include <cstdint>

#include "skin_ui/UIDefs.h"

namespace SkinUI {

enum UIMessageId : uint32_t {
  kMsgCreate = 0x0001,
  kMsgDestroy = 0x0002,
  kMsgSize = 0x0005,
  kMsgSetFocus = 0x0007,
  kMsgKillFocus = 0x0008,
  kMsgPaint = 0x000F,
  kMsgClose = 0x0010,
  kMsgQuit = 0x0012,
  kMsgEraseBackground = 0x0014,
  kMsgSetCursor = 0x0020,
  kMsgMouseActivate = 0x0021,
  kMsgGetMinMaxInfo = 0x0024,
  kMsgNotify = 0x004E,
  kMsgContextMenu = 0x007B,
  kMsgNcCreate = 0x0081,
  kMsgNcDestroy = 0x0082,
  kMsgNcCalcSize = 0x0083,
  kMsgNcHitTest = 0x0084,
  kMsgNcPaint = 0x0085,
  kMsgNcActivate = 0x0086,
  kMsgKeyDown = 0x0100,
  kMsgKeyUp = 0x0101,
  kMsgChar = 0x0102,
  kMsgSysKeyDown = 0x0104,
  kMsgSysChar = 0x0106,
  kMsgCommand = 0x0111,
  kMsgSysCommand = 0x0112,
  kMsgTimer = 0x0113,
  kMsgCtlColorEdit = 0x0133,
  kMsgCtlColorStatic = 0x0138,
  kMsgMouseMove = 0x0200,
  kMsgLButtonDown = 0x0201,
  kMsgLButtonUp = 0x0202,
  kMsgLButtonDblClk = 0x0203,
  kMsgRButtonDown = 0x0204,
  kMsgMouseWheel = 0x020A,
  kMsgMouseHover = 0x02A1,
  kMsgMouseLeave = 0x02A3,
  kMsgNotifyWakeUp = 0x8001,  // the manager's own: queued notifications are waiting
};

// Child-window messages come back to the child as the same number plus this.
inline constexpr uint32_t kReflectedMessageOffset = 0x2000;

enum UIVirtualKey : int {
  kKeyTab = 0x09,
  kKeyReturn = 0x0D,
  kKeyShift = 0x10,
  kKeyControl = 0x11,
  kKeyAlt = 0x12,
  kKeyEscape = 0x1B,
  kKeySpace = 0x20,
  kKeyF4 = 0x73,
};

enum UIHitTest : int {
  kHitClient = 1,
  kHitCaption = 2,
  kHitLeft = 10,
  kHitRight = 11,
  kHitTop = 12,
  kHitTopLeft = 13,
  kHitTopRight = 14,
  kHitBottom = 15,
  kHitBottomLeft = 16,
  kHitBottomRight = 17,
};

inline constexpr intptr_t kMouseActivateNoActivate = 3;

// One queued message, as the message loop hands it to the toolkit.
struct UIMessage {
  NativeWindow window = nullptr;
  uint32_t message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

// The point packed into a mouse message's lParam: two signed 16-bit coordinates.
inline UIPoint PointFromLParam(intptr_t lParam) {
  return UIPoint{static_cast<int16_t>(lParam & 0xFFFF), static_cast<int16_t>((lParam >> 16) & 0xFFFF)};
}
inline intptr_t LParamFromPoint(UIPoint point) {
  return static_cast<intptr_t>(static_cast<uint32_t>(static_cast<uint16_t>(point.x)) |
                               static_cast<uint32_t>(static_cast<uint16_t>(point.y)) << 16);
}

// The tracking-size request of the min/max message: five points, as the system lays it out.
struct UIMinMaxInfo {
  UIPoint reserved;
  UIPoint maxSize;
  UIPoint maxPosition;
  UIPoint minTrackSize;
  UIPoint maxTrackSize;
};

}  // namespace SkinUI
