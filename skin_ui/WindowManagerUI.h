#pragma once
// The per-window engine of the toolkit: the root control and what controls ask of their
// window. It routes the window's messages to classes with one job each (painting, mouse and
// keyboard routing, focus and Tab order, timers, the tooltip, the notification queue, the
// window attributes) and keeps the window's own tables (names, fonts, default attribute
// lists, option groups, native child windows). What the whole process shares lives in
// CSkinResources; what needs the windowing system goes through NativeWindowOps.h.

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "skin_ui/FocusNavigator.h"
#include "skin_ui/FontTable.h"
#include "skin_ui/ImageCache.h"
#include "skin_ui/KeyboardRouter.h"
#include "skin_ui/MouseRouter.h"
#include "skin_ui/NotificationQueue.h"
#include "skin_ui/NotifyPump.h"
#include "skin_ui/PaintCoordinator.h"
#include "skin_ui/SkinResources.h"
#include "skin_ui/TimerTable.h"
#include "skin_ui/TooltipController.h"
#include "skin_ui/UIDefs.h"
#include "skin_ui/UIEvents.h"
#include "skin_ui/UIMessages.h"
#include "skin_ui/UIString.h"
#include "skin_ui/WindowAttributes.h"

namespace SkinUI {

class CControlUI;

class CWindowManagerUI {
 public:
  CWindowManagerUI();
  CWindowManagerUI(const CWindowManagerUI&) = delete;
  CWindowManagerUI& operator=(const CWindowManagerUI&) = delete;
  ~CWindowManagerUI();

  // Process-wide settings.
  static void SetInstance(void* instance);
  static void* GetInstance();
  static void SetResourceFolder(const wchar_t* path);
  static const wchar_t* GetResourceFolder();
  // The skin archive (see SkinArchive.h): a ZIP file under the resource folder, or the archive
  // held in memory ("membuffer").
  static bool SetResourceZip(const wchar_t* zipName, bool cached = true);
  static bool SetResourceZip(const void* bytes, size_t size);
  static const wchar_t* GetResourceZip();
  static void AddControlFactory(ControlFactory factory);
  static CControlUI* CreateControlFromFactories(const wchar_t* elementName);
  static void SetMultiLanguageString(int id, const wchar_t* text);
  static const wchar_t* GetMultiLanguageString(int id);
  static const std::vector<CWindowManagerUI*>& GetManagers();
  // Drops the process-wide fonts, default attribute lists, image requests, multi-language
  // strings and factories. For the end of the process or of a test.
  static void ResetSharedResources();

  // Clears this window's tables and registers the manager with `window` (may be null where
  // there is no native window).
  void Init(NativeWindow window, const wchar_t* resourceName = nullptr);
  NativeWindow GetNativeWindow() const { return window_; }

  bool AttachRoot(CControlUI* root);
  CControlUI* GetRoot() const { return root_; }
  // Attaches a control (and its subtree) with initialisation and registers its names.
  void InitControls(CControlUI* control, CControlUI* parent = nullptr);
  // Moves the name map entry of `control`, unless another control holds the new name.
  void RenameControl(CControlUI* control, const wchar_t* oldName, const wchar_t* newName);
  CControlUI* FindControl(const wchar_t* name) const;
  CControlUI* FindControl(UIPoint point) const;
  CControlUI* FindChildByName(CControlUI* parent, const wchar_t* name) const;
  // Clears every reference the manager holds to `control`.
  void ForgetControl(CControlUI* control);
  // Detaches the control and deletes it once the queued notifications were delivered.
  void QueueForDeletion(CControlUI* control);

  // Notifications.
  bool AddNotifier(INotifyUI* notifier);
  bool RemoveNotifier(INotifyUI* notifier);
  void SendNotification(CControlUI* control, const wchar_t* type, uintptr_t wParam = 0, uintptr_t lParam = 0,
                        bool async = false, bool allowRepeat = false);
  void SendNotification(UINotify& msg, bool async = false, bool allowRepeat = false);
  // The wake-up message's work: delivers the queued notifications in order, then deletes the
  // controls queued for deletion.
  void DeliverQueuedNotifications();
  int GetQueuedNotificationCount() const { return notifications_.Count(); }
  void SetUsesVirtualWindows(bool used) { usesVirtualWindows_ = used; }
  bool UsesVirtualWindows() const { return usesVirtualWindows_; }

