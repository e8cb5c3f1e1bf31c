#pragma once
// Small helpers of the toolkit tests: a notifier that records what it gets, and a control that
// takes the focus by Tab.

#include <string>
#include <vector>

#include "skin_ui/ControlUI.h"
#include "skin_ui/NotifyPump.h"

namespace skintest {

struct Seen {
  std::wstring type;
  SkinUI::CControlUI* sender;
  uintptr_t wParam;
  uintptr_t lParam;
  std::wstring virtualWindow;
};

class RecordingNotifier : public SkinUI::INotifyUI {
 public:
  void Notify(SkinUI::UINotify& msg) override {
    seen.push_back(Seen{msg.type.GetData(), msg.sender, msg.wParam, msg.lParam, msg.virtualWindow.GetData()});
  }
  std::vector<std::wstring> Types() const {
    std::vector<std::wstring> types;
    for (const Seen& s : seen) types.push_back(s.type);
    return types;
  }
  std::vector<Seen> seen;
};

class FocusableUI : public SkinUI::CControlUI {
 public:
  uint32_t GetControlTraits() const override { return SkinUI::kControlTraitTabStop; }
};

}  // namespace skintest
