#include "skin_ui/ContainerUI.h"

#include <algorithm>
#include <cwchar>

#include "skin_ui/ValueSyntax.h"
#include "skin_ui/WindowManagerUI.h"

namespace SkinUI {

namespace {

CControlUI* Child(const CUIPtrArray& items, int index) { return static_cast<CControlUI*>(items.GetAt(index)); }

int64_t Clamp(int64_t value, int64_t low, int64_t high) { return std::max(low, std::min(value, high)); }

UISize Size(int64_t cx, int64_t cy) { return UISize{Saturate(cx), Saturate(cy)}; }

UIRect Rect(int64_t left, int64_t top, int64_t right, int64_t bottom) {
  return UIRect{Saturate(left), Saturate(top), Saturate(right), Saturate(bottom)};
}

// A child's size limits as the box layouts use them: a fixed size is its own maximum.
int32_t LimitWidth(const CControlUI* child) {
  return child->GetFixedWidth() > 0 ? child->GetFixedWidth() : child->GetMaxWidth();
}
int32_t LimitHeight(const CControlUI* child) {
  return child->GetFixedHeight() > 0 ? child->GetFixedHeight() : child->GetMaxHeight();
}

}  // namespace

CContainerUI::~CContainerUI() {
  for (int i = 0; i < items_.GetSize(); ++i) Child(items_, i)->Delete();
  items_.Empty();
}

void* CContainerUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"IContainer") == 0) return static_cast<IContainerUI*>(this);
  if (name && wcscmp(name, L"Container") == 0) return static_cast<CContainerUI*>(this);
  return CControlUI::GetInterface(name);
}

CControlUI* CContainerUI::GetItemAt(int index) const { return Child(items_, index); }

int CContainerUI::GetItemIndex(CControlUI* control) const { return items_.Find(control); }

bool CContainerUI::MoveItem(CControlUI* control, int newIndex) {
  const int index = items_.Find(control);
  if (index < 0 || newIndex < 0 || newIndex >= items_.GetSize()) return false;
  if (index == newIndex) return true;
  items_.Remove(index);
  items_.InsertAt(newIndex, control);
  MarkForLayout();
  return true;
}

bool CContainerUI::MoveItems(CControlUI* first, int count, int newIndex) {
  const int index = items_.Find(first);
  if (index < 0 || count <= 0 || index + count > items_.GetSize() || newIndex < 0 ||
      newIndex + count > items_.GetSize())
    return false;
  CUIPtrArray run;
  for (int i = 0; i < count; ++i) run.Add(items_.GetAt(index));
  for (int i = 0; i < count; ++i) items_.Remove(index);
  for (int i = 0; i < count; ++i) items_.InsertAt(newIndex + i, run.GetAt(i));
  MarkForLayout();
  return true;
}

bool CContainerUI::Add(CControlUI* control) { return AddAt(control, items_.GetSize()); }

bool CContainerUI::AddAt(CControlUI* control, int index) {
  if (!control || index < 0 || index > items_.GetSize()) return false;
  if (manager_)
    manager_->InitControls(control, this);
  else
    control->SetManager(nullptr, this, false);
  if (IsVisible())
    MarkForLayout();
  else
    control->SetParentVisible(false);
  return items_.InsertAt(index, control);
}

void CContainerUI::DestroyRemoved(CControlUI* control) {
  if (!autoDestroy_) return;
  if (delayedDestroy_ && manager_)
    manager_->QueueForDeletion(control);
  else
    control->Delete();
}

bool CContainerUI::Remove(CControlUI* control, bool keepAlive) {
  const int index = items_.Find(control);
  if (index < 0) return false;
  items_.Remove(index);
  MarkForLayout();
  if (!keepAlive) DestroyRemoved(control);
  return true;
}

bool CContainerUI::RemoveAt(int index, bool keepAlive) {
  CControlUI* control = GetItemAt(index);
  return control && Remove(control, keepAlive);
}

void CContainerUI::RemoveAll() {
  CUIPtrArray removed(items_);
  items_.Empty();
  for (int i = 0; i < removed.GetSize(); ++i) DestroyRemoved(Child(removed, i));
  MarkForLayout();
}

