#pragma once
// Control timers of the windows of a manager. Each (control, window, id) gets a native timer id
// of its own, from 17 on; a killed timer keeps its entry and id so that setting it again
// restarts the same native timer.

#include <cstdint>
#include <vector>

#include "skin_ui/UIDefs.h"

namespace SkinUI {

class CControlUI;

class UITimerTable {
 public:
  UITimerTable() = default;
  UITimerTable(const UITimerTable&) = delete;
  UITimerTable& operator=(const UITimerTable&) = delete;
  ~UITimerTable() { RemoveAll(); }

  // False when the timer runs already (set and not killed) or the platform refuses it.
  bool Set(CControlUI* control, NativeWindow window, uint32_t id, uint32_t ms);
  bool Kill(CControlUI* control, uint32_t id);
  // Stops and forgets every timer of the control.
  void KillAll(const CControlUI* control);
  void RemoveAll();
  // The running timer of `window` with `nativeId`: its control and the control's id.
  CControlUI* Find(NativeWindow window, uintptr_t nativeId, uint32_t& id) const;

 private:
  struct Timer {
    CControlUI* control;
    NativeWindow window;
    uint32_t id;
    uintptr_t nativeId;
    bool killed;
  };
  uintptr_t NextNativeId();

  std::vector<Timer> timers_;
  uintptr_t lastNativeId_ = 4096;
};

}  // namespace SkinUI
