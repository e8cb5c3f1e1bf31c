#include "skin_ui/WindowManagerUI.h"

#include <algorithm>
#include <map>
#include <string>

#include "skin_ui/ControlUI.h"
#include "skin_ui/NativeWindowOps.h"
#include "skin_ui/SkinArchive.h"
#include "skin_ui/ValueSyntax.h"

namespace SkinUI {

namespace {

struct SharedState {
  void* instance = nullptr;
  std::vector<ControlFactory> factories;
  std::vector<CWindowManagerUI*> managers;
  CUIStringMap fonts;              // owned UIFontInfo values
  CUIStringMap defaultAttributes;  // owned CUIString values
  UIFontInfo defaultFont;
  bool hasDefaultFont = false;
  std::map<int, CUIString> multiLanguage;
};

SharedState& Shared() {
  static SharedState state;
  return state;
}

constexpr UIColor kDefaultDisabledColor = 0xFFA7A6AA;
constexpr UIColor kDefaultFontColor = 0xFF000000;
constexpr UIColor kDefaultLinkColor = 0xFF0000FF;
constexpr UIColor kDefaultLinkHoverColor = 0xFFD3215F;
constexpr UIColor kDefaultSelectedColor = 0xFFBAE4FF;

std::wstring FontKey(int id) { return std::to_wstring(id); }

void DeleteStringValues(CUIStringMap& map) {
  for (int i = 0; i < map.GetSize(); ++i) delete static_cast<CUIString*>(map.GetValueAt(i));
  map.RemoveAll();
}

void DeleteFontValues(CUIStringMap& map) {
  for (int i = 0; i < map.GetSize(); ++i) {
    auto* font = static_cast<UIFontInfo*>(map.GetValueAt(i));
    native::DeleteUIFont(font->handle);
    delete font;
  }
  map.RemoveAll();
}

void FillFont(UIFontInfo& font, const wchar_t* face, int32_t size, bool bold, bool underline, bool italic) {
  native::DeleteUIFont(font.handle);
  font.face.Assign(face ? face : L"", kMaxFontFaceLength);
  font.size = size;
  font.bold = bold;
  font.underline = underline;
  font.italic = italic;
  font.handle = native::CreateUIFont(font.face, size, bold, underline, italic);
  font.metrics = UITextMetrics{};
}

// FindControl callbacks.
CControlUI* RegisterName(CControlUI* control, void* data) {
  auto* names = static_cast<CUIStringMap*>(data);
  if (!control->GetName().IsEmpty()) names->Set(control->GetName(), control);
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
  auto* found = static_cast<CUIPtrArray*>(data);
  if (found->Find(control) < 0) found->Add(control);
  return control;
}

CControlUI* CollectTabStops(CControlUI* control, void* data) {
  if (control->GetControlTraits() & kControlTraitTabStop) static_cast<CUIPtrArray*>(data)->Add(control);
  return nullptr;
}

struct ForgetData {
  CWindowManagerUI* manager;
};

CControlUI* ForgetEach(CControlUI* control, void* data) {
  static_cast<ForgetData*>(data)->manager->ForgetControl(control);
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
  for (ControlFactory factory : Shared().factories)
    if (CControlUI* control = factory(elementName)) return control;
  return nullptr;
}

void CWindowManagerUI::SetMultiLanguageString(int id, const wchar_t* text) {
  if (id >= 0) Shared().multiLanguage[id] = text ? text : L"";
}

const wchar_t* CWindowManagerUI::GetMultiLanguageString(int id) {
  auto it = Shared().multiLanguage.find(id);
  return it == Shared().multiLanguage.end() ? nullptr : it->second.GetData();
}

const std::vector<CWindowManagerUI*>& CWindowManagerUI::GetManagers() { return Shared().managers; }

void CWindowManagerUI::ResetSharedResources() {
  SharedState& shared = Shared();
  shared.factories.clear();
  DeleteFontValues(shared.fonts);
  DeleteStringValues(shared.defaultAttributes);
  CImageCache::Shared().RemoveAll();
  native::DeleteUIFont(shared.defaultFont.handle);
  shared.defaultFont = UIFontInfo{};
  shared.hasDefaultFont = false;
  shared.multiLanguage.clear();
}

// ---------------------------------------------------------------------------------------------

CWindowManagerUI::CWindowManagerUI()
    : disabledColor_(kDefaultDisabledColor),
      fontColor_(kDefaultFontColor),
      linkColor_(kDefaultLinkColor),
      linkHoverColor_(kDefaultLinkHoverColor),
      selectedColor_(kDefaultSelectedColor) {}

CWindowManagerUI::~CWindowManagerUI() {
  ClearAsyncQueue();
  DeleteQueuedControls();
  if (root_) root_->Delete();
  root_ = nullptr;
  DeleteStringValues(windowCustomAttributes_);
  DeleteStringValues(defaultAttributes_);
  RemoveAllOptionGroups();
  DeleteFontValues(fonts_);
  native::DeleteUIFont(defaultFont_.handle);
  auto& managers = Shared().managers;
  managers.erase(std::remove(managers.begin(), managers.end(), this), managers.end());
}

void CWindowManagerUI::Init(NativeWindow window, const wchar_t* resourceName) {
  names_.RemoveAll();
  DeleteFontValues(fonts_);
  DeleteStringValues(defaultAttributes_);
  DeleteStringValues(windowCustomAttributes_);
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
  keyControl_ = hover_ = click_ = tooltipControl_ = nullptr;
  if (root_) {
    ClearAsyncQueue();
    DeleteQueuedControls();
    names_.RemoveAll();
    QueueForDeletion(root_);
  }
  root_ = root;
  firstLayout_ = true;
  updateNeeded_ = true;
  focusNeeded_ = true;
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
  auto* holder = static_cast<CControlUI*>(names_.Find(newName, false));
  if (holder && holder != control) return;
  if (oldName && *oldName && names_.Find(oldName, false) == control) names_.Remove(oldName);
  if (*newName) names_.Set(newName, control);
}

CControlUI* CWindowManagerUI::FindControl(const wchar_t* name) const {
  return name ? static_cast<CControlUI*>(names_.Find(name)) : nullptr;
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
  if (focus_ == control) focus_ = nullptr;
  if (hover_ == control) hover_ = nullptr;
  if (click_ == control) click_ = nullptr;
  if (keyControl_ == control) keyControl_ = nullptr;
  if (tooltipControl_ == control) tooltipControl_ = nullptr;
  if (root_ == control) root_ = nullptr;
  for (int i = 0; i < names_.GetSize();) {
    if (names_.GetValueAt(i) == control)
      names_.Remove(names_.GetKeyAt(i));
    else
      ++i;
  }
  for (UINotify* msg : asyncQueue_)
    if (msg->sender == control) msg->sender = nullptr;
  RemoveMouseLeaveNeeded(control);
  for (int i = 0; i < optionGroups_.GetSize(); ++i) {
    auto* group = static_cast<CUIPtrArray*>(optionGroups_.GetValueAt(i));
    group->Remove(group->Find(control));
  }
}

void CWindowManagerUI::QueueForDeletion(CControlUI* control) {
  if (!control) return;
  ForgetData data{this};
  control->FindControl(ForgetEach, &data, 0);
  control->SetManager(nullptr, nullptr, false);
  if (delayedCleanup_.Find(control) < 0) delayedCleanup_.Add(control);
}

void CWindowManagerUI::DeleteQueuedControls() {
  // Deleting a control may queue others; take the list first.
  while (!delayedCleanup_.IsEmpty()) {
    auto* control = static_cast<CControlUI*>(delayedCleanup_.GetAt(0));
    delayedCleanup_.Remove(0);
    control->Delete();
  }
}

void CWindowManagerUI::ClearAsyncQueue() {
  for (UINotify* msg : asyncQueue_) delete msg;
  asyncQueue_.clear();
}

// ---------------------------------------------------------------------------------------------
// Notifications

bool CWindowManagerUI::AddNotifier(INotifyUI* notifier) {
  if (!notifier || notifiers_.Find(notifier) >= 0) return false;
  return notifiers_.Add(notifier);
}

bool CWindowManagerUI::RemoveNotifier(INotifyUI* notifier) { return notifiers_.Remove(notifiers_.Find(notifier)); }

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
    const CUIPtrArray notifiers(notifiers_);
    for (int i = 0; i < notifiers.GetSize(); ++i) static_cast<INotifyUI*>(notifiers.GetAt(i))->Notify(msg);
    return;
  }
  if (!allowRepeat) {
    for (UINotify* queued : asyncQueue_) {
      if (queued->sender == msg.sender && queued->type == msg.type) {
        *queued = msg;
        return;
      }
    }
  }
  asyncQueue_.push_back(new UINotify(msg));
  if (!wakeUpPosted_) wakeUpPosted_ = native::PostNotifyWakeUp(window_);
}