void CContainerUI::SetInset(UIRect inset) {
  inset_ = inset;
  MarkForLayout();
}

void CContainerUI::SetChildPadding(int32_t padding) {
  childPadding_ = std::max(padding, 0);
  MarkForLayout();
}

void CContainerUI::SetChildAlign(int align) {
  childAlign_ = align;
  MarkForLayout();
}

void CContainerUI::SetChildVAlign(int align) {
  childVAlign_ = align;
  MarkForLayout();
}

void CContainerUI::PlaceFloatChild(int index) {
  CControlUI* child = GetItemAt(index);
  if (!child || !child->IsVisible() || !child->IsFloat()) return;
  const int32_t w = item_.Width();
  const int32_t h = item_.Height();
  const UISize xy = child->GetFloatOffset();
  const UIFloatPercent pct = child->GetFloatRatio();
  child->SetPos(Rect(int64_t{ScaleByFraction(w, pct.left)} + xy.cx, int64_t{ScaleByFraction(h, pct.top)} + xy.cy,
                     int64_t{ScaleByFraction(w, pct.right)} + xy.cx + child->GetFixedWidth(),
                     int64_t{ScaleByFraction(h, pct.bottom)} + xy.cy + child->GetFixedHeight()),
                false);
}

void CContainerUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init) {
  for (int i = 0; i < items_.GetSize(); ++i) Child(items_, i)->SetManager(manager, this, init);
  CControlUI::SetManager(manager, parent, init);
}

UIRect CContainerUI::GetInnerRect() const {
  return Rect(int64_t{item_.left} + inset_.left, int64_t{item_.top} + inset_.top, int64_t{item_.right} - inset_.right,
              int64_t{item_.bottom} - inset_.bottom);
}

void CContainerUI::SetPos(UIRect rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  const UIRect client = GetInnerRect();
  for (int i = 0; i < items_.GetSize(); ++i) {
    CControlUI* child = Child(items_, i);
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      PlaceFloatChild(i);
      continue;
    }
    const int64_t w = Clamp(client.Width(), child->GetMinWidth(), child->GetMaxWidth());
    const int64_t h = Clamp(client.Height(), child->GetMinHeight(), child->GetMaxHeight());
    child->SetPos(Rect(client.left, client.top, client.left + w, client.top + h), false);
  }
}

void CContainerUI::Move(UISize offset, bool invalidate) {
  CControlUI::Move(offset, invalidate);
  for (int i = 0; i < items_.GetSize(); ++i) {
    CControlUI* child = Child(items_, i);
    if (child->IsVisible()) child->Move(offset, false);
  }
}

void CContainerUI::SetVisible(bool visible) {
  if (visible_ == visible) return;
  CControlUI::SetVisible(visible);
  for (int i = 0; i < items_.GetSize(); ++i) Child(items_, i)->SetParentVisible(IsVisible());
}

void CContainerUI::SetParentVisible(bool visible) {
  CControlUI::SetParentVisible(visible);
  for (int i = 0; i < items_.GetSize(); ++i) Child(items_, i)->SetParentVisible(IsVisible());
}

CControlUI* CContainerUI::FindControl(FindControlProc proc, void* data, uint32_t flags) {
  if ((flags & kFindVisible) && !IsVisible()) return nullptr;
  if ((flags & kFindEnabled) && !IsEnabled()) return nullptr;
  const bool hitTest = (flags & kFindHitTest) != 0;
  if (hitTest && !item_.Contains(*static_cast<UIPoint*>(data))) return nullptr;
  if ((flags & kFindUpdateTest) && proc(this, data)) return nullptr;

  if ((flags & kFindMeFirst) && (!hitTest || mouseEnabled_)) {
    if (CControlUI* found = proc(this, data)) return found;
  }
  if (cover_ && (!hitTest || mouseChildEnabled_)) {
    if (CControlUI* found = cover_->FindControl(proc, data, flags)) return found;
  }
  if (!hitTest || mouseChildEnabled_) {
    const UIRect client = GetInnerRect();
    const int count = items_.GetSize();
    for (int n = 0; n < count; ++n) {
      const int i = (flags & kFindTopFirst) ? count - 1 - n : n;
      CControlUI* found = Child(items_, i)->FindControl(proc, data, flags);
      if (!found) continue;
      if (!hitTest || found->IsFloat() || client.Contains(*static_cast<UIPoint*>(data))) return found;
    }
  }
  if (!(flags & kFindMeFirst) && (!hitTest || mouseEnabled_)) return proc(this, data);
  return nullptr;
}

