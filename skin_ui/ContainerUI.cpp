#include "skin_ui/ContainerUI.h"

#include <algorithm>
#include <cwchar>

#include "skin_ui/AttributeTable.h"
#include "skin_ui/NativeWindowOps.h"
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

// The vertical and horizontal layouts are one algorithm: children are stacked along the main axis
// and stretched or aligned across it. This reads and writes rectangles, sizes and child limits by
// axis, so the algorithm is written once.
class BoxAxis {
 public:
  // A horizontal row stretches every child without a fixed width, whatever its measured width; a
  // vertical column asks each child and stretches only those that measure a height of 0.
  static BoxAxis Vertical() { return BoxAxis(true, false); }
  static BoxAxis Horizontal() { return BoxAxis(false, true); }

  // Whether a child with no fixed main length always shares the free space: it is not measured
  // for the fixed total, and what it measures later does not count.
  bool StretchesUnfixed() const { return stretchesUnfixed_; }

  int32_t MainLead(const UIRect& r) const { return vertical_ ? r.top : r.left; }
  int32_t MainTrail(const UIRect& r) const { return vertical_ ? r.bottom : r.right; }
  int32_t CrossLead(const UIRect& r) const { return vertical_ ? r.left : r.top; }
  int32_t CrossTrail(const UIRect& r) const { return vertical_ ? r.right : r.bottom; }
  int32_t MainLength(const UIRect& r) const { return vertical_ ? r.Height() : r.Width(); }
  int32_t CrossLength(const UIRect& r) const { return vertical_ ? r.Width() : r.Height(); }

  int32_t Main(UISize size) const { return vertical_ ? size.cy : size.cx; }
  UISize MakeSize(int64_t main, int64_t cross) const { return vertical_ ? Size(cross, main) : Size(main, cross); }
  UIRect MakeRect(int64_t mainLead, int64_t crossLead, int64_t mainTrail, int64_t crossTrail) const {
    return vertical_ ? Rect(crossLead, mainLead, crossTrail, mainTrail)
                     : Rect(mainLead, crossLead, mainTrail, crossTrail);
  }

  int32_t FixedMain(const CControlUI* c) const { return vertical_ ? c->GetFixedHeight() : c->GetFixedWidth(); }
  int32_t MinMain(const CControlUI* c) const { return vertical_ ? c->GetMinHeight() : c->GetMinWidth(); }
  int32_t MaxMain(const CControlUI* c) const { return vertical_ ? c->GetMaxHeight() : c->GetMaxWidth(); }
  int32_t FixedCross(const CControlUI* c) const { return vertical_ ? c->GetFixedWidth() : c->GetFixedHeight(); }
  int32_t MinCross(const CControlUI* c) const { return vertical_ ? c->GetMinWidth() : c->GetMinHeight(); }
  int32_t MaxCross(const CControlUI* c) const { return vertical_ ? c->GetMaxWidth() : c->GetMaxHeight(); }
  // A child's size limits as the box layouts use them: a fixed size is its own maximum.
  int32_t LimitMain(const CControlUI* c) const { return FixedMain(c) > 0 ? FixedMain(c) : MaxMain(c); }
  int32_t LimitCross(const CControlUI* c) const { return FixedCross(c) > 0 ? FixedCross(c) : MaxCross(c); }

 private:
  BoxAxis(bool vertical, bool stretchesUnfixed) : vertical_(vertical), stretchesUnfixed_(stretchesUnfixed) {}

  bool vertical_;
  bool stretchesUnfixed_;
};

enum class CrossPlacement { kLead, kCenter, kTrail };

// Reads a layout's alignment setting for its cross axis; values other than the two named ones
// keep children at the leading edge.
CrossPlacement PlacementOf(int align, int centerValue, int trailValue) {
  if (align == centerValue) return CrossPlacement::kCenter;
  if (align == trailValue) return CrossPlacement::kTrail;
  return CrossPlacement::kLead;
}