void CWindowManagerUI::DeliverQueuedNotifications() {
  wakeUpPosted_ = false;
  while (!asyncQueue_.empty()) {
    UINotify* msg = asyncQueue_.front();
    asyncQueue_.erase(asyncQueue_.begin());
    SendNotification(*msg, false, false);
    delete msg;
  }
  DeleteQueuedControls();
}

// ---------------------------------------------------------------------------------------------
// Invalidation, layout and focus

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
  if (focusNeeded_) MoveFocusToNext(true);
  if (!updateNeeded_) return;
  updateNeeded_ = false;
  if (client.IsEmpty()) return;
  if (root_->IsUpdateNeeded()) {
    root_->SetPos(client, true);
  } else {
    CUIPtrArray found;
    root_->FindControl(CollectNeedingLayout, &found, kFindVisible | kFindMeFirst | kFindUpdateTest);
    for (int i = 0; i < found.GetSize(); ++i) {
      auto* control = static_cast<CControlUI*>(found.GetAt(i));
      control->SetPos(control->IsFloat() ? control->GetParentRelativeRect() : control->GetPos(), true);
    }
  }
  if (firstLayout_) {
    firstLayout_ = false;
    SendNotification(root_, kNotifyWindowInit, 0, 0, false);
  }
}

void CWindowManagerUI::SetFocus(CControlUI* control, bool focusWindow) {
  if (focusWindow && window_ && !native::HasFocus(window_) && control != focus_ && !noActivate_)
    native::Focus(window_);
  if (control == focus_) return;
  if (focus_) {
    CControlUI* old = focus_;
    UIEvent event;
    event.type = kEventKillFocus;
    event.sender = control;
    event.timestamp = native::TickCount();
    old->Event(event);
    SendNotification(old, kNotifyKillFocus);
    if (focus_ == old) focus_ = nullptr;
  }
  if (!control || control->GetManager() != this || !control->IsVisible() || !control->IsEnabled()) return;
  focus_ = control;
  UIEvent event;
  event.type = kEventSetFocus;
  event.sender = control;
  event.timestamp = native::TickCount();
  control->Event(event);
  SendNotification(control, kNotifySetFocus);
}

