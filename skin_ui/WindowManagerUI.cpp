#include "skin_ui/WindowManagerUI.h"

#include <algorithm>

#include "skin_ui/ControlUI.h"
#include "skin_ui/InputEvent.h"
#include "skin_ui/NativeWindowOps.h"
#include "skin_ui/SkinArchive.h"

namespace SkinUI {

namespace {

CSkinResources& Shared() { return CSkinResources::Shared(); }

template <class Map>
auto FindIn(Map& map, const wchar_t* key) -> decltype(&map.begin()->second) {
  if (!key) return nullptr;
  auto it = map.find(key);
  return it == map.end() ? nullptr : &it->second;
}

// FindControl callbacks.
CControlUI* RegisterName(CControlUI* control, void* data) {
  auto* names = static_cast<std::unordered_map<std::wstring, CControlUI*>*>(data);
  if (!control->GetName().IsEmpty()) (*names)[control->GetName().GetData()] = control;
  return nullptr;
}

CControlUI* FromPoint(CControlUI* control, void* data) {
  return control->GetPos().Contains(*static_cast<UIPoint*>(data)) ? control : nullptr;
}

CControlUI* FromNameNoCase(CControlUI* control, void* data) {
  const CUIString& name = control->GetName();
  return !name.IsEmpty() && name.CompareNoCase(static_cast<const wchar_t*>(data)) == 0 ? control : nullptr;
}

CControlUI* CollectNeedingLayout(CControlUI* control, void* data) {
  if (!control->IsUpdateNeeded()) return nullptr;
  auto* found = static_cast<std::vector<CControlUI*>*>(data);
  if (std::find(found->begin(), found->end(), control) == found->end()) found->push_back(control);
  return control;
}

template <class T>
bool AddOnce(std::vector<T*>& list, T* item) {
  if (!item || std::find(list.begin(), list.end(), item) != list.end()) return false;
  list.push_back(item);
  return true;
}

// The first filter that handles the message gives the answer; a filter may remove itself while
// it runs, so a copy of the list is walked.
bool RunFilters(const std::vector<IMessageFilterUI*>& list, uint32_t message, uintptr_t wParam, intptr_t lParam,
                intptr_t& result) {
  const std::vector<IMessageFilterUI*> filters(list);
  for (IMessageFilterUI* filter : filters) {
    bool handled = false;
    const intptr_t answer = filter->MessageHandler(message, wParam, lParam, handled);
    if (handled) {
      result = answer;
      return true;
    }
  }
  return false;
}

CControlUI* ForgetEach(CControlUI* control, void* data) {
  static_cast<CWindowManagerUI*>(data)->ForgetControl(control);
  return nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Process-wide settings

void CWindowManagerUI::SetInstance(void* instance) { Shared().instance = instance; }
void* CWindowManagerUI::GetInstance() { return Shared().instance; }
void CWindowManagerUI::SetResourceFolder(const wchar_t* path) { SetSkinResourcePath(path); }
const wchar_t* CWindowManagerUI::GetResourceFolder() { return GetSkinResourcePath().c_str(); }

bool CWindowManagerUI::SetResourceZip(const wchar_t* zipName, bool cached) {
  SetSkinArchiveCached(cached);
  return SetSkinArchiveFile(zipName);
}

bool CWindowManagerUI::SetResourceZip(const void* bytes, size_t size) { return SetSkinArchiveMemory(bytes, size); }

const wchar_t* CWindowManagerUI::GetResourceZip() { return GetSkinArchiveName().c_str(); }

void CWindowManagerUI::AddControlFactory(ControlFactory factory) {
  if (factory) Shared().factories.push_back(factory);
}

CControlUI* CWindowManagerUI::CreateControlFromFactories(const wchar_t* elementName) {
  return Shared().CreateControl(elementName);
}

void CWindowManagerUI::SetMultiLanguageString(int id, const wchar_t* text) {
  if (id >= 0) Shared().multiLanguage[id] = text ? text : L"";
}

const wchar_t* CWindowManagerUI::GetMultiLanguageString(int id) { return Shared().GetMultiLanguageString(id); }

const std::vector<CWindowManagerUI*>& CWindowManagerUI::GetManagers() { return Shared().managers; }

void CWindowManagerUI::ResetSharedResources() {
  Shared().Reset();
  CImageCache::Shared().RemoveAll();
}

// ---------------------------------------------------------------------------------------------
// Window, root and names

CWindowManagerUI::CWindowManagerUI() {
  attributes_.onInitSize = [this](UISize size) {
    if (!root_) native::ResizeClient(window_, size);
  };
}

CWindowManagerUI::~CWindowManagerUI() {
  notifications_.ClearNotifications();
  notifications_.DeleteQueuedControls();
  if (root_) root_->Delete();
  root_ = nullptr;
  auto& managers = Shared().managers;
  managers.erase(std::remove(managers.begin(), managers.end(), this), managers.end());
}

void CWindowManagerUI::Init(NativeWindow window, const wchar_t* resourceName) {
  names_.clear();
  timers_.RemoveAll();
  fonts_.Clear();
  defaultAttributes_.clear();
  attributes_.ClearCustom();
  images_.RemoveAll();
  RemoveAllOptionGroups();
  resourceName_ = resourceName ? resourceName : L"";
  auto& managers = Shared().managers;
  if (std::find(managers.begin(), managers.end(), this) == managers.end()) managers.push_back(this);
  window_ = window;
}

bool CWindowManagerUI::AttachRoot(CControlUI* root) {
  if (!root) return false;
  SetFocus(nullptr, false);
  keyboardRouter_.Reset();
  mouseRouter_.Reset();
  tooltip_.Hide(window_);
  if (root_) {
    notifications_.ClearNotifications();
    notifications_.DeleteQueuedControls();
    names_.clear();
    painter_.Reset();
    nativeWindows_.clear();
    QueueForDeletion(root_);
  }
  root_ = root;
  firstLayout_ = true;
  updateNeeded_ = true;
  focus_.Reset();
  InitControls(root, nullptr);
  Invalidate();
  return true;
}

void CWindowManagerUI::InitControls(CControlUI* control, CControlUI* parent) {
  if (!control) return;
  control->SetManager(this, parent ? parent : control->GetParent(), true);
  control->FindControl(RegisterName, &names_, 0);
}

void CWindowManagerUI::RenameControl(CControlUI* control, const wchar_t* oldName, const wchar_t* newName) {
  if (!control || !newName) return;
  auto holder = names_.find(newName);
  if (holder != names_.end() && holder->second != control) return;
  if (oldName && *oldName) {
    auto old = names_.find(oldName);
    if (old != names_.end() && old->second == control) names_.erase(old);
  }
  if (*newName) names_[newName] = control;
}

CControlUI* CWindowManagerUI::FindControl(const wchar_t* name) const {
  CControlUI* const* found = FindIn(names_, name);
  return found ? *found : nullptr;
}

CControlUI* CWindowManagerUI::FindControl(UIPoint point) const {
  return root_ ? root_->FindControl(FromPoint, &point, kFindVisible | kFindHitTest | kFindTopFirst) : nullptr;
}

CControlUI* CWindowManagerUI::FindChildByName(CControlUI* parent, const wchar_t* name) const {
  if (!parent || !name) return nullptr;
  return parent->FindControl(FromNameNoCase, const_cast<wchar_t*>(name), 0);
}

void CWindowManagerUI::ForgetControl(CControlUI* control) {
  if (!control) return;
  focus_.Forget(control);
  mouseRouter_.Forget(control);
  keyboardRouter_.Forget(control);
  painter_.Forget(control);
  timers_.KillAll(control);
  if (root_ == control) root_ = nullptr;
  std::erase_if(names_, [control](const auto& entry) { return entry.second == control; });
  std::erase_if(nativeWindows_, [control](const auto& entry) { return entry.second == control; });
  notifications_.ForgetSender(control);
  for (auto& [name, group] : optionGroups_) std::erase(group, control);
}

void CWindowManagerUI::QueueForDeletion(CControlUI* control) {
  if (!control) return;
  control->FindControl(ForgetEach, this, 0);
  control->SetManager(nullptr, nullptr, false);
  notifications_.QueueForDeletion(control);
}

// ---------------------------------------------------------------------------------------------
// Notifications

bool CWindowManagerUI::AddNotifier(INotifyUI* notifier) { return AddOnce(notifiers_, notifier); }

bool CWindowManagerUI::RemoveNotifier(INotifyUI* notifier) { return std::erase(notifiers_, notifier) > 0; }

void CWindowManagerUI::SendNotification(CControlUI* control, const wchar_t* type, uintptr_t wParam, uintptr_t lParam,
                                        bool async, bool allowRepeat) {
  UINotify msg;
  msg.type = type;
  msg.sender = control;
  msg.wParam = wParam;
  msg.lParam = lParam;
  SendNotification(msg, async, allowRepeat);
}

void CWindowManagerUI::SendNotification(UINotify& msg, bool async, bool allowRepeat) {
  msg.timestamp = native::TickCount();
  msg.mouse = mouse_;
  if (usesVirtualWindows_) {
    msg.virtualWindow.Empty();
    for (CControlUI* c = msg.sender; c; c = c->GetParent()) {
      if (!c->GetVirtualWindow().IsEmpty()) {
        msg.virtualWindow = c->GetVirtualWindow();
        break;
      }
    }
  }
  if (!async) {
    if (msg.sender) msg.sender->OnNotify(&msg);
    // A notifier may remove itself while it is called: walk a copy.
    const std::vector<INotifyUI*> notifiers(notifiers_);
    for (INotifyUI* notifier : notifiers) notifier->Notify(msg);
    return;
  }
  if (notifications_.Enqueue(msg, allowRepeat) && native::PostNotifyWakeUp(window_)) notifications_.WakeUpPosted();
}

void CWindowManagerUI::DeliverQueuedNotifications() {
  notifications_.WakeUpDone();
  UINotify msg;
  while (notifications_.TakeFront(msg)) SendNotification(msg, false, false);
  notifications_.DeleteQueuedControls();
}

// ---------------------------------------------------------------------------------------------
// Invalidation and layout

void CWindowManagerUI::Invalidate(UIRect rect) {
  rect.left = std::max(rect.left, 0);
  rect.top = std::max(rect.top, 0);
  rect.right = std::max(rect.right, rect.left);
  rect.bottom = std::max(rect.bottom, rect.top);
  native::InvalidateRect(window_, rect);
}

void CWindowManagerUI::Invalidate() { native::InvalidateWindow(window_); }

void CWindowManagerUI::UpdateLayout(const UIRect& client) {
  if (!root_) return;
  if (focus_.IsFocusNeeded()) MoveFocusToNext(true);
  if (!updateNeeded_) return;
  updateNeeded_ = false;
  if (client.IsEmpty()) return;
  if (root_->IsUpdateNeeded()) {
    root_->SetPos(client, true);
  } else {
    std::vector<CControlUI*> found;
    root_->FindControl(CollectNeedingLayout, &found, kFindVisible | kFindMeFirst | kFindUpdateTest);
    for (CControlUI* control : found)
      control->SetPos(control->IsFloat() ? control->GetParentRelativeRect() : control->GetPos(), true);
  }
  if (firstLayout_) {
    firstLayout_ = false;
    SendNotification(root_, kNotifyWindowInit, 0, 0, false);
  }
}

// ---------------------------------------------------------------------------------------------
// Resources

void CWindowManagerUI::AddDefaultAttributeList(const wchar_t* elementName, const wchar_t* list, bool shared) {
  if (!elementName || !*elementName || !list) return;
  (shared ? Shared().defaultAttributes : defaultAttributes_)[elementName] = list;
}

const wchar_t* CWindowManagerUI::GetDefaultAttributeList(const wchar_t* elementName) const {
  if (const std::wstring* list = FindIn(defaultAttributes_, elementName)) return list->c_str();
  if (const std::wstring* list = FindIn(Shared().defaultAttributes, elementName)) return list->c_str();
  return nullptr;
}

const UIFontInfo* CWindowManagerUI::AddFont(int id, const wchar_t* face, int32_t size, bool bold, bool underline,
                                            bool italic, bool shared) {
  return (shared ? Shared().fonts : fonts_).Add(id, face, size, bold, underline, italic);
}

const UIFontInfo* CWindowManagerUI::SetDefaultFont(const wchar_t* face, int32_t size, bool bold, bool underline,
                                                   bool italic, bool shared) {
  return (shared ? Shared().fonts : fonts_).SetDefault(face, size, bold, underline, italic);
}

const UIFontInfo* CWindowManagerUI::GetDefaultFontInfo() const {
  if (const UIFontInfo* font = fonts_.GetDefault()) return font;
  return Shared().fonts.GetDefault();
}

const UIFontInfo* CWindowManagerUI::GetFontInfo(int id) const {
  if (const UIFontInfo* font = fonts_.Find(id)) return font;
  if (const UIFontInfo* font = Shared().fonts.Find(id)) return font;
  return GetDefaultFontInfo();
}

UITextMetrics CWindowManagerUI::GetFontMetrics(int id) {
  auto* font = const_cast<UIFontInfo*>(GetFontInfo(id));
  if (!font) return UITextMetrics{};
  if (!font->metrics.measured) native::MeasureFont(window_, font->handle, font->metrics);
  return font->metrics;
}

NativeFont CWindowManagerUI::GetFont(int id) const {
  const UIFontInfo* font = GetFontInfo(id);
  return font ? font->handle : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Pictures, and the fonts the markup makes

UIImagePtr CWindowManagerUI::AddImage(const wchar_t* name, const wchar_t* type, UIColor mask, bool useAdjustment,
                                      bool shared) {
  return (shared ? CImageCache::Shared() : images_).Add(name, type, mask, useAdjustment);
}

UIImagePtr CWindowManagerUI::GetImage(const wchar_t* name) const {
  if (UIImagePtr image = images_.Find(name)) return image;
  return CImageCache::Shared().Find(name);
}

UIImagePtr CWindowManagerUI::LookupImage(const wchar_t* name, const wchar_t* type, UIColor mask, bool useAdjustment) {
  if (UIImagePtr image = GetImage(name)) return image;
  return AddImage(name, type, mask, useAdjustment, false);
}

bool CWindowManagerUI::RemoveImage(const wchar_t* name, bool shared) {
  return (shared ? CImageCache::Shared() : images_).Remove(name);
}

void CWindowManagerUI::RemoveAllImages() { images_.RemoveAll(); }

int CWindowManagerUI::FindOrAddFont(const wchar_t* face, int32_t size, bool bold, bool underline, bool italic) {
  const auto matches = [&](const UIFontInfo& font) {
    return font.face.CompareNoCase(face ? face : L"") == 0 && font.size == size && font.bold == bold &&
           font.underline == underline && font.italic == italic;
  };
  int found = -1;
  int64_t newId = 0;
  fonts_.ForEach([&](int id, const UIFontInfo& font) {
    newId = std::max<int64_t>(newId, int64_t{id} + 1);
    if (found < 0 && matches(font)) found = id;
  });
  Shared().fonts.ForEach([&](int id, const UIFontInfo& font) {
    newId = std::max<int64_t>(newId, int64_t{id} + 1);
    // A process-wide font counts only where the window has no font of that id.
    if (found < 0 && !fonts_.Find(id) && matches(font)) found = id;
  });
  if (found >= 0) return found;
  AddFont(Saturate(newId), face, size, bold, underline, italic);
  return Saturate(newId);
}

bool CWindowManagerUI::AddOptionGroup(const wchar_t* group, CControlUI* control) {
  if (!group || !*group || !control) return false;
  std::vector<CControlUI*>& members = optionGroups_[group];
  if (std::find(members.begin(), members.end(), control) != members.end()) return false;
  members.push_back(control);
  return true;
}

const std::vector<CControlUI*>* CWindowManagerUI::GetOptionGroup(const wchar_t* group) const {
  return FindIn(optionGroups_, group);
}

void CWindowManagerUI::RemoveOptionGroup(const wchar_t* group, CControlUI* control) {
  if (!group) return;
  auto it = optionGroups_.find(group);
  if (it == optionGroups_.end()) return;
  std::erase(it->second, control);
  if (it->second.empty()) optionGroups_.erase(it);
}

// ---------------------------------------------------------------------------------------------
// Timers, native child windows and filters

bool CWindowManagerUI::SetTimer(CControlUI* control, uint32_t id, uint32_t ms) {
  return control && control->GetManager() == this && timers_.Set(control, window_, id, ms);
}

bool CWindowManagerUI::AddNativeWindow(CControlUI* control, NativeWindow child) {
  if (!control || !child || GetNativeWindowControl(child)) return false;
  nativeWindows_.emplace_back(child, control);
  return true;
}

bool CWindowManagerUI::RemoveNativeWindow(NativeWindow child) {
  return std::erase_if(nativeWindows_, [child](const auto& entry) { return entry.first == child; }) > 0;
}

CControlUI* CWindowManagerUI::GetNativeWindowControl(NativeWindow child) const {
  for (const auto& [window, control] : nativeWindows_)
    if (window == child) return control;
  return nullptr;
}

void CWindowManagerUI::NativeWindowFocused(NativeWindow child) {
  if (CControlUI* control = GetNativeWindowControl(child)) SetFocus(control, false);
}

bool CWindowManagerUI::AddPreMessageFilter(IMessageFilterUI* filter) { return AddOnce(preMessageFilters_, filter); }

bool CWindowManagerUI::AddMessageFilter(IMessageFilterUI* filter) { return AddOnce(messageFilters_, filter); }

// ---------------------------------------------------------------------------------------------
// Message routing

bool CWindowManagerUI::TranslateWindowMessage(const UIMessage& msg) {
  const std::vector<CWindowManagerUI*> managers(GetManagers());
  if (!native::IsChildStyle(msg.window)) {
    for (CWindowManagerUI* manager : managers) {
      intptr_t result = 0;
      if (manager->window_ == msg.window)
        return manager->PreFilterMessage(msg.message, msg.wParam, msg.lParam, result);
    }
    return false;
  }
  // A child window's message goes to the managers of its ancestors, the last registered first;
  // what they answer does not consume it.
  for (auto it = managers.rbegin(); it != managers.rend(); ++it) {
    CWindowManagerUI* manager = *it;
    for (NativeWindow ancestor = native::GetParentWindow(msg.window); ancestor;
         ancestor = native::GetParentWindow(ancestor)) {
      if (ancestor != manager->window_) continue;
      intptr_t result = 0;
      manager->PreFilterMessage(msg.message, msg.wParam, msg.lParam, result);
      break;
    }
  }
  return false;
}

bool CWindowManagerUI::PreFilterMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) {
  if (RunFilters(preMessageFilters_, message, wParam, lParam, result)) return true;
  return keyboardRouter_.PreFilter(message, wParam, lParam);
}

bool CWindowManagerUI::FilterMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) {
  if (!window_) return false;
  // The filters see the mouse position the message brings.
  switch (message) {
    case kMsgContextMenu:
    case kMsgMouseWheel:
      mouse_ = native::ScreenToClient(window_, PointFromLParam(lParam));
      break;
    case kMsgMouseMove:
    case kMsgLButtonDown:
    case kMsgLButtonUp:
    case kMsgLButtonDblClk:
      mouse_ = PointFromLParam(lParam);
      break;
    default:
      break;
  }
  if (RunFilters(messageFilters_, message, wParam, lParam, result)) return true;

  switch (message) {
    case kMsgNotifyWakeUp:
      DeliverQueuedNotifications();
      result = 0;
      return true;
    case kMsgClose:
      OnCloseRequest();
      return false;
    case kMsgEraseBackground:
      result = 1;
      return true;
    case kMsgPaint:
      painter_.Paint();
      result = 0;
      return true;
    case kMsgSize:
      OnWindowSize(wParam, lParam);
      result = 0;
      return true;
    case kMsgGetMinMaxInfo: {
      auto* info = reinterpret_cast<UIMinMaxInfo*>(lParam);
      const UIWindowAttributes& a = attributes_;
      if (info && a.minInfo.cx > 0) info->minTrackSize.x = a.minInfo.cx;
      if (info && a.minInfo.cy > 0) info->minTrackSize.y = a.minInfo.cy;
      if (info && a.maxInfo.cx > 0) info->maxTrackSize.x = a.maxInfo.cx;
      if (info && a.maxInfo.cy > 0) info->maxTrackSize.y = a.maxInfo.cy;
      return false;
    }
    case kMsgTimer: {
      uint32_t id = 0;
      CControlUI* control = timers_.Find(window_, wParam, id);
      if (!control) return false;
      UIEvent event = MakeInputEvent(kEventTimer, control, mouse_, id, static_cast<uintptr_t>(lParam));
      control->Event(event);
      result = 0;
      return true;
    }
    case kMsgKillFocus:
      // The keyboard focus went to a control's own child window.
      NativeWindowFocused(reinterpret_cast<NativeWindow>(wParam));
      return false;
    case kMsgNotify:
    case kMsgCommand:
    case kMsgCtlColorEdit:
    case kMsgCtlColorStatic:
      return Reflect(message, wParam, lParam, result);
    case kMsgMouseActivate:
      if (!attributes_.noActivate) return false;
      result = kMouseActivateNoActivate;
      return true;
    case kMsgKeyDown:
    case kMsgKeyUp:
    case kMsgChar:
      return RouteKey(message, wParam, lParam);
    default:
      return RouteMouse(message, wParam, lParam, result);
  }
}

bool CWindowManagerUI::RouteMouse(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) {
  if (!root_) return false;
  switch (message) {
    case kMsgMouseMove:
      mouseRouter_.MouseMove(mouse_);
      return false;
    case kMsgLButtonDown:
      mouseRouter_.ButtonDown(mouse_, wParam);
      return false;
    case kMsgLButtonUp:
      mouseRouter_.ButtonUp(mouse_, wParam);
      return false;
    case kMsgLButtonDblClk:
      mouseRouter_.DoubleClick(mouse_, wParam);
      return false;
    case kMsgRButtonDown:
      mouse_ = PointFromLParam(lParam);
      mouseRouter_.RightButtonDown(mouse_, wParam);
      return false;
    case kMsgContextMenu:
      mouseRouter_.ContextMenu(mouse_);
      return false;
    case kMsgMouseWheel:
      mouseRouter_.Wheel(mouse_, static_cast<int16_t>((wParam >> 16) & 0xFFFF));
      return false;
    case kMsgMouseHover:
      mouse_ = PointFromLParam(lParam);
      mouseRouter_.Hover(mouse_);
      return false;
    case kMsgMouseLeave:
      mouseRouter_.Leave();
      return false;
    case kMsgSetCursor:
      // Only the client area: the borders keep the system's cursors.
      if ((lParam & 0xFFFF) != kHitClient || !mouseRouter_.SetCursor()) return false;
      result = 1;
      return true;
    default:
      return false;
  }
}

bool CWindowManagerUI::RouteKey(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (message == kMsgKeyDown)
    keyboardRouter_.KeyDown(wParam, lParam);
  else if (message == kMsgKeyUp)
    keyboardRouter_.KeyUp(wParam, lParam);
  else
    keyboardRouter_.Char(wParam, lParam);
  return false;
}

bool CWindowManagerUI::Reflect(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) {
  // The window concerned: the notify header's first field, or the lParam of the others. Commands
  // from menus and accelerators name no window and are not reflected.
  NativeWindow child = nullptr;
  if (message == kMsgNotify)
    child = lParam ? *reinterpret_cast<NativeWindow*>(lParam) : nullptr;
  else
    child = reinterpret_cast<NativeWindow>(lParam);
  if (!child || !native::IsChildWindow(window_, child)) return false;
  result = native::SendWindowMessage(child, message + kReflectedMessageOffset, wParam, lParam);
  return true;
}

void CWindowManagerUI::OnWindowSize(uintptr_t wParam, intptr_t lParam) {
  if (CControlUI* focus = GetFocus()) {
    UIEvent event = MakeInputEvent(kEventWindowSize, focus, mouse_, wParam, static_cast<uintptr_t>(lParam));
    focus->Event(event);
  }
  if (root_) root_->MarkForLayout();
}

void CWindowManagerUI::OnCloseRequest() {
  mouseRouter_.Close();
  SetFocus(nullptr, false);
  if (native::IsActive(window_)) native::FocusOwnerOrParent(window_);
  tooltip_.Destroy();
}

}  // namespace SkinUI
