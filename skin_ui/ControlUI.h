#pragma once
// The base of every element of a skinned window: its rectangle, the attributes every skin
// element may carry, visibility, focus, the input-event entry point, the standard painting
// sequence (background colour, background picture, status picture, text, border) and the way
// it reports to the application (notifications through its window's manager).

#include <cstdint>
#include <map>
#include <string>

#include "skin_ui/ImageCache.h"
#include "skin_ui/UIDefs.h"
#include "skin_ui/UIEvents.h"
#include "skin_ui/UIString.h"

namespace SkinUI {

class CWindowManagerUI;

// FindControl flags.
enum : uint32_t {
  kFindVisible = 0x00000001,
  kFindEnabled = 0x00000002,
  kFindHitTest = 0x00000004,
  kFindUpdateTest = 0x00000008,
  kFindTopFirst = 0x00000010,
  kFindMeFirst = 0x80000000,
};

// GetControlTraits bits.
enum : uint32_t {
  kControlTraitTabStop = 0x01,
  kControlTraitSetCursor = 0x02,
  kControlTraitWantsTab = 0x04,  // Tab is typed into the control instead of moving the focus
};

using FindControlProc = CControlUI* (*)(CControlUI* control, void* data);

// Fractions of the parent's width and height added to a float control's edges.
struct UIFloatPercent {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
};

// trunc(length × fraction), kept inside the 32-bit range.
int32_t ScaleByFraction(int32_t length, double fraction);

class CControlUI {
 public:
  CControlUI();
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;

  virtual void Delete();
  virtual ~CControlUI();

  virtual const CUIString& GetName() const { return name_; }
  virtual void SetName(const wchar_t* name);
  virtual const wchar_t* GetClass() const { return L"Control"; }
  virtual void* GetInterface(const wchar_t* name);
  virtual uint32_t GetControlTraits() const { return 0; }
  virtual NativeWindow GetNativeWindow() const { return nullptr; }
  virtual bool Activate();
  virtual CWindowManagerUI* GetManager() const { return manager_; }
  virtual void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true);
  virtual CControlUI* GetParent() const { return parent_; }
  virtual CControlUI* GetCover() const { return cover_; }
  virtual void SetCover(CControlUI* cover);
  virtual const CUIString& GetText() const { return text_; }
  virtual void SetText(const wchar_t* text);

  virtual const UIRect& GetPos() const { return item_; }
  virtual UIRect GetParentRelativeRect() const;
  virtual UIRect GetInnerRect() const { return item_; }
  virtual void SetPos(UIRect rect, bool invalidate = true);
  virtual void Move(UISize offset, bool invalidate = true);
  virtual int32_t GetWidth() const { return item_.Width(); }
  virtual int32_t GetHeight() const { return item_.Height(); }
  virtual int32_t GetX() const { return item_.left; }
  virtual int32_t GetY() const { return item_.top; }
  virtual UIRect GetPadding() const { return padding_; }
  virtual void SetPadding(UIRect padding);
  virtual UISize GetFloatOffset() const { return fixedXY_; }
  virtual void SetFloatOffset(UISize offset);
  virtual UIFloatPercent GetFloatRatio() const { return floatPercent_; }
  virtual void SetFloatRatio(UIFloatPercent ratio);
  virtual int32_t GetFixedWidth() const { return fixedWidth_; }
  virtual void SetFixedWidth(int32_t width);
  virtual int32_t GetFixedHeight() const { return fixedHeight_; }
  virtual void SetFixedHeight(int32_t height);
  virtual int32_t GetMinWidth() const { return minWidth_; }
  virtual void SetMinWidth(int32_t width);
  virtual int32_t GetMaxWidth() const;
  virtual void SetMaxWidth(int32_t width);
  virtual int32_t GetMinHeight() const { return minHeight_; }
  virtual void SetMinHeight(int32_t height);
  virtual int32_t GetMaxHeight() const;
  virtual void SetMaxHeight(int32_t height);