  // Invalidation and layout.
  void Invalidate(UIRect rect);
  void Invalidate();
  void MarkForLayout() { updateNeeded_ = true; }
  bool IsUpdateNeeded() const { return updateNeeded_; }
  bool IsFocusNeeded() const { return focus_.IsFocusNeeded(); }
  // The layout part of a paint for a client rectangle: a pending focus move, then the layout
  // of the root or of the controls marked for layout, then "windowinit" after the first one.
  void UpdateLayout(const UIRect& client);

  // Focus.
  void SetFocus(CControlUI* control, bool focusWindow = true) { focus_.SetFocus(control, focusWindow); }
  CControlUI* GetFocus() const { return focus_.GetFocus(); }
  void MoveFocusToNext(bool forward = true) { focus_.MoveFocusToNext(forward); }
  void RequestFocus(CControlUI* control) { focus_.RequestFocus(control); }

  UIPoint GetMousePos() const { return mouse_; }
  void SetMousePos(UIPoint point) { mouse_ = point; }
  CControlUI* GetHover() const { return mouseRouter_.GetHover(); }
  CControlUI* GetClick() const { return mouseRouter_.GetClick(); }
  bool IsCaptured() const { return mouseRouter_.IsCaptured(); }
  NativeWindow GetTooltipWindow() const { return tooltip_.GetTooltipWindow(); }
  bool AddMouseLeaveNeeded(CControlUI* control) { return mouseRouter_.AddMouseLeaveNeeded(control); }
  bool RemoveMouseLeaveNeeded(CControlUI* control) { return mouseRouter_.RemoveMouseLeaveNeeded(control); }
  bool IsMouseLeaveNeeded(CControlUI* control) const { return mouseRouter_.IsMouseLeaveNeeded(control); }

  // Control timers; the timer event carries the control's own id.
  bool SetTimer(CControlUI* control, uint32_t id, uint32_t ms);
  bool KillTimer(CControlUI* control, uint32_t id) { return timers_.Kill(control, id); }
  void KillTimer(CControlUI* control) { timers_.KillAll(control); }
  void RemoveAllTimers() { timers_.RemoveAll(); }

  // Controls that paint after the whole tree.
  bool AddPostPaint(CControlUI* control) { return painter_.AddPostPaint(control); }
  bool RemovePostPaint(CControlUI* control) { return painter_.RemovePostPaint(control); }

  // Native child windows of controls (the edit fields): a child that takes the keyboard focus
  // gives the manager's focus to its control.
  bool AddNativeWindow(CControlUI* control, NativeWindow child);
  bool RemoveNativeWindow(NativeWindow child);
  CControlUI* GetNativeWindowControl(NativeWindow child) const;
  void NativeWindowFocused(NativeWindow child);

  // Filters: pre-message filters see every queued message before translation (Tab, shortcuts);
  // message filters see the window's messages before the manager routes them.
  bool AddPreMessageFilter(IMessageFilterUI* filter);
  bool RemovePreMessageFilter(IMessageFilterUI* filter) { return std::erase(preMessageFilters_, filter) > 0; }
  bool AddMessageFilter(IMessageFilterUI* filter);
  bool RemoveMessageFilter(IMessageFilterUI* filter) { return std::erase(messageFilters_, filter) > 0; }