// Places the visible children of a box layout inside its client area `rc`: children that measure
// a main length keep it, the others share what is left, the last of them taking the remainder of
// the integer division.
void LayOutBox(CContainerUI& box, const CUIPtrArray& items, const UIRect& rc, int64_t childPadding,
               const BoxAxis& axis, CrossPlacement placement) {
  if (items.IsEmpty()) return;
  const int64_t mainSpace = axis.MainLength(rc);
  const int64_t crossSpace = axis.CrossLength(rc);

  int adjustables = 0;
  int placed = 0;
  int64_t fixedTotal = 0;
  for (int i = 0; i < items.GetSize(); ++i) {
    CControlUI* child = Child(items, i);
    if (!child->IsVisible() || child->IsFloat()) continue;
    ++placed;
    const UIRect p = child->GetPadding();
    int64_t length = 0;
    if (axis.StretchesUnfixed() && axis.FixedMain(child) == 0) {
      ++adjustables;
    } else {
      const int64_t crossRoom = crossSpace - axis.CrossLead(p) - axis.CrossTrail(p);
      const UISize size = child->MeasureSize(axis.MakeSize(std::min<int64_t>(mainSpace, axis.LimitMain(child)),
                                                           std::min<int64_t>(crossRoom, axis.LimitCross(child))));
      if (axis.Main(size) == 0)
        ++adjustables;
      else
        length = Clamp(axis.Main(size), axis.MinMain(child), axis.MaxMain(child));
    }
    fixedTotal += length + axis.MainLead(p) + axis.MainTrail(p);
  }
  if (placed > 0) fixedTotal += int64_t{placed - 1} * childPadding;
  const int64_t expand = adjustables > 0 ? std::max<int64_t>(0, (mainSpace - fixedTotal) / adjustables) : 0;

  int64_t pos = axis.MainLead(rc);
  int64_t remaining = mainSpace;
  int64_t remainingFixed = fixedTotal;
  int adjusted = 0;
  int counted = 0;
  for (int i = 0; i < items.GetSize(); ++i) {
    CControlUI* child = Child(items, i);
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      box.PlaceFloatChild(i);
      continue;
    }
    ++counted;
    const UIRect p = child->GetPadding();
    remaining -= axis.MainLead(p);
    remainingFixed -= int64_t{axis.MainLead(p)} + axis.MainTrail(p);
    if (counted > 1) remainingFixed -= childPadding;
    const int64_t crossRoom = crossSpace - axis.CrossLead(p) - axis.CrossTrail(p);
    const int64_t limitCross = axis.LimitCross(child);
    const UISize size = child->MeasureSize(axis.MakeSize(std::min<int64_t>(remaining, axis.LimitMain(child)),
                                                         std::min<int64_t>(crossRoom, limitCross)));
    int64_t length;
    if ((axis.StretchesUnfixed() && axis.FixedMain(child) == 0) || axis.Main(size) == 0) {
      ++adjusted;
      length = adjusted == adjustables ? std::max<int64_t>(0, remaining - axis.MainTrail(p) - remainingFixed) : expand;
      length = Clamp(length, axis.MinMain(child), axis.MaxMain(child));
    } else {
      length = Clamp(axis.Main(size), axis.MinMain(child), axis.MaxMain(child));
      remainingFixed -= length;
    }
    int64_t thickness = limitCross;
    if (thickness == 0) thickness = crossRoom;
    thickness = std::max<int64_t>(thickness, 0);
    thickness = std::min(thickness, std::min<int64_t>(crossRoom, limitCross));
    thickness = std::max<int64_t>(thickness, axis.MinCross(child));

    int64_t cross;
    if (placement == CrossPlacement::kCenter)
      cross = (int64_t{axis.CrossLead(rc)} + axis.CrossTrail(rc)) / 2 - thickness / 2;
    else if (placement == CrossPlacement::kTrail)
      cross = int64_t{axis.CrossTrail(rc)} - axis.CrossTrail(p) - thickness;
    else
      cross = int64_t{axis.CrossLead(rc)} + axis.CrossLead(p);
    const int64_t lead = pos + axis.MainLead(p);
    child->SetPos(axis.MakeRect(lead, cross, lead + length, cross + thickness), false);
    pos += length + axis.MainLead(p) + axis.MainTrail(p) + childPadding;
    remaining -= length + axis.MainTrail(p) + childPadding;
  }
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

