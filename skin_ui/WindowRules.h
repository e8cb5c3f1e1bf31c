#pragma once
// The window host's rules that need no windowing system: what a point of a borderless skinned
// window is (caption, resize border, client), where a centred window goes, the region of a
// window with round corners, and how the modal loop reads its messages.

#include <cstdint>

#include "skin_ui/UIDefs.h"
#include "skin_ui/UIMessages.h"

namespace SkinUI {

// The hit-test answer for a client point. `sizeBox` holds the resize borders' widths,
// `caption` the caption band (left and right inset from the client edges, top and bottom as y
// coordinates); `controlClass` is the class of the control under the point (null for none).
// Resize borders count only when the window is not maximised.
int ClassifyHitTest(UIPoint point, const UIRect& client, const UIRect& sizeBox, const UIRect& caption,
                    bool maximized, const wchar_t* controlClass);

// The top-left corner that centres a window of `size` on `around` (the owner's rectangle, or
// the work area), kept inside the work area.
UIPoint CenteredPosition(UISize size, const UIRect& around, const UIRect& workArea);

// The rectangle of the rounded region of a window of `size`: one pixel larger each way.
UIRect RoundRegionRect(UISize size);

// What the modal loop does with each message it retrieves: a close request posted to its
// window sets the result (and the owner gets back the focus at once); the quit message ends
// the loop and is posted again for the loops around it.
class UIModalLoopState {
 public:
  enum class Step { kDispatch, kCloseRequested, kQuit };
  Step Observe(const UIMessage& msg, NativeWindow window);
  intptr_t Result() const { return result_; }
  bool EndedByQuit() const { return quit_; }
  uintptr_t QuitCode() const { return quitCode_; }

 private:
  intptr_t result_ = 0;
  bool quit_ = false;
  uintptr_t quitCode_ = 0;
};

}  // namespace SkinUI
