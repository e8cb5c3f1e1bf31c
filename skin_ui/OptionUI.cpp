#include "skin_ui/OptionUI.h"

#include <algorithm>
#include <cwchar>
#include <vector>

#include "skin_ui/AttributeTable.h"
#include "skin_ui/WindowManagerUI.h"

namespace SkinUI {

namespace {

template <ButtonPicture Picture>
void SetPictureAttribute(COptionUI& option, const wchar_t* value) {
  option.SetPicture(Picture, value);
}

void SetSelectedAttribute(COptionUI& option, const wchar_t* value) { option.Selected(wcscmp(value, L"true") == 0); }

using attr::Set;

constexpr UIAttribute<COptionUI> kOptionAttributes[] = {
    {L"group", Set<&COptionUI::SetGroup, attr::Text>},
    {L"selected", SetSelectedAttribute},
    {L"selectedimage", SetPictureAttribute<ButtonPicture::kSelected>},
    {L"selectedhotimage", SetPictureAttribute<ButtonPicture::kSelectedHot>},
    {L"selectedbkcolor", Set<&COptionUI::SetSelectedBkColor, attr::Color>},
    {L"selectedtextcolor", Set<&COptionUI::SetSelectedTextColor, attr::Color>},
};

}  // namespace

COptionUI::~COptionUI() { LeaveGroup(); }

void COptionUI::JoinGroup() {
  if (!manager_ || group_.IsEmpty()) return;
  manager_->AddOptionGroup(group_, this);
  groupWindow_ = manager_;
}

void COptionUI::LeaveGroup() {
  if (!groupWindow_) return;
  // A window already destroyed took its group lists with it.
  const std::vector<CWindowManagerUI*>& windows = CWindowManagerUI::GetManagers();
  if (std::find(windows.begin(), windows.end(), groupWindow_) != windows.end())
    groupWindow_->RemoveOptionGroup(group_, this);
  groupWindow_ = nullptr;
}

void* COptionUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"Option") == 0) return this;
  return CButtonUI::GetInterface(name);
}

bool COptionUI::Activate() {
  if (!CButtonUI::Activate()) return false;
  Selected(group_.IsEmpty() ? !selected_ : true);
  return true;
}

void COptionUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init) {
  CButtonUI::SetManager(manager, parent, init);
  if (!init || !manager_ || groupWindow_ == manager_) return;
  LeaveGroup();
  JoinGroup();
}

void COptionUI::SetEnabled(bool enabled) {
  CButtonUI::SetEnabled(enabled);
  if (!enabled) state_ = selected_ ? uint32_t{kButtonSelected} : 0u;
}

void COptionUI::SetGroup(const wchar_t* group) {
  if (group_ == (group ? group : L"")) return;
  LeaveGroup();
  group_ = group;
  JoinGroup();
}

void COptionUI::Selected(bool selected, bool notify) {
  if (selected_ == selected) return;
  selected_ = selected;
  state_ = selected_ ? state_ | kButtonSelected : state_ & ~kButtonSelected;
  if (manager_) {
    if (!group_.IsEmpty()) {
      if (!selected_) {
        // Only ever the other half of selecting another option, which reports the change.
        Invalidate();
        return;
      }
      // A copy: a notification below may change the group.
      const std::vector<CControlUI*>* members = manager_->GetOptionGroup(group_);
      const std::vector<CControlUI*> others = members ? *members : std::vector<CControlUI*>{};
      for (CControlUI* member : others) {
        auto* option = static_cast<COptionUI*>(member->GetInterface(L"Option"));
        if (option && option != this) option->Selected(false, notify);
      }
    }
    if (notify) manager_->SendNotification(this, kNotifySelectChanged);
  }
  Invalidate();
}

void COptionUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!ApplyAttribute(kOptionAttributes, *this, name, value)) CButtonUI::SetAttribute(name, value);
}

void COptionUI::PaintStateImage(NativeDC dc) {
  RefreshStateBits();
  ButtonLookInput input = LookInput();
  input.selectedColor = selectedBkColor_ != 0;
  PaintLook(dc, ChooseOptionLook(input), selectedBkColor_);
}

void COptionUI::PaintText(NativeDC dc) {
  if (!selected_) {
    // An option never shows its pushed look.
    const uint32_t pushed = state_ & kButtonPushed;
    state_ &= ~kButtonPushed;
    CButtonUI::PaintText(dc);
    state_ |= pushed;
    return;
  }
  RefreshStateBits();
  ResolveTextColors();
  if (text_.IsEmpty() || !manager_) return;
  UIColor color = IsEnabled() ? textColor_ : disabledTextColor_;
  if (selectedTextColor_ != 0) color = selectedTextColor_;
  DrawText(dc, TextRect(), color);
}

void* CCheckBoxUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"CheckBox") == 0) return this;
  return COptionUI::GetInterface(name);
}

}  // namespace SkinUI
