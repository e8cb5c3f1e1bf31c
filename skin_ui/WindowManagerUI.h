#pragma once
// The per-window engine of the toolkit: the root control and what controls ask of their
// window (invalidation, layout passes, notifications and their queue, focus, names, fonts,
// default attribute lists, option groups, the skin's window attributes), and the process-wide
// settings. Painting and input routing come with the window code; what needs the windowing
// system goes through NativeWindowOps.h.

#include <cstdint>
#include <vector>

#include "skin_ui/ImageCache.h"
#include "skin_ui/NotifyPump.h"
#include "skin_ui/UIDefs.h"
#include "skin_ui/UIEvents.h"
#include "skin_ui/UIString.h"

namespace SkinUI {

class CControlUI;

// Creates a control for an element name, or null.
using ControlFactory = CControlUI* (*)(const wchar_t* elementName);

struct UIFontInfo {
  NativeFont handle = nullptr;
  CUIString face;  // at most 31 characters
  int32_t size = 0;
  bool bold = false;
  bool underline = false;
  bool italic = false;
  UITextMetrics metrics;  // measured in the window once it has one
};

inline constexpr int kMaxFontFaceLength = 31;

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
  // Drops the process-wide fonts, default attribute lists, multi-language strings and
  // factories. For the end of the process or of a test.
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
  int GetQueuedNotificationCount() const { return static_cast<int>(asyncQueue_.size()); }
  void SetUsesVirtualWindows(bool used) { usesVirtualWindows_ = used; }
  bool UsesVirtualWindows() const { return usesVirtualWindows_; }

  // Invalidation and layout.
  void Invalidate(UIRect rect);
  void Invalidate();
  void MarkForLayout() { updateNeeded_ = true; }
  bool IsUpdateNeeded() const { return updateNeeded_; }
  bool IsFocusNeeded() const { return focusNeeded_; }
  // The layout part of a paint for a client rectangle: a pending focus move, then the layout
  // of the root or of the controls marked for layout, then "windowinit" after the first one.
  void UpdateLayout(const UIRect& client);

  // Focus.
  void SetFocus(CControlUI* control, bool focusWindow = true);
  CControlUI* GetFocus() const { return focus_; }
  void MoveFocusToNext(bool forward = true);

  UIPoint GetMousePos() const { return mouse_; }
  void SetMousePos(UIPoint point) { mouse_ = point; }
  bool AddMouseLeaveNeeded(CControlUI* control);
  bool RemoveMouseLeaveNeeded(CControlUI* control);
  bool IsMouseLeaveNeeded(CControlUI* control) const { return mouseLeaveNeeded_.Find(control) >= 0; }

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

  // Option groups: group name → options.
  bool AddOptionGroup(const wchar_t* group, CControlUI* control);
  const CUIPtrArray* GetOptionGroup(const wchar_t* group) const;
  void RemoveOptionGroup(const wchar_t* group, CControlUI* control);
  void RemoveAllOptionGroups();

  // The attributes of the skin's Window element.
  void SetWindowAttribute(const wchar_t* name, const wchar_t* value);
  // First value wins; an empty name or value is dropped.
  void AddWindowCustomAttribute(const wchar_t* name, const wchar_t* value);
  const wchar_t* GetWindowCustomAttribute(const wchar_t* name) const;
  UISize GetInitSize() const { return initSize_; }
  UIRect GetSizeBox() const { return sizeBox_; }
  UIRect GetCaptionRect() const { return caption_; }
  UISize GetRoundCorner() const { return roundCorner_; }
  UISize GetMinInfo() const { return minInfo_; }
  UISize GetMaxInfo() const { return maxInfo_; }
  bool IsShowUpdateRect() const { return showUpdateRect_; }
  bool IsNoActivate() const { return noActivate_; }
  int32_t GetOpacity() const { return opacity_; }
  int32_t GetLayeredOpacity() const { return layeredOpacity_; }
  bool IsLayered() const { return layered_; }
  const CUIString& GetLayeredImage() const { return layeredImage_; }
  UIColor GetDefaultDisabledColor() const { return disabledColor_; }
  UIColor GetDefaultFontColor() const { return fontColor_; }
  UIColor GetDefaultLinkFontColor() const { return linkColor_; }
  UIColor GetDefaultLinkHoverFontColor() const { return linkHoverColor_; }
  UIColor GetDefaultSelectedBkColor() const { return selectedColor_; }

 private:
  void DeleteQueuedControls();
  void ClearAsyncQueue();

  NativeWindow window_ = nullptr;
  CUIString resourceName_;
  CControlUI* root_ = nullptr;
  CControlUI* focus_ = nullptr;
  CControlUI* hover_ = nullptr;
  CControlUI* click_ = nullptr;
  CControlUI* keyControl_ = nullptr;
  CControlUI* tooltipControl_ = nullptr;
  UIPoint mouse_{-1, -1};
  bool firstLayout_ = true;
  bool updateNeeded_ = false;
  bool focusNeeded_ = false;
  bool wakeUpPosted_ = false;
  bool usesVirtualWindows_ = false;

  UISize initSize_;
  UIRect sizeBox_;
  UIRect caption_;
  UISize roundCorner_;
  UISize minInfo_;
  UISize maxInfo_;
  bool showUpdateRect_ = false;
  bool noActivate_ = false;
  int32_t opacity_ = 255;
  int32_t layeredOpacity_ = 255;
  bool layered_ = false;
  CUIString layeredImage_;
  UIColor disabledColor_;
  UIColor fontColor_;
  UIColor linkColor_;
  UIColor linkHoverColor_;
  UIColor selectedColor_;

  CUIPtrArray notifiers_;
  CUIPtrArray delayedCleanup_;
  std::vector<UINotify*> asyncQueue_;
  CUIPtrArray mouseLeaveNeeded_;
  CUIStringMap names_;
  CUIStringMap windowCustomAttributes_;  // owned CUIString values
  CUIStringMap optionGroups_;            // owned CUIPtrArray values
  CUIStringMap fonts_;                   // owned UIFontInfo values, keyed by the decimal id
  CUIStringMap defaultAttributes_;       // owned CUIString values
  CImageCache images_;
  UIFontInfo defaultFont_;
  bool hasDefaultFont_ = false;
};

}  // namespace SkinUI
