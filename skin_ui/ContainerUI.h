#pragma once
// Controls that hold and place child controls: the container base and the vertical,
// horizontal and tab layouts. Scroll bars and the box layouts' separator dragging are not
// built: no skin of the program enables them.

#include "skin_ui/ControlUI.h"

namespace SkinUI {

class IContainerUI {
 public:
  virtual ~IContainerUI() = default;
  virtual CControlUI* GetItemAt(int index) const = 0;
  virtual int GetItemIndex(CControlUI* control) const = 0;
  virtual bool MoveItem(CControlUI* control, int newIndex) = 0;
  virtual bool MoveItems(CControlUI* first, int count, int newIndex) = 0;
  virtual int GetCount() const = 0;
  virtual bool Add(CControlUI* control) = 0;
  virtual bool AddAt(CControlUI* control, int index) = 0;
  virtual bool Remove(CControlUI* control, bool keepAlive = false) = 0;
  virtual bool RemoveAt(int index, bool keepAlive = false) = 0;
  virtual void RemoveAll() = 0;
};

enum UIChildAlign : int {
  kAlignLeft = 0,
  kAlignCenter = 1,
  kAlignRight = 2,
  kAlignTop = 0,
  kAlignVCenter = 4,
  kAlignBottom = 8,
};

class CContainerUI : public CControlUI, public IContainerUI {
 public:
  CContainerUI() = default;
  ~CContainerUI() override;

  const wchar_t* GetClass() const override { return L"Container"; }
  void* GetInterface(const wchar_t* name) override;

  CControlUI* GetItemAt(int index) const override;
  int GetItemIndex(CControlUI* control) const override;
  bool MoveItem(CControlUI* control, int newIndex) override;
  bool MoveItems(CControlUI* first, int count, int newIndex) override;
  int GetCount() const override { return items_.GetSize(); }
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control, bool keepAlive = false) override;
  bool RemoveAt(int index, bool keepAlive = false) override;
  void RemoveAll() override;

  virtual UIRect GetInset() const { return inset_; }
  virtual void SetInset(UIRect inset);
  virtual int32_t GetChildPadding() const { return childPadding_; }
  virtual void SetChildPadding(int32_t padding);
  virtual int GetChildAlign() const { return childAlign_; }
  virtual void SetChildAlign(int align);
  virtual int GetChildVAlign() const { return childVAlign_; }
  virtual void SetChildVAlign(int align);
  virtual bool IsAutoDestroy() const { return autoDestroy_; }
  virtual void SetAutoDestroy(bool autoDestroy) { autoDestroy_ = autoDestroy; }
  virtual bool IsDelayedDestroy() const { return delayedDestroy_; }
  virtual void SetDelayedDestroy(bool delayed) { delayedDestroy_ = delayed; }
  virtual bool IsMouseChildEnabled() const { return mouseChildEnabled_; }
  virtual void SetMouseChildEnabled(bool enabled = true) { mouseChildEnabled_ = enabled; }
  // Places a visible float child at its offset and ratios inside this container.
  virtual void PlaceFloatChild(int index);

  void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true) override;
  UIRect GetInnerRect() const override;
  void SetPos(UIRect rect, bool invalidate = true) override;
  void Move(UISize offset, bool invalidate = true) override;
  void SetVisible(bool visible = true) override;
  void SetParentVisible(bool visible) override;
  CControlUI* FindControl(FindControlProc proc, void* data, uint32_t flags) override;
  void HandleEvent(UIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  // The container, then its visible children clipped to the client area (float children to
  // the whole container), until the stop control.
  bool PaintControl(NativeDC dc, const UIRect& dirty, CControlUI* stop) override;

 protected:
  void DestroyRemoved(CControlUI* control);

  CUIPtrArray items_;
  UIRect inset_;
  int32_t childPadding_ = 0;
  int childAlign_ = kAlignLeft;
  int childVAlign_ = kAlignTop;
  bool autoDestroy_ = true;
  bool delayedDestroy_ = true;
  bool mouseChildEnabled_ = true;
};

class CVerticalLayoutUI : public CContainerUI {
 public:
  const wchar_t* GetClass() const override { return L"VerticalLayout"; }
  void* GetInterface(const wchar_t* name) override;
  void SetPos(UIRect rect, bool invalidate = true) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  static constexpr const wchar_t* kSeparatorAttribute = L"sepheight";
  int32_t GetSepHeight() const { return sepHeight_; }
  void SetSeparatorSize(int32_t height) { sepHeight_ = height; }
  bool IsSepImmMode() const { return sepImmediate_; }
  void SetSepImmMode(bool immediate) { sepImmediate_ = immediate; }

 private:
  int32_t sepHeight_ = 0;
  bool sepImmediate_ = false;
};

class CHorizontalLayoutUI : public CContainerUI {
 public:
  const wchar_t* GetClass() const override { return L"HorizontalLayout"; }
  void* GetInterface(const wchar_t* name) override;
  void SetPos(UIRect rect, bool invalidate = true) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  static constexpr const wchar_t* kSeparatorAttribute = L"sepwidth";
  int32_t GetSepWidth() const { return sepWidth_; }
  void SetSeparatorSize(int32_t width) { sepWidth_ = width; }
  bool IsSepImmMode() const { return sepImmediate_; }
  void SetSepImmMode(bool immediate) { sepImmediate_ = immediate; }

 private:
  int32_t sepWidth_ = 0;
  bool sepImmediate_ = false;
};

// Shows one child page at a time.
class CTabLayoutUI : public CContainerUI {
 public:
  const wchar_t* GetClass() const override { return L"TabLayout"; }
  void* GetInterface(const wchar_t* name) override;
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control, bool keepAlive = false) override;
  void RemoveAll() override;
  int GetCurSel() const { return selected_; }
  // False outside [0, count); true without effect for the current page.
  virtual bool SelectItem(int index, bool notify = true);
  void SetPos(UIRect rect, bool invalidate = true) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

 private:
  int selected_ = -1;
};

}  // namespace SkinUI
