#pragma once
// Routing of notifications to handlers: message maps (a table of type, control name and
// handler per class, chained to the base class's map) and named virtual windows that get the
// notifications of the controls marked with their name.

#include <cstdint>

#include "skin_ui/UIEvents.h"
#include "skin_ui/UIString.h"

namespace SkinUI {

class INotifyUI {
 public:
  virtual ~INotifyUI() = default;
  virtual void Notify(UINotify& msg) = 0;
};

class IMessageFilterUI {
 public:
  virtual ~IMessageFilterUI() = default;
  virtual intptr_t MessageHandler(uint32_t message, uintptr_t wParam, intptr_t lParam, bool& handled) = 0;
};

class CNotifyPump;

enum UIMessageSignature : int {
  kSigEnd = 0,
  kSigParams = 1,  // handler(wParam, lParam)
  kSigNotify = 2,  // handler(UINotify&)
};

using UIParamsHandler = void (CNotifyPump::*)(uintptr_t wParam, uintptr_t lParam);
using UINotifyHandler = void (CNotifyPump::*)(UINotify& msg);

struct UIMessageMapEntry {
  const wchar_t* type;
  const wchar_t* controlName;  // empty: any control
  int signature;
  UIParamsHandler paramsHandler;
  UINotifyHandler notifyHandler;
};

struct UIMessageMap {
  const UIMessageMap* base;
  const UIMessageMapEntry* entries;  // ends with an entry whose signature is kSigEnd
};

class CNotifyPump {
 public:
  CNotifyPump() = default;
  CNotifyPump(const CNotifyPump&) = delete;
  CNotifyPump& operator=(const CNotifyPump&) = delete;
  virtual ~CNotifyPump() = default;

  virtual const UIMessageMap* GetMessageMap() const { return nullptr; }

  // False when the name is already used.
  bool AddVirtualWnd(const wchar_t* name, CNotifyPump* pump);
  bool RemoveVirtualWnd(const wchar_t* name);
  // Returns whether a handler took the notification.
  bool DispatchNotification(UINotify& msg);

 private:
  bool LoopDispatch(UINotify& msg);

  CUIStringMap virtualWindows_;
};

// Message map of a class derived from CNotifyPump (or from a class that has one):
//   class CMyWnd : public CNotifyPump { UI_DECLARE_MESSAGE_MAP() ... };
//   UI_BEGIN_MESSAGE_MAP(CMyWnd, CNotifyPump)
//     UI_ON_NOTIFY(L"click", L"okbtn", &CMyWnd::OnOk)          // void OnOk(UINotify&)
//     UI_ON_NOTIFY_PARAMS(L"tabselect", L"", &CMyWnd::OnTab)   // void OnTab(uintptr_t, uintptr_t)
//   UI_END_MESSAGE_MAP()
#define UI_DECLARE_MESSAGE_MAP()                                   \
 public:                                                           \
  static const ::SkinUI::UIMessageMap* StaticMessageMap();         \
  const ::SkinUI::UIMessageMap* GetMessageMap() const override;    \
                                                                   \
 private:

#define UI_BEGIN_MESSAGE_MAP(Class, Base)                                                          \
  const ::SkinUI::UIMessageMap* Class::GetMessageMap() const { return StaticMessageMap(); }        \
  const ::SkinUI::UIMessageMap* Class::StaticMessageMap() {                                        \
    static const ::SkinUI::UIMessageMap* const base = ::SkinUI::detail::BaseMessageMap<Base>();    \
    static const ::SkinUI::UIMessageMapEntry entries[] = {
#define UI_ON_NOTIFY(type, name, handler) \
  {type, name, ::SkinUI::kSigNotify, nullptr, static_cast<::SkinUI::UINotifyHandler>(handler)},
#define UI_ON_NOTIFY_PARAMS(type, name, handler) \
  {type, name, ::SkinUI::kSigParams, static_cast<::SkinUI::UIParamsHandler>(handler), nullptr},
#define UI_END_MESSAGE_MAP()                                     \
  {nullptr, nullptr, ::SkinUI::kSigEnd, nullptr, nullptr}        \
  }                                                              \
  ;                                                              \
  static const ::SkinUI::UIMessageMap map{base, entries};        \
  return &map;                                                   \
  }

namespace detail {
template <class T>
const UIMessageMap* BaseMessageMap() {
  if constexpr (requires { T::StaticMessageMap(); })
    return T::StaticMessageMap();
  else
    return nullptr;
}
}  // namespace detail

}  // namespace SkinUI