bool CContainerUI::PaintControl(NativeDC dc, const UIRect& dirty, CControlUI* stop) {
  UIRect area = dirty;
  if (!area.Intersect(item_)) return true;
  const int outerClip = native::PushClip(dc, area);
  CControlUI::PaintControl(dc, dirty, stop);
  const UIRect client = GetInnerRect();
  UIRect clientDirty = dirty;
  const bool dirtyClient = clientDirty.Intersect(client);
  int innerClip = dirtyClient ? native::PushClip(dc, client) : 0;
  bool reachedStop = false;
  for (int i = 0; i < items_.GetSize() && !reachedStop; ++i) {
    CControlUI* child = Child(items_, i);
    if (!child->IsVisible()) continue;
    UIRect meets = child->GetPos();
    if (!meets.Intersect(dirty)) continue;
    if (child->IsFloat()) {
      UIRect inItem = child->GetPos();
      if (!inItem.Intersect(item_)) continue;
      // Float children may draw over the inset: only the container's own clip holds.
      if (innerClip) native::PopClip(dc, innerClip);
      reachedStop = !child->Paint(dc, dirty, stop);
      if (innerClip) innerClip = native::PushClip(dc, client);
    } else {
      UIRect inClient = child->GetPos();
      if (!dirtyClient || !inClient.Intersect(client)) continue;
      reachedStop = !child->Paint(dc, dirty, stop);
    }
  }
  if (innerClip) native::PopClip(dc, innerClip);
  native::PopClip(dc, outerClip);
  return !reachedStop;
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

namespace {

// The alignment named by one of the exact words of `choices`; other values leave it unchanged.
struct AlignWord {
  const wchar_t* word;
  int align;
};

template <size_t N>
void SetAlign(CContainerUI& box, const wchar_t* value, const AlignWord (&choices)[N], void (CContainerUI::*set)(int)) {
  for (const AlignWord& choice : choices) {
    if (wcscmp(value, choice.word) == 0) {
      (box.*set)(choice.align);
      return;
    }
  }
}

constexpr AlignWord kChildAlignWords[] = {{L"left", kAlignLeft}, {L"center", kAlignCenter}, {L"right", kAlignRight}};
constexpr AlignWord kChildVAlignWords[] = {{L"top", kAlignTop}, {L"vcenter", kAlignVCenter}, {L"bottom", kAlignBottom}};

using attr::Set;

constexpr UIAttribute<CContainerUI> kContainerAttributes[] = {
    {L"inset", Set<&CContainerUI::SetInset, attr::Rect>},
    {L"childpadding", Set<&CContainerUI::SetChildPadding, attr::Number>},
    {L"childalign",
     [](CContainerUI& box, const wchar_t* value) {
       SetAlign(box, value, kChildAlignWords, &CContainerUI::SetChildAlign);
     }},
    {L"childvalign",
     [](CContainerUI& box, const wchar_t* value) {
       SetAlign(box, value, kChildVAlignWords, &CContainerUI::SetChildVAlign);
     }},
    {L"mousechild", Set<&CContainerUI::SetMouseChildEnabled, attr::Bool>},
};

// The separator of the box layouts (its dragging is not built: no skin uses it).
template <class Box>
constexpr UIAttribute<Box> kSeparatorAttributes[] = {
    {Box::kSeparatorAttribute, Set<&Box::SetSeparatorSize, attr::Number>},
    {L"sepimm", Set<&Box::SetSepImmMode, attr::Bool>},
};

}  // namespace

void CContainerUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!ApplyAttribute(kContainerAttributes, *this, name, value)) CControlUI::SetAttribute(name, value);
}

// ---------------------------------------------------------------------------------------------

void* CVerticalLayoutUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"VerticalLayout") == 0) return this;
  return CContainerUI::GetInterface(name);
}

void CVerticalLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!ApplyAttribute(kSeparatorAttributes<CVerticalLayoutUI>, *this, name, value))
    CContainerUI::SetAttribute(name, value);
}

void CVerticalLayoutUI::SetPos(UIRect rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  LayOutBox(*this, items_, GetInnerRect(), childPadding_, BoxAxis::Vertical(),
            PlacementOf(childAlign_, kAlignCenter, kAlignRight));
}

// ---------------------------------------------------------------------------------------------

void* CHorizontalLayoutUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"HorizontalLayout") == 0) return this;
  return CContainerUI::GetInterface(name);
}

void CHorizontalLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!ApplyAttribute(kSeparatorAttributes<CHorizontalLayoutUI>, *this, name, value))
    CContainerUI::SetAttribute(name, value);
}

void CHorizontalLayoutUI::SetPos(UIRect rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  LayOutBox(*this, items_, GetInnerRect(), childPadding_, BoxAxis::Horizontal(),
            PlacementOf(childVAlign_, kAlignVCenter, kAlignBottom));
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
