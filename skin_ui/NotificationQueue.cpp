#include "skin_ui/NotificationQueue.h"

#include <algorithm>

#include "skin_ui/ControlUI.h"

namespace SkinUI {

bool UINotificationQueue::Enqueue(const UINotify& msg, bool allowRepeat) {
  auto same = [&msg](const UINotify& queued) { return queued.sender == msg.sender && queued.type == msg.type; };
  auto found = allowRepeat ? queue_.end() : std::find_if(queue_.begin(), queue_.end(), same);
  if (found != queue_.end())
    *found = msg;
  else
    queue_.push_back(msg);
  return !wakeUpPosted_;
}

bool UINotificationQueue::TakeFront(UINotify& msg) {
  if (queue_.empty()) return false;
  msg = queue_.front();
  queue_.pop_front();
  return true;
}

void UINotificationQueue::ForgetSender(const CControlUI* control) {
  for (UINotify& msg : queue_)
    if (msg.sender == control) msg.sender = nullptr;
}

void UINotificationQueue::QueueForDeletion(CControlUI* control) {
  if (std::find(delayedCleanup_.begin(), delayedCleanup_.end(), control) == delayedCleanup_.end())
    delayedCleanup_.push_back(control);
}

void UINotificationQueue::DeleteQueuedControls() {
  while (!delayedCleanup_.empty()) {
    CControlUI* control = delayedCleanup_.front();
    delayedCleanup_.erase(delayedCleanup_.begin());
    control->Delete();
  }
}

}  // namespace SkinUI