void CContainerUI::HandleEvent(UIEvent& event) {
  if (!mouseEnabled_ && IsMouseEvent(event.type)) {
    if (parent_) parent_->HandleEvent(event);
    return;
  }
  if (event.type == kEventSetFocus) {
    focused_ = true;
    return;
  }
  if (event.type == kEventKillFocus) {
    focused_ = false;
    return;
  }
  CControlUI::HandleEvent(event);
}

void CContainerUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!name || !value) return;
  const CUIString key(name);
  if (key == L"inset") {
    SetInset(ParseRect(value));
  } else if (key == L"childpadding") {
    SetChildPadding(ParseNumber(value));
  } else if (key == L"childalign") {
    if (wcscmp(value, L"left") == 0) SetChildAlign(kAlignLeft);
    else if (wcscmp(value, L"center") == 0) SetChildAlign(kAlignCenter);
    else if (wcscmp(value, L"right") == 0) SetChildAlign(kAlignRight);
  } else if (key == L"childvalign") {
    if (wcscmp(value, L"top") == 0) SetChildVAlign(kAlignTop);
    else if (wcscmp(value, L"vcenter") == 0) SetChildVAlign(kAlignVCenter);
    else if (wcscmp(value, L"bottom") == 0) SetChildVAlign(kAlignBottom);
  } else if (key == L"mousechild") {
    SetMouseChildEnabled(ParseBool(value));
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

// ---------------------------------------------------------------------------------------------

void* CVerticalLayoutUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"VerticalLayout") == 0) return this;
  return CContainerUI::GetInterface(name);
}

void CVerticalLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (name && wcscmp(name, L"sepheight") == 0)
    sepHeight_ = ParseNumber(value);
  else if (name && wcscmp(name, L"sepimm") == 0)
    sepImmediate_ = ParseBool(value);
  else
    CContainerUI::SetAttribute(name, value);
}

void CVerticalLayoutUI::SetPos(UIRect rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  const UIRect rc = GetInnerRect();
  if (items_.IsEmpty()) return;
  const int64_t aw = rc.Width();
  const int64_t ah = rc.Height();

  int adjustables = 0;
  int placed = 0;
  int64_t fixedTotal = 0;
  for (int i = 0; i < items_.GetSize(); ++i) {
    CControlUI* child = Child(items_, i);
    if (!child->IsVisible() || child->IsFloat()) continue;
    ++placed;
    const UIRect p = child->GetPadding();
    const UISize size = child->MeasureSize(
        Size(std::min<int64_t>(aw - p.left - p.right, LimitWidth(child)), std::min<int64_t>(ah, LimitHeight(child))));
    int64_t height = size.cy;
    if (height == 0)
      ++adjustables;
    else
      height = Clamp(height, child->GetMinHeight(), child->GetMaxHeight());
    fixedTotal += height + p.top + p.bottom;
  }
  if (placed > 0) fixedTotal += int64_t{placed - 1} * childPadding_;
  const int64_t expand = adjustables > 0 ? std::max<int64_t>(0, (ah - fixedTotal) / adjustables) : 0;

  int64_t y = rc.top;
  int64_t remaining = ah;
  int64_t remainingFixed = fixedTotal;
  int adjusted = 0;
  int counted = 0;
  for (int i = 0; i < items_.GetSize(); ++i) {
    CControlUI* child = Child(items_, i);
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      PlaceFloatChild(i);
      continue;
    }
    ++counted;
    const UIRect p = child->GetPadding();
    remaining -= p.top;
    remainingFixed -= int64_t{p.top} + p.bottom;
    if (counted > 1) remainingFixed -= childPadding_;
    const int64_t limitWidth = LimitWidth(child);
    const UISize size = child->MeasureSize(
        Size(std::min<int64_t>(aw - p.left - p.right, limitWidth), std::min<int64_t>(remaining, LimitHeight(child))));
    int64_t h;
    if (size.cy == 0) {
      ++adjusted;
      h = adjusted == adjustables ? std::max<int64_t>(0, remaining - p.bottom - remainingFixed) : expand;
      h = Clamp(h, child->GetMinHeight(), child->GetMaxHeight());
    } else {
      h = Clamp(size.cy, child->GetMinHeight(), child->GetMaxHeight());
      remainingFixed -= h;
    }
    int64_t w = limitWidth;
    if (w == 0) w = aw - p.left - p.right;
    w = std::max<int64_t>(w, 0);
    w = std::min(w, std::min<int64_t>(aw - p.left - p.right, limitWidth));
    w = std::max<int64_t>(w, child->GetMinWidth());

    int64_t x;
    if (childAlign_ == kAlignCenter)
      x = (int64_t{rc.left} + rc.right) / 2 - w / 2;
    else if (childAlign_ == kAlignRight)
      x = int64_t{rc.right} - p.right - w;
    else
      x = int64_t{rc.left} + p.left;
    child->SetPos(Rect(x, y + p.top, x + w, y + p.top + h), false);
    y += h + p.top + p.bottom + childPadding_;
    remaining -= h + p.bottom + childPadding_;
  }
}

