#pragma once
// A window's asynchronous notifications and the controls waiting to be deleted after them.
// Both are filled and drained on the window's thread; one wake-up message is posted per
// emptying of the queue.

#include <deque>
#include <vector>

#include "skin_ui/UIEvents.h"

namespace SkinUI {

class UINotificationQueue {
 public:
  UINotificationQueue() = default;
  UINotificationQueue(const UINotificationQueue&) = delete;
  UINotificationQueue& operator=(const UINotificationQueue&) = delete;
  ~UINotificationQueue() { DeleteQueuedControls(); }

  // Queues `msg`; unless repeats are allowed, a queued notification of the same sender and type
  // takes the new values instead. True when a wake-up must be posted (none is pending).
  bool Enqueue(const UINotify& msg, bool allowRepeat);
  // The wake-up arrived, or could not be posted.
  void WakeUpDone() { wakeUpPosted_ = false; }
  void WakeUpPosted() { wakeUpPosted_ = true; }
  bool TakeFront(UINotify& msg);
  int Count() const { return static_cast<int>(queue_.size()); }
  void ClearNotifications() { queue_.clear(); }
  // Queued notifications from `control` lose their sender.
  void ForgetSender(const CControlUI* control);

  void QueueForDeletion(CControlUI* control);
  // Deleting a control may queue others; they are deleted too.
  void DeleteQueuedControls();

 private:
  std::deque<UINotify> queue_;
  std::vector<CControlUI*> delayedCleanup_;
  bool wakeUpPosted_ = false;
};

}  // namespace SkinUI