void CWindowManagerUI::MoveFocusToNext(bool forward) {
  if (updateNeeded_ && forward) {
    focusNeeded_ = true;
    Invalidate();
    return;
  }
  focusNeeded_ = false;
  if (!root_) return;
  CUIPtrArray stops;
  root_->FindControl(CollectTabStops, &stops, kFindVisible | kFindEnabled | kFindMeFirst);
  if (stops.IsEmpty()) return;
  // The focused control's place in tree order, whether or not it takes the focus itself.
  CUIPtrArray order;
  struct Walk {
    static CControlUI* Add(CControlUI* control, void* data) {
      static_cast<CUIPtrArray*>(data)->Add(control);
      return nullptr;
    }
  };
  root_->FindControl(Walk::Add, &order, kFindVisible | kFindEnabled | kFindMeFirst);
  const int focused = focus_ ? order.Find(focus_) : -1;
  CControlUI* next = nullptr;
  if (focused < 0) {
    next = static_cast<CControlUI*>(stops.GetAt(0));
  } else if (forward) {
    for (int i = focused + 1; i < order.GetSize() && !next; ++i)
      if (stops.Find(order.GetAt(i)) >= 0) next = static_cast<CControlUI*>(order.GetAt(i));
    if (!next) next = static_cast<CControlUI*>(stops.GetAt(0));
  } else {
    for (int i = focused - 1; i >= 0 && !next; --i)
      if (stops.Find(order.GetAt(i)) >= 0) next = static_cast<CControlUI*>(order.GetAt(i));
    if (!next) next = static_cast<CControlUI*>(stops.GetAt(stops.GetSize() - 1));
  }
  if (next) SetFocus(next, true);
}

