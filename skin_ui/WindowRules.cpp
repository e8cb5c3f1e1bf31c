#include "skin_ui/WindowRules.h"

#include "skin_ui/UIString.h"

namespace SkinUI {

namespace {

// Pressing these starts their own action, so they stay clickable inside the caption band.
bool IsClickable(const wchar_t* controlClass) {
  const CUIString name(controlClass);
  return name.CompareNoCase(L"Button") == 0 || name.CompareNoCase(L"Option") == 0 ||
         name.CompareNoCase(L"Text") == 0;
}

}  // namespace

int ClassifyHitTest(UIPoint point, const UIRect& client, const UIRect& sizeBox, const UIRect& caption,
                    bool maximized, const wchar_t* controlClass) {
  const int64_t x = point.x;
  const int64_t y = point.y;
  if (!maximized) {
    const bool left = x < int64_t{client.left} + sizeBox.left;
    const bool right = x > int64_t{client.right} - sizeBox.right;
    if (y < int64_t{client.top} + sizeBox.top) return left ? kHitTopLeft : right ? kHitTopRight : kHitTop;
    if (y > int64_t{client.bottom} - sizeBox.bottom) return left ? kHitBottomLeft : right ? kHitBottomRight : kHitBottom;
    if (left) return kHitLeft;
    if (right) return kHitRight;
  }
  const bool inBand = x >= int64_t{client.left} + caption.left && x < int64_t{client.right} - caption.right &&
                      y >= caption.top && y < caption.bottom;
  if (inBand && controlClass && !IsClickable(controlClass)) return kHitCaption;
  return kHitClient;
}

UIPoint CenteredPosition(UISize size, const UIRect& around, const UIRect& workArea) {
  int64_t x = (int64_t{around.left} + around.right) / 2 - size.cx / 2;
  int64_t y = (int64_t{around.top} + around.bottom) / 2 - size.cy / 2;
  if (x < workArea.left) x = workArea.left;
  if (y < workArea.top) y = workArea.top;
  if (x + size.cx > workArea.right) x = int64_t{workArea.right} - size.cx;
  if (y + size.cy > workArea.bottom) y = int64_t{workArea.bottom} - size.cy;
  return UIPoint{Saturate(x), Saturate(y)};
}

UIRect RoundRegionRect(UISize size) {
  return UIRect{0, 0, Saturate(int64_t{size.cx} + 1), Saturate(int64_t{size.cy} + 1)};
}

UIModalLoopState::Step UIModalLoopState::Observe(const UIMessage& msg, NativeWindow window) {
  if (msg.message == kMsgQuit) {
    quit_ = true;
    quitCode_ = msg.wParam;
    return Step::kQuit;
  }
  if (msg.message == kMsgClose && msg.window == window) {
    result_ = static_cast<intptr_t>(msg.wParam);
    return Step::kCloseRequested;
  }
  return Step::kDispatch;
}

}  // namespace SkinUI
