#include "skin_ui/TimerTable.h"

#include <algorithm>

#include "skin_ui/NativeWindowOps.h"

namespace SkinUI {

uintptr_t UITimerTable::NextNativeId() {
  // Ids cycle below 255; 0 (no timer) and an id still held by an entry are passed over, so two
  // timers never share a native id.
  for (int tries = 0; tries < 255; ++tries) {
    lastNativeId_ = (lastNativeId_ + 1) % 255;
    const bool used = std::any_of(timers_.begin(), timers_.end(),
                                  [this](const Timer& t) { return t.nativeId == lastNativeId_; });
    if (lastNativeId_ != 0 && !used) return lastNativeId_;
  }
  return 0;
}

bool UITimerTable::Set(CControlUI* control, NativeWindow window, uint32_t id, uint32_t ms) {
  if (!control) return false;
  auto it = std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) {
    return t.control == control && t.window == window && t.id == id;
  });
  if (it != timers_.end()) {
    if (!it->killed || !native::SetTimer(window, it->nativeId, ms)) return false;
    it->killed = false;
    return true;
  }
  const uintptr_t nativeId = NextNativeId();
  if (nativeId == 0 || !native::SetTimer(window, nativeId, ms)) return false;
  timers_.push_back(Timer{control, window, id, nativeId, false});
  return true;
}

bool UITimerTable::Kill(CControlUI* control, uint32_t id) {
  for (Timer& t : timers_) {
    if (t.control != control || t.id != id) continue;
    if (!t.killed) native::KillTimer(t.window, t.nativeId);
    t.killed = true;
    return true;
  }
  return false;
}

void UITimerTable::KillAll(const CControlUI* control) {
  std::erase_if(timers_, [control](const Timer& t) {
    if (t.control != control) return false;
    if (!t.killed) native::KillTimer(t.window, t.nativeId);
    return true;
  });
}

void UITimerTable::RemoveAll() {
  for (const Timer& t : timers_)
    if (!t.killed) native::KillTimer(t.window, t.nativeId);
  timers_.clear();
}

CControlUI* UITimerTable::Find(NativeWindow window, uintptr_t nativeId, uint32_t& id) const {
  for (const Timer& t : timers_) {
    if (t.window == window && t.nativeId == nativeId && !t.killed) {
      id = t.id;
      return t.control;
    }
  }
  return nullptr;
}

}  // namespace SkinUI