  // The window's message, for what the window itself left unhandled. True when the manager
  // handled it; `result` is then the answer.
  bool FilterMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result);
  // A queued message before translation; true when it is consumed.
  bool PreFilterMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result);
  // Offers a queued message to the manager of its window (or of the window's ancestors for a
  // child window); true when it is consumed and must not be translated or dispatched.
  static bool TranslateWindowMessage(const UIMessage& msg);

  // Default attribute lists by element name; `shared` uses the process-wide table.
  void AddDefaultAttributeList(const wchar_t* elementName, const wchar_t* list, bool shared = false);
  // The window's list first, then the process-wide one; null when neither exists.
  const wchar_t* GetDefaultAttributeList(const wchar_t* elementName) const;

  // Fonts by id; adding under an existing id replaces (and deletes) the old font.
  const UIFontInfo* AddFont(int id, const wchar_t* face, int32_t size, bool bold, bool underline, bool italic,
                            bool shared = false);
  const UIFontInfo* SetDefaultFont(const wchar_t* face, int32_t size, bool bold, bool underline, bool italic,
                                   bool shared = false);
  const UIFontInfo* GetDefaultFontInfo() const;
  // The font of `id` (window, then process-wide); the default font when there is none.
  NativeFont GetFont(int id) const;
  const UIFontInfo* GetFontInfo(int id) const;
  // The font's text metrics, measured in the window on first use; unmeasured without a window.
  UITextMetrics GetFontMetrics(int id);

  // Pictures (ImageCache.h): the window's own, then the process-wide ones. AddImage loads a
  // picture and keeps it under its name in place of an earlier one; LookupImage finds it or
  // adds it to the window's cache.
  UIImagePtr AddImage(const wchar_t* name, const wchar_t* type = nullptr, UIColor mask = 0, bool useAdjustment = false,
                      bool shared = false);
  UIImagePtr GetImage(const wchar_t* name) const;
  UIImagePtr LookupImage(const wchar_t* name, const wchar_t* type = nullptr, UIColor mask = 0,
                         bool useAdjustment = false);
  bool RemoveImage(const wchar_t* name, bool shared = false);
  void RemoveAllImages();
  // The id of a window or process-wide font of this description; one is made and added to the
  // window's fonts under a new id when there is none. The markup's font variants come from here.
  int FindOrAddFont(const wchar_t* face, int32_t size, bool bold, bool underline, bool italic);

  // Option groups: group name → options, in the order they joined.
  bool AddOptionGroup(const wchar_t* group, CControlUI* control);
  const std::vector<CControlUI*>* GetOptionGroup(const wchar_t* group) const;
  void RemoveOptionGroup(const wchar_t* group, CControlUI* control);
  void RemoveAllOptionGroups() { optionGroups_.clear(); }

  // The attributes of the skin's Window element.
  void SetWindowAttribute(const wchar_t* name, const wchar_t* value) { attributes_.Set(name, value); }
  const UIWindowAttributes& GetWindowAttributes() const { return attributes_; }
  void AddWindowCustomAttribute(const wchar_t* name, const wchar_t* value) { attributes_.AddCustom(name, value); }
  const wchar_t* GetWindowCustomAttribute(const wchar_t* name) const { return attributes_.GetCustom(name); }
  UISize GetInitSize() const { return attributes_.initSize; }
  UIRect GetSizeBox() const { return attributes_.sizeBox; }
  UIRect GetCaptionRect() const { return attributes_.caption; }
  UISize GetRoundCorner() const { return attributes_.roundCorner; }
  UISize GetMinInfo() const { return attributes_.minInfo; }
  UISize GetMaxInfo() const { return attributes_.maxInfo; }
  bool IsShowUpdateRect() const { return attributes_.showUpdateRect; }
  bool IsNoActivate() const { return attributes_.noActivate; }
  int32_t GetOpacity() const { return attributes_.opacity; }
  int32_t GetLayeredOpacity() const { return attributes_.layeredOpacity; }
  bool IsLayered() const { return attributes_.layered; }
  const CUIString& GetLayeredImage() const { return attributes_.layeredImage; }
  UIColor GetDefaultDisabledColor() const { return attributes_.colors.disabled; }
  UIColor GetDefaultFontColor() const { return attributes_.colors.text; }
  UIColor GetDefaultLinkFontColor() const { return attributes_.colors.link; }
  UIColor GetDefaultLinkHoverFontColor() const { return attributes_.colors.linkHover; }
  UIColor GetDefaultSelectedBkColor() const { return attributes_.colors.selectedBk; }

 private:
  NativeWindow window_ = nullptr;
  CUIString resourceName_;
  bool RouteMouse(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result);
  bool RouteKey(uint32_t message, uintptr_t wParam, intptr_t lParam);
  bool Reflect(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result);
  void OnWindowSize(uintptr_t wParam, intptr_t lParam);
  void OnCloseRequest();

  CControlUI* root_ = nullptr;
  UIPoint mouse_{-1, -1};
  bool firstLayout_ = true;
  bool updateNeeded_ = false;
  bool usesVirtualWindows_ = false;

  UIWindowAttributes attributes_;
  UIFocusNavigator focus_{*this};
  UINotificationQueue notifications_;
  UITimerTable timers_;
  UITooltipController tooltip_;
  UIMouseRouter mouseRouter_{*this, tooltip_};
  UIKeyboardRouter keyboardRouter_{*this};
  UIPaintCoordinator painter_{*this};
  std::vector<INotifyUI*> notifiers_;
  std::vector<IMessageFilterUI*> preMessageFilters_;
  std::vector<IMessageFilterUI*> messageFilters_;
  std::vector<std::pair<NativeWindow, CControlUI*>> nativeWindows_;
  std::unordered_map<std::wstring, CControlUI*> names_;
  std::map<std::wstring, std::vector<CControlUI*>, std::less<>> optionGroups_;
  UIFontTable fonts_;
  UIDefaultAttributeLists defaultAttributes_;
  CImageCache images_;
};

}  // namespace SkinUI