  virtual const CUIString& GetToolTip() const { return tooltip_; }
  virtual void SetToolTip(const wchar_t* text);
  virtual void SetToolTipWidth(int32_t width) { tooltipWidth_ = width; }
  virtual int32_t GetToolTipWidth() const { return tooltipWidth_; }
  virtual wchar_t GetShortcut() const { return shortcut_; }
  virtual void SetShortcut(wchar_t ch) { shortcut_ = ch; }
  virtual bool IsMenuNotifyEnabled() const { return menuUsed_; }
  virtual void SetMenuNotifyEnabled(bool enabled) { menuUsed_ = enabled; }
  virtual const CUIString& GetUserData() const { return userData_; }
  virtual void SetUserData(const wchar_t* text) { userData_ = text; }
  virtual uintptr_t GetTag() const { return tag_; }
  virtual void SetTag(uintptr_t tag) { tag_ = tag; }

  virtual bool IsVisible() const { return visible_ && internVisible_; }
  virtual void SetVisible(bool visible = true);
  virtual void SetParentVisible(bool visible);
  virtual bool IsEnabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled = true);
  virtual bool IsMouseEnabled() const { return mouseEnabled_; }
  virtual void SetMouseEnabled(bool enabled = true) { mouseEnabled_ = enabled; }
  virtual bool IsKeyboardEnabled() const { return keyboardEnabled_; }
  virtual void SetKeyboardEnabled(bool enabled = true) { keyboardEnabled_ = enabled; }
  virtual bool IsFocused() const { return focused_; }
  virtual void SetFocus();
  virtual bool IsFloat() const { return float_; }
  virtual void SetFloat(bool isFloat = true);

  virtual CControlUI* FindControl(FindControlProc proc, void* data, uint32_t flags);

  virtual void Init();
  virtual void InitControl() {}
  virtual void Event(UIEvent& event);
  virtual void HandleEvent(UIEvent& event);
  virtual CUIString GetAttribute(const wchar_t*) const { return CUIString(); }
  virtual void SetAttribute(const wchar_t* name, const wchar_t* value);
  virtual CUIString GetAttributeList() const { return CUIString(); }
  virtual void SetAttributeList(const wchar_t* list);
  virtual UISize MeasureSize(UISize available);

  // Painting into `dc` (window client coordinates) for the area `dirty`. Paint returns false
  // once it reaches `stop`, which ends the window's paint there; otherwise it paints this
  // control where it meets `dirty` (unless a paint handler declines) and then its cover.
  virtual bool Paint(NativeDC dc, const UIRect& dirty, CControlUI* stop);
  // Within a rounded clip when the border is round: the five layers below, in their order.
  virtual bool PaintControl(NativeDC dc, const UIRect& dirty, CControlUI* stop);
  virtual void PaintBackColor(NativeDC dc);
  virtual void PaintBackImage(NativeDC dc);
  virtual void PaintStateImage(NativeDC) {}
  virtual void PaintText(NativeDC) {}
  virtual void PaintBorder(NativeDC dc);
  // After the window's whole paint, for the controls registered for it: the post-paint
  // handlers.
  virtual void PaintAfterTree(NativeDC dc, const UIRect& dirty);

  // Non-virtual operations.
  void Invalidate();
  bool IsUpdateNeeded() const { return updateNeeded_; }
  void MarkForLayout();
  void MarkParentForLayout();
  // The empty name or value is ignored; a name already present keeps its first value.
  void AddCustomAttribute(const wchar_t* name, const wchar_t* value);
  const wchar_t* GetCustomAttribute(const wchar_t* name) const;
  bool RemoveCustomAttribute(const wchar_t* name);
  void RemoveAllCustomAttributes();
  const CUIString& GetVirtualWindow() const { return virtualWindow_; }
  void SetVirtualWindow(const wchar_t* name);

  UIColor GetBkColor() const { return bkColor_; }
  void SetBkColor(UIColor color);
  UIColor GetBkColor2() const { return bkColor2_; }
  void SetBkColor2(UIColor color);
  UIColor GetBkColor3() const { return bkColor3_; }
  void SetBkColor3(UIColor color);
  UIColor GetBorderColor() const { return borderColor_; }
  void SetBorderColor(UIColor color);
  UIColor GetFocusBorderColor() const { return focusBorderColor_; }
  void SetFocusBorderColor(UIColor color);
  bool IsColorHSL() const { return colorHsl_; }
  void SetColorHSL(bool adjust);
  UIRect GetBorderSize() const { return borderSize_; }
  void SetBorderSize(UIRect widths);
  int32_t GetBorderStyle() const { return borderStyle_; }
  void SetBorderStyle(int32_t style);
  UISize GetBorderRound() const { return borderRound_; }
  void SetBorderRound(UISize round);
  const CUIString& GetBkImage() const { return bkImage_.GetDescription(); }
  // Also loads the picture; a float control without a size takes the picture's size.
  void SetBkImage(const wchar_t* description);
  const CUIString& GetForeImage() const { return foreImage_.GetDescription(); }
  void SetForeImage(const wchar_t* description);

  // Hooks: init, destroy, size, event, notify, paint and post-paint.
  CEventSource OnInit;
  CEventSource OnDestroy;
  CEventSource OnSize;
  CEventSource OnEvent;
  CEventSource OnNotify;
  CEventSource OnPaint;
  CEventSource OnPostPaint;

 protected:
  // Clips `area` against the item rectangles of all ancestors; false when an ancestor is
  // hidden or nothing is left.
  bool ClipToAncestors(UIRect& area) const;
  void SendNotify(const wchar_t* type, uintptr_t wParam = 0, uintptr_t lParam = 0);
  // Stores a changed value and repaints the control; an unchanged one does nothing.
  template <class T>
  void ChangeAndInvalidate(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Invalidate();
  }
  // The picture of an image attribute in this control's rectangle, during a paint; false when
  // there is none to draw.
  bool DrawImage(NativeDC dc, UIDrawInfo& info);

  CWindowManagerUI* manager_ = nullptr;
  CControlUI* parent_ = nullptr;
  CControlUI* cover_ = nullptr;
  CUIString virtualWindow_;
  CUIString name_;
  bool updateNeeded_ = true;
  bool menuUsed_ = false;
  UIRect item_;
  UIRect padding_;
  UISize fixedXY_;
  int32_t fixedWidth_ = 0;
  int32_t fixedHeight_ = 0;
  int32_t minWidth_ = 0;
  int32_t minHeight_ = 0;
  int32_t maxWidth_ = 9999;
  int32_t maxHeight_ = 9999;
  bool visible_ = true;
  bool internVisible_ = true;
  bool enabled_ = true;
  bool mouseEnabled_ = true;
  bool keyboardEnabled_ = true;
  bool focused_ = false;
  bool float_ = false;
  UIFloatPercent floatPercent_;
  CUIString text_;
  CUIString tooltip_;
  wchar_t shortcut_ = 0;
  CUIString userData_;
  uintptr_t tag_ = 0;
  UIColor bkColor_ = 0;
  UIColor bkColor2_ = 0;
  UIColor bkColor3_ = 0;
  UIDrawInfo bkImage_;
  UIDrawInfo foreImage_;
  UIColor borderColor_ = 0;
  UIColor focusBorderColor_ = 0;
  bool colorHsl_ = false;
  int32_t borderStyle_ = 0;
  int32_t tooltipWidth_ = 300;
  UISize borderRound_;
  UIRect paintRect_;
  UIRect borderSize_;
  std::map<std::wstring, std::wstring, std::less<>> customAttributes_;

 private:
  bool inSizeHandlers_ = false;
};

}  // namespace SkinUI
