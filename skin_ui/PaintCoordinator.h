#pragma once
// A window's paint: lays the tree out when asked, paints the root into an offscreen buffer of the
// client size, lets the post-paint controls paint over it, and copies the dirty rectangle to the
// window. A window without a root paints black.

#include <vector>

#include "skin_ui/NativeWindowOps.h"
#include "skin_ui/UIDefs.h"

namespace SkinUI {

class CControlUI;
class CWindowManagerUI;

class UIPaintCoordinator {
 public:
  explicit UIPaintCoordinator(CWindowManagerUI& manager) : manager_(manager) {}
  UIPaintCoordinator(const UIPaintCoordinator&) = delete;
  UIPaintCoordinator& operator=(const UIPaintCoordinator&) = delete;
  ~UIPaintCoordinator() { DropBuffer(); }

  void Paint();
  // Painting straight into the window instead of through the buffer.
  void SetOffscreen(bool offscreen) { offscreen_ = offscreen; }

  bool AddPostPaint(CControlUI* control);
  bool RemovePostPaint(CControlUI* control);
  void Forget(const CControlUI* control);
  void Reset() { postPaint_.clear(); }

 private:
  void PaintTree(NativeDC dc, const UIRect& dirty);
  void DropBuffer();

  CWindowManagerUI& manager_;
  native::Offscreen buffer_;
  bool offscreen_ = true;
  std::vector<CControlUI*> postPaint_;
};

}  // namespace SkinUI