// ---------------------------------------------------------------------------------------------

void* CHorizontalLayoutUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"HorizontalLayout") == 0) return this;
  return CContainerUI::GetInterface(name);
}

void CHorizontalLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (name && wcscmp(name, L"sepwidth") == 0)
    sepWidth_ = ParseNumber(value);
  else if (name && wcscmp(name, L"sepimm") == 0)
    sepImmediate_ = ParseBool(value);
  else
    CContainerUI::SetAttribute(name, value);
}

void CHorizontalLayoutUI::SetPos(UIRect rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  const UIRect rc = GetInnerRect();
  if (items_.IsEmpty()) return;
  const int64_t aw = rc.Width();
  const int64_t ah = rc.Height();

  int adjustables = 0;
  int placed = 0;
  int64_t fixedTotal = 0;
  for (int i = 0; i < items_.GetSize(); ++i) {
    CControlUI* child = Child(items_, i);
    if (!child->IsVisible() || child->IsFloat()) continue;
    ++placed;
    const UIRect p = child->GetPadding();
    int64_t width = 0;
    if (child->GetFixedWidth() == 0) {
      ++adjustables;
    } else {
      const UISize size = child->MeasureSize(Size(std::min<int64_t>(aw, LimitWidth(child)),
                                                  std::min<int64_t>(ah - p.top - p.bottom, LimitHeight(child))));
      if (size.cx == 0)
        ++adjustables;
      else
        width = Clamp(size.cx, child->GetMinWidth(), child->GetMaxWidth());
    }
    fixedTotal += width + p.left + p.right;
  }
  if (placed > 0) fixedTotal += int64_t{placed - 1} * childPadding_;
  const int64_t expand = adjustables > 0 ? std::max<int64_t>(0, (aw - fixedTotal) / adjustables) : 0;

  int64_t x = rc.left;
  int64_t remaining = aw;
  int64_t remainingFixed = fixedTotal;
  int adjusted = 0;
  int counted = 0;
  for (int i = 0; i < items_.GetSize(); ++i) {
    CControlUI* child = Child(items_, i);
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      PlaceFloatChild(i);
      continue;
    }
    ++counted;
    const UIRect p = child->GetPadding();
    remaining -= p.left;
    remainingFixed -= int64_t{p.left} + p.right;
    if (counted > 1) remainingFixed -= childPadding_;
    const int64_t limitHeight = LimitHeight(child);
    const UISize size = child->MeasureSize(
        Size(std::min<int64_t>(remaining, LimitWidth(child)), std::min<int64_t>(ah - p.top - p.bottom, limitHeight)));
    int64_t w;
    if (child->GetFixedWidth() == 0 || size.cx == 0) {
      ++adjusted;
      w = adjusted == adjustables ? std::max<int64_t>(0, remaining - p.right - remainingFixed) : expand;
      w = Clamp(w, child->GetMinWidth(), child->GetMaxWidth());
    } else {
      w = Clamp(size.cx, child->GetMinWidth(), child->GetMaxWidth());
      remainingFixed -= w;
    }
    int64_t h = limitHeight;
    if (h == 0) h = ah - p.top - p.bottom;
    h = std::max<int64_t>(h, 0);
    h = std::min(h, std::min<int64_t>(ah - p.top - p.bottom, limitHeight));
    h = std::max<int64_t>(h, child->GetMinHeight());

    int64_t y;
    if (childVAlign_ == kAlignVCenter)
      y = (int64_t{rc.top} + rc.bottom) / 2 - h / 2;
    else if (childVAlign_ == kAlignBottom)
      y = int64_t{rc.bottom} - p.bottom - h;
    else
      y = int64_t{rc.top} + p.top;
    child->SetPos(Rect(x + p.left, y, x + p.left + w, y + h), false);
    x += w + p.left + p.right + childPadding_;
    remaining -= w + p.right + childPadding_;
  }
}

