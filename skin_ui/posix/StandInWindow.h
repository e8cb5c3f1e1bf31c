#pragma once
// Windows for the portable build. A stand-in window is an object in memory whose address is
// the native window handle; the portable platform calls (NativeWindowOps.h) treat it as a
// windowing system treats a window: invalidated areas wait until a paint validates them, its
// client area is a pixel buffer, messages posted to it wait in its queue, timers run until
// killed, and the process-wide focus, capture, active window, cursor and key states hold what
// was last set. Tests create stand-ins and read or set that state; a null handle is no window.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "skin_ui/UIDefs.h"
#include "skin_ui/UIMessages.h"

namespace SkinUI::native {

// A device context: pixels (0xAARRGGBB, rows from the top) and a stack of saved clips.
struct StandInSurface {
  UISize size;
  std::vector<UIColor> pixels;
  UIRect clip;                       // what drawing may touch
  std::vector<UIRect> savedClips;
  void Resize(UISize newSize);
  UIColor At(int32_t x, int32_t y) const;
};

struct StandInTooltip {
  bool shown = false;
  std::wstring text;
  UIRect rect;
  int32_t maxWidth = 0;
};

struct StandInWindow {
  explicit StandInWindow(UISize clientSize = UISize{100, 100}, StandInWindow* parentWindow = nullptr);
  ~StandInWindow();
  StandInWindow(const StandInWindow&) = delete;
  StandInWindow& operator=(const StandInWindow&) = delete;

  NativeWindow Handle() { return this; }

  UISize client;
  StandInWindow* parent = nullptr;
  StandInWindow* owner = nullptr;
  UIRect update;                               // waits to be painted; empty when valid
  int paints = 0;                              // paints that validated an area
  StandInSurface surface;
  std::vector<UIMessage> posted;
  std::map<uintptr_t, uint32_t> timers;        // native id → period in ms
  std::vector<UIMessage> sent;                 // messages sent to it, with what it answered next
  intptr_t answer = 0;                         // what it answers to a sent message
  StandInTooltip tooltip;                      // when it is a tooltip window
  bool tracking = false;                       // a hover and leave message were asked for
  uint32_t hoverMs = 0;
};

// Process-wide state of the stand-in windowing system.
struct StandInSystem {
  NativeWindow focus = nullptr;
  NativeWindow capture = nullptr;
  NativeWindow active = nullptr;
  UIPoint cursor;                                // in screen coordinates
  std::map<int, bool> keys;                      // virtual key → held
  uint32_t tooltipDelay = 500;
  // Client origins in screen coordinates, by window.
  std::map<NativeWindow, UIPoint> origins;
};
StandInSystem& System();

}  // namespace SkinUI::native
