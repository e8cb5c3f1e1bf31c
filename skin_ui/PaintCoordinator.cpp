#include "skin_ui/PaintCoordinator.h"

#include <algorithm>

#include "skin_ui/ControlUI.h"
#include "skin_ui/WindowManagerUI.h"

namespace SkinUI {

namespace {

constexpr UIColor kNoRootColor = 0xFF000000;
constexpr UIColor kDirtyOutlineColor = 0xFFDC0000;  // red 220

}  // namespace

void UIPaintCoordinator::Paint() {
  NativeWindow window = manager_.GetNativeWindow();
  CControlUI* root = manager_.GetRoot();
  if (!root) {
    // Painting validates the area even here; a paint left unvalidated would come back forever.
    native::PaintWindow(window, [](NativeDC dc, const UIRect& dirty) { native::FillSolid(dc, dirty, kNoRootColor); });
    return;
  }
  UIRect update;
  if (!native::GetUpdateRect(window, update)) return;

  const UIRect client = native::GetClientRect(window);
  // A new layout of the whole tree comes with a new client size: the buffer is made again.
  if (manager_.IsUpdateNeeded() && root->IsUpdateNeeded()) DropBuffer();
  manager_.UpdateLayout(client);

  native::PaintWindow(window, [&](NativeDC dc, const UIRect& dirty) {
    const UISize size{client.Width(), client.Height()};
    if (offscreen_ && buffer_.dc && !(buffer_.size == size)) DropBuffer();
    if (offscreen_ && !buffer_.dc && !client.IsEmpty()) native::CreateOffscreen(dc, size, buffer_);
    if (offscreen_ && buffer_.dc) {
      PaintTree(buffer_.dc, dirty);
      native::CopyRect(dc, buffer_.dc, dirty);
    } else {
      PaintTree(dc, dirty);
    }
    if (manager_.IsShowUpdateRect()) native::OutlineRect(dc, dirty, kDirtyOutlineColor);
  });
  // Something asked for a layout while the tree was painting, or a focus move waits for the
  // layout just done: paint again (the paint validated any earlier request).
  if (manager_.IsUpdateNeeded() || manager_.IsFocusNeeded()) manager_.Invalidate();
}

void UIPaintCoordinator::PaintTree(NativeDC dc, const UIRect& dirty) {
  const int saved = native::PushClip(dc, dirty);
  if (CControlUI* root = manager_.GetRoot()) root->Paint(dc, dirty, nullptr);
  // A post-paint control may remove itself while it paints: walk a copy.
  const std::vector<CControlUI*> controls(postPaint_);
  for (CControlUI* control : controls) control->PaintAfterTree(dc, dirty);
  native::PopClip(dc, saved);
}

void UIPaintCoordinator::DropBuffer() {
  if (buffer_.dc) native::DestroyOffscreen(buffer_);
}

bool UIPaintCoordinator::AddPostPaint(CControlUI* control) {
  if (!control || std::find(postPaint_.begin(), postPaint_.end(), control) != postPaint_.end()) return false;
  postPaint_.push_back(control);
  return true;
}

bool UIPaintCoordinator::RemovePostPaint(CControlUI* control) { return std::erase(postPaint_, control) > 0; }

void UIPaintCoordinator::Forget(const CControlUI* control) { std::erase(postPaint_, control); }

}  // namespace SkinUI
