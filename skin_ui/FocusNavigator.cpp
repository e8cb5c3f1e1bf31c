#include "skin_ui/FocusNavigator.h"

#include <algorithm>
#include <vector>

#include "skin_ui/ControlUI.h"
#include "skin_ui/NativeWindowOps.h"
#include "skin_ui/WindowManagerUI.h"

namespace SkinUI {

namespace {

// Visible, enabled controls in tree order, each container before its children.
std::vector<CControlUI*> TreeOrder(CControlUI* root) {
  std::vector<CControlUI*> order;
  root->FindControl(
      [](CControlUI* control, void* data) -> CControlUI* {
        static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
        return nullptr;
      },
      &order, kFindVisible | kFindEnabled | kFindMeFirst);
  return order;
}

bool TakesTab(const CControlUI* control) { return (control->GetControlTraits() & kControlTraitTabStop) != 0; }

void SendFocusEvent(CControlUI* control, int type, CControlUI* sender) {
  UIEvent event;
  event.type = type;
  event.sender = sender;
  event.timestamp = native::TickCount();
  control->Event(event);
}

}  // namespace

void UIFocusNavigator::SetFocus(CControlUI* control, bool focusWindow) {
  NativeWindow window = manager_.GetNativeWindow();
  if (focusWindow && window && !native::HasFocus(window) && control != focus_ && !manager_.IsNoActivate())
    native::Focus(window);
  if (control == focus_) return;
  anchor_ = nullptr;
  if (focus_) {
    CControlUI* old = focus_;
    SendFocusEvent(old, kEventKillFocus, control);
    manager_.SendNotification(old, kNotifyKillFocus);
    if (focus_ == old) focus_ = nullptr;
  }
  if (!control || control->GetManager() != &manager_ || !control->IsVisible() || !control->IsEnabled()) return;
  focus_ = control;
  SendFocusEvent(control, kEventSetFocus, control);
  manager_.SendNotification(control, kNotifySetFocus);
}

void UIFocusNavigator::MoveFocusToNext(bool forward) {
  if (manager_.IsUpdateNeeded() && forward) {
    focusNeeded_ = true;
    manager_.Invalidate();
    return;
  }
  focusNeeded_ = false;
  CControlUI* root = manager_.GetRoot();
  if (!root) return;
  const std::vector<CControlUI*> order = TreeOrder(root);
  auto first = std::find_if(order.begin(), order.end(), TakesTab);
  if (first == order.end()) return;
  CControlUI* from = focus_ ? focus_ : anchor_;
  anchor_ = nullptr;
  // The starting control's place in tree order, whether or not it takes the focus itself.
  auto at = std::find(order.begin(), order.end(), from);
  CControlUI* next = nullptr;
  if (at == order.end()) {
    next = *first;
  } else if (forward) {
    auto found = std::find_if(at + 1, order.end(), TakesTab);
    next = found != order.end() ? *found : *first;
  } else {
    auto found = std::find_if(std::make_reverse_iterator(at), order.rend(), TakesTab);
    next = found != order.rend() ? *found : *std::find_if(order.rbegin(), order.rend(), TakesTab);
  }
  SetFocus(next, true);
}

void UIFocusNavigator::RequestFocus(CControlUI* control) {
  NativeWindow window = manager_.GetNativeWindow();
  if (window && !manager_.IsNoActivate()) native::Focus(window);
  SetFocus(nullptr, false);
  CControlUI* root = manager_.GetRoot();
  if (!control || !root) return;
  // The Tab stop before `control`: the forward move after the layout lands on `control`.
  anchor_ = nullptr;
  for (CControlUI* c : TreeOrder(root)) {
    if (c == control) break;
    if (TakesTab(c)) anchor_ = c;
  }
  focusNeeded_ = true;
  manager_.MarkForLayout();
  manager_.Invalidate();
}

void UIFocusNavigator::Reset() {
  anchor_ = nullptr;
  focusNeeded_ = true;
}

void UIFocusNavigator::Forget(const CControlUI* control) {
  if (focus_ == control) focus_ = nullptr;
  if (anchor_ == control) anchor_ = nullptr;
}

}  // namespace SkinUI
