#pragma once
// The records the toolkit passes around: input events for controls, notifications for the
// application, and the delegates controls run at fixed points of their life.

#include <cstdint>
#include <memory>
#include <vector>

#include "skin_ui/UIDefs.h"
#include "skin_ui/UIString.h"

namespace SkinUI {

class CControlUI;

// Event type codes (stored and compared as numbers).
enum UIEventType : int {
  kEventKeyDown = 3,
  kEventKeyUp = 4,
  kEventChar = 5,
  kEventSysKey = 6,
  kEventMouseMove = 9,
  kEventMouseLeave = 10,
  kEventMouseEnter = 11,
  kEventMouseHover = 12,
  kEventButtonDown = 13,
  kEventButtonUp = 14,
  kEventRButtonDown = 15,
  kEventDblClick = 16,
  kEventContextMenu = 17,
  kEventScrollWheel = 18,
  kEventKillFocus = 20,
  kEventSetFocus = 21,
  kEventWindowSize = 22,
  kEventSetCursor = 23,
  kEventTimer = 24,
};

inline bool IsMouseEvent(int type) { return type >= kEventMouseMove && type <= kEventScrollWheel; }

// wParam and lParam are 32-bit in the product; they are pointer-sized here so that the 64-bit
// test build can carry a control pointer (the context-menu event) without cutting it.
struct UIEvent {
  int type = 0;
  CControlUI* sender = nullptr;
  uint32_t timestamp = 0;
  UIPoint mouse;
  wchar_t key = 0;
  uint16_t keyState = 0;
  uintptr_t wParam = 0;
  uintptr_t lParam = 0;
};

struct UINotify {
  CUIString type;
  CUIString virtualWindow;
  CControlUI* sender = nullptr;
  uint32_t timestamp = 0;
  UIPoint mouse;
  uintptr_t wParam = 0;
  uintptr_t lParam = 0;
};

// Notification types.
inline constexpr wchar_t kNotifyWindowInit[] = L"windowinit";
inline constexpr wchar_t kNotifySetFocus[] = L"setfocus";
inline constexpr wchar_t kNotifyKillFocus[] = L"killfocus";
inline constexpr wchar_t kNotifyClick[] = L"click";
inline constexpr wchar_t kNotifySelectChanged[] = L"selectchanged";
inline constexpr wchar_t kNotifyTextChanged[] = L"textchanged";
inline constexpr wchar_t kNotifyReturn[] = L"return";
inline constexpr wchar_t kNotifyLink[] = L"link";
inline constexpr wchar_t kNotifyTabSelect[] = L"tabselect";
inline constexpr wchar_t kNotifyTimer[] = L"timer";
inline constexpr wchar_t kNotifyMenu[] = L"menu";

// One hook: called with the control, event or notification; false stops the list.
class CDelegateBase {
 public:
  virtual ~CDelegateBase() = default;
  virtual bool Invoke(void* param) = 0;
  virtual std::unique_ptr<CDelegateBase> Copy() const = 0;
  virtual bool Equals(const CDelegateBase& other) const = 0;
};

template <class T>
class CMemberDelegate : public CDelegateBase {
 public:
  using Method = bool (T::*)(void*);
  CMemberDelegate(T* object, Method method) : object_(object), method_(method) {}
  bool Invoke(void* param) override { return (object_->*method_)(param); }
  std::unique_ptr<CDelegateBase> Copy() const override { return std::make_unique<CMemberDelegate>(*this); }
  bool Equals(const CDelegateBase& other) const override {
    auto* same = dynamic_cast<const CMemberDelegate*>(&other);
    return same && same->object_ == object_ && same->method_ == method_;
  }

 private:
  T* object_;
  Method method_;
};

class CFunctionDelegate : public CDelegateBase {
 public:
  using Function = bool (*)(void*);
  explicit CFunctionDelegate(Function function) : function_(function) {}
  bool Invoke(void* param) override { return function_(param); }
  std::unique_ptr<CDelegateBase> Copy() const override { return std::make_unique<CFunctionDelegate>(*this); }
  bool Equals(const CDelegateBase& other) const override {
    auto* same = dynamic_cast<const CFunctionDelegate*>(&other);
    return same && same->function_ == function_;
  }

 private:
  Function function_;
};

template <class T>
CMemberDelegate<T> MakeDelegate(T* object, bool (T::*method)(void*)) {
  return CMemberDelegate<T>(object, method);
}
inline CFunctionDelegate MakeDelegate(bool (*function)(void*)) { return CFunctionDelegate(function); }

// A list of delegates; it passes when every delegate returns true (the first false stops it).
class CEventSource {
 public:
  void operator+=(const CDelegateBase& delegate) { delegates_.push_back(delegate.Copy()); }
  void operator-=(const CDelegateBase& delegate);
  bool operator()(void* param);
  bool IsEmpty() const { return delegates_.empty(); }
  void Clear() { delegates_.clear(); }

 private:
  std::vector<std::unique_ptr<CDelegateBase>> delegates_;
};

}  // namespace SkinUI