// ---------------------------------------------------------------------------------------------

void* CTabLayoutUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"TabLayout") == 0) return this;
  return CContainerUI::GetInterface(name);
}

bool CTabLayoutUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
  if (!CContainerUI::AddAt(control, index)) return false;
  if (selected_ == -1 && control->IsVisible())
    selected_ = GetItemIndex(control);
  else if (index <= selected_ && selected_ >= 0)
    ++selected_;  // the shown page moved one place on
  if (selected_ < 0 || GetItemAt(selected_) != control) control->SetVisible(false);
  return true;
}

bool CTabLayoutUI::Remove(CControlUI* control, bool keepAlive) {
  const int index = GetItemIndex(control);
  if (index < 0) return false;
  if (!CContainerUI::Remove(control, keepAlive)) return false;
  if (index == selected_) {
    if (GetCount() > 0) {
      selected_ = 0;
      GetItemAt(0)->SetVisible(true);
    } else {
      selected_ = -1;
    }
    MarkParentForLayout();
  } else if (index < selected_) {
    --selected_;
  }
  return true;
}

void CTabLayoutUI::RemoveAll() {
  selected_ = -1;
  CContainerUI::RemoveAll();
  MarkParentForLayout();
}

bool CTabLayoutUI::SelectItem(int index, bool notify) {
  if (index < 0 || index >= GetCount()) return false;
  if (index == selected_) return true;
  const int old = selected_;
  selected_ = index;
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* page = GetItemAt(i);
    if (i == index) {
      page->SetVisible(true);
      page->SetFocus();
    } else {
      page->SetVisible(false);
    }
  }
  MarkParentForLayout();
  if (manager_) {
    manager_->MoveFocusToNext(true);
    if (notify)
      manager_->SendNotification(this, kNotifyTabSelect, static_cast<uintptr_t>(index),
                                 static_cast<uintptr_t>(static_cast<intptr_t>(old)));
  }
  return true;
}

void CTabLayoutUI::SetPos(UIRect rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  const UIRect rc = GetInnerRect();
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* page = GetItemAt(i);
    if (!page->IsVisible()) continue;
    if (page->IsFloat()) {
      PlaceFloatChild(i);
      continue;
    }
    if (i != selected_) continue;
    const UIRect p = page->GetPadding();
    const UIRect area = Rect(int64_t{rc.left} + p.left, int64_t{rc.top} + p.top, int64_t{rc.right} - p.right,
                             int64_t{rc.bottom} - p.bottom);
    const UISize measured = page->MeasureSize(UISize{area.Width(), area.Height()});
    int64_t cx = measured.cx == 0 ? std::max(0, area.Width()) : measured.cx;
    int64_t cy = measured.cy == 0 ? std::max(0, area.Height()) : measured.cy;
    cx = Clamp(cx, page->GetMinWidth(), page->GetMaxWidth());
    cy = Clamp(cy, page->GetMinHeight(), page->GetMaxHeight());
    page->SetPos(Rect(area.left, area.top, area.left + cx, area.top + cy), false);
  }
}

void CTabLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (name && value && wcscmp(name, L"selectedid") == 0) SelectItem(ParseNumber(value), true);
  CContainerUI::SetAttribute(name, value);
}

}  // namespace SkinUI
