#pragma once
// Toggles: an option is a button that stays selected. Options of one group name in a window
// are radio buttons (selecting one deselects the others, a click on the selected one changes
// nothing); an option without a group, and the check box, toggle on every click. Each change
// reports "selectchanged".

#include "skin_ui/ButtonUI.h"

namespace SkinUI {

class COptionUI : public CButtonUI {
 public:
  ~COptionUI() override;
  const wchar_t* GetClass() const override { return L"Option"; }
  void* GetInterface(const wchar_t* name) override;
  bool Activate() override;
  void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true) override;
  void SetEnabled(bool enabled = true) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  void PaintStateImage(NativeDC dc) override;
  void PaintText(NativeDC dc) override;
  // Stores the selection; with `notify` a change reports "selectchanged".
  virtual void Selected(bool selected, bool notify = true);

  bool IsSelected() const { return selected_; }
  const CUIString& GetGroup() const { return group_; }
  // Leaves the old group of the window and joins the new one; the selection stays as it is.
  void SetGroup(const wchar_t* group);
  UIColor GetSelectedBkColor() const { return selectedBkColor_; }
  void SetSelectedBkColor(UIColor color) { ChangeAndInvalidate(selectedBkColor_, color); }
  UIColor GetSelectedTextColor() const { return selectedTextColor_; }
  void SetSelectedTextColor(UIColor color) { ChangeAndInvalidate(selectedTextColor_, color); }

 private:
  // Group membership is kept by the window the option joined in: the dialog builder attaches a
  // control to its window only while it applies the attributes, so `manager_` may be gone
  // (or another window) by the time the option leaves.
  void JoinGroup();
  void LeaveGroup();

  bool selected_ = false;
  CUIString group_;
  CWindowManagerUI* groupWindow_ = nullptr;
  UIColor selectedBkColor_ = 0;
  UIColor selectedTextColor_ = 0;
};

class CCheckBoxUI : public COptionUI {
 public:
  const wchar_t* GetClass() const override { return L"CheckBox"; }
  void* GetInterface(const wchar_t* name) override;
};

}  // namespace SkinUI
