#include "skin_ui/NotifyPump.h"

#include <cwchar>

#include "skin_ui/ControlUI.h"

namespace SkinUI {

bool CNotifyPump::AddVirtualWnd(const wchar_t* name, CNotifyPump* pump) {
  if (!name || !*name || !pump) return false;
  return virtualWindows_.Insert(name, pump);
}

bool CNotifyPump::RemoveVirtualWnd(const wchar_t* name) { return virtualWindows_.Remove(name); }

bool CNotifyPump::DispatchNotification(UINotify& msg) {
  if (!msg.virtualWindow.IsEmpty()) {
    for (int i = 0; i < virtualWindows_.GetSize(); ++i) {
      if (msg.virtualWindow.CompareNoCase(virtualWindows_.GetKeyAt(i)) != 0) continue;
      if (static_cast<CNotifyPump*>(virtualWindows_.GetValueAt(i))->LoopDispatch(msg)) return true;
      break;
    }
  }
  return LoopDispatch(msg);
}

bool CNotifyPump::LoopDispatch(UINotify& msg) {
  const wchar_t* senderName = msg.sender ? msg.sender->GetName().GetData() : L"";
  for (const UIMessageMap* map = GetMessageMap(); map; map = map->base) {
    const UIMessageMapEntry* found = nullptr;
    const UIMessageMapEntry* fallback = nullptr;
    for (const UIMessageMapEntry* entry = map->entries; entry && entry->signature != kSigEnd; ++entry) {
      if (msg.type != entry->type) continue;
      const wchar_t* name = entry->controlName ? entry->controlName : L"";
      if (!*name) {
        fallback = entry;
      } else if (wcscmp(name, senderName) == 0) {
        found = entry;
        break;
      }
    }
    if (!found) found = fallback;
    if (!found) continue;
    switch (found->signature) {
      case kSigParams:
        (this->*found->paramsHandler)(msg.wParam, msg.lParam);
        return true;
      case kSigNotify:
        (this->*found->notifyHandler)(msg);
        return true;
      default:
        return false;
    }
  }
  return false;
}

}  // namespace SkinUI