bool CWindowManagerUI::AddMouseLeaveNeeded(CControlUI* control) {
  if (!control || mouseLeaveNeeded_.Find(control) >= 0) return false;
  return mouseLeaveNeeded_.Add(control);
}

bool CWindowManagerUI::RemoveMouseLeaveNeeded(CControlUI* control) {
  return mouseLeaveNeeded_.Remove(mouseLeaveNeeded_.Find(control));
}

// ---------------------------------------------------------------------------------------------
// Resources

void CWindowManagerUI::AddDefaultAttributeList(const wchar_t* elementName, const wchar_t* list, bool shared) {
  if (!elementName || !*elementName || !list) return;
  CUIStringMap& table = shared ? Shared().defaultAttributes : defaultAttributes_;
  delete static_cast<CUIString*>(table.Set(elementName, new CUIString(list)));
}

const wchar_t* CWindowManagerUI::GetDefaultAttributeList(const wchar_t* elementName) const {
  if (!elementName) return nullptr;
  if (auto* list = static_cast<CUIString*>(defaultAttributes_.Find(elementName))) return list->GetData();
  if (auto* list = static_cast<CUIString*>(Shared().defaultAttributes.Find(elementName))) return list->GetData();
  return nullptr;
}

const UIFontInfo* CWindowManagerUI::AddFont(int id, const wchar_t* face, int32_t size, bool bold, bool underline,
                                            bool italic, bool shared) {
  if (id < 0) return nullptr;
  CUIStringMap& table = shared ? Shared().fonts : fonts_;
  const std::wstring key = FontKey(id);
  auto* font = static_cast<UIFontInfo*>(table.Find(key.c_str()));
  if (!font) {
    font = new UIFontInfo;
    table.Insert(key.c_str(), font);
  }
  FillFont(*font, face, size, bold, underline, italic);
  return font;
}

const UIFontInfo* CWindowManagerUI::SetDefaultFont(const wchar_t* face, int32_t size, bool bold, bool underline,
                                                   bool italic, bool shared) {
  UIFontInfo& font = shared ? Shared().defaultFont : defaultFont_;
  FillFont(font, face, size, bold, underline, italic);
  (shared ? Shared().hasDefaultFont : hasDefaultFont_) = true;
  return &font;
}

const UIFontInfo* CWindowManagerUI::GetDefaultFontInfo() const {
  if (hasDefaultFont_) return &defaultFont_;
  if (Shared().hasDefaultFont) return &Shared().defaultFont;
  return nullptr;
}

const UIFontInfo* CWindowManagerUI::GetFontInfo(int id) const {
  const std::wstring key = FontKey(id);
  if (auto* font = static_cast<UIFontInfo*>(fonts_.Find(key.c_str()))) return font;
  if (auto* font = static_cast<UIFontInfo*>(Shared().fonts.Find(key.c_str()))) return font;
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
  int64_t newId = 0;
  for (CUIStringMap* table : {&fonts_, &Shared().fonts}) {
    for (int i = 0; i < table->GetSize(); ++i) {
      const wchar_t* key = table->GetKeyAt(i);
      const int id = ParseNumber(key);
      newId = std::max<int64_t>(newId, int64_t{id} + 1);
      if (table != &fonts_ && fonts_.Contains(key)) continue;  // hidden by the window's font of that id
      const auto* font = static_cast<const UIFontInfo*>(table->GetValueAt(i));
      if (font->face.CompareNoCase(face ? face : L"") == 0 && font->size == size && font->bold == bold &&
          font->underline == underline && font->italic == italic)
        return id;
    }
  }
  AddFont(Saturate(newId), face, size, bold, underline, italic);
  return Saturate(newId);
}

bool CWindowManagerUI::AddOptionGroup(const wchar_t* group, CControlUI* control) {
  if (!group || !*group || !control) return false;
  auto* members = static_cast<CUIPtrArray*>(optionGroups_.Find(group));
  if (!members) {
    members = new CUIPtrArray;
    optionGroups_.Insert(group, members);
  }
  if (members->Find(control) >= 0) return false;
  return members->Add(control);
}

const CUIPtrArray* CWindowManagerUI::GetOptionGroup(const wchar_t* group) const {
  return group ? static_cast<CUIPtrArray*>(optionGroups_.Find(group)) : nullptr;
}

void CWindowManagerUI::RemoveOptionGroup(const wchar_t* group, CControlUI* control) {
  auto* members = group ? static_cast<CUIPtrArray*>(optionGroups_.Find(group)) : nullptr;
  if (!members) return;
  members->Remove(members->Find(control));
  if (members->IsEmpty()) {
    optionGroups_.Remove(group);
    delete members;
  }
}

void CWindowManagerUI::RemoveAllOptionGroups() {
  for (int i = 0; i < optionGroups_.GetSize(); ++i) delete static_cast<CUIPtrArray*>(optionGroups_.GetValueAt(i));
  optionGroups_.RemoveAll();
}

// ---------------------------------------------------------------------------------------------
// Window attributes

void CWindowManagerUI::SetWindowAttribute(const wchar_t* name, const wchar_t* value) {
  if (!name || !value) return;
  const CUIString key(name);
  auto is = [&key](const wchar_t* attribute) { return key.CompareNoCase(attribute) == 0; };
  if (is(L"size")) {
    initSize_ = ParseSize(value);
    if (!root_) native::ResizeClient(window_, initSize_);
  } else if (is(L"sizebox")) {
    sizeBox_ = ParseRect(value);
  } else if (is(L"caption")) {
    caption_ = ParseRect(value);
  } else if (is(L"roundcorner")) {
    roundCorner_ = ParseSize(value);
  } else if (is(L"mininfo")) {
    minInfo_ = ParseSize(value);
  } else if (is(L"maxinfo")) {
    maxInfo_ = ParseSize(value);
  } else if (is(L"showdirty")) {
    showUpdateRect_ = ParseBool(value, true);
  } else if (key == L"noactivate") {
    noActivate_ = ParseBool(value, true);
  } else if (is(L"opacity")) {
    opacity_ = std::clamp(ParseNumber(value), 0, 255);
    layered_ = true;
  } else if (key == L"layeredopacity") {
    layeredOpacity_ = ParseNumber(value);
  } else if (key == L"layeredimage") {
    layeredImage_ = value;
    layered_ = true;
  } else if (is(L"disabledfontcolor")) {
    disabledColor_ = ParseColor(value);
  } else if (is(L"defaultfontcolor")) {
    fontColor_ = ParseColor(value);
  } else if (is(L"linkfontcolor")) {
    linkColor_ = ParseColor(value);
  } else if (is(L"linkhoverfontcolor")) {
    linkHoverColor_ = ParseColor(value);
  } else if (is(L"selectedcolor")) {
    selectedColor_ = ParseColor(value);
  } else {
    AddWindowCustomAttribute(name, value);
  }
}

void CWindowManagerUI::AddWindowCustomAttribute(const wchar_t* name, const wchar_t* value) {
  if (!name || !*name || !value || !*value || windowCustomAttributes_.Contains(name)) return;
  windowCustomAttributes_.Insert(name, new CUIString(value));
}

const wchar_t* CWindowManagerUI::GetWindowCustomAttribute(const wchar_t* name) const {
  auto* value = name ? static_cast<CUIString*>(windowCustomAttributes_.Find(name)) : nullptr;
  return value ? value->GetData() : nullptr;
}

}  // namespace SkinUI
