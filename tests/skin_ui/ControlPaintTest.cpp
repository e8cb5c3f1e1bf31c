// The painting sequence of a control, without a device: which layers run, in which order, and
// what ends or skips a paint (the stop control, a dirty area elsewhere, a declining paint
// handler), then the cover and the post-paint handlers.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin_ui/ControlUI.h"

namespace {

using namespace SkinUI;

class LayerRecorder : public CControlUI {
 public:
  LayerRecorder(std::vector<std::string>& log, std::string name) : log_(log), name_(std::move(name)) {}
  void PaintBackColor(NativeDC) override { log_.push_back(name_ + ".backcolor"); }
  void PaintBackImage(NativeDC) override { log_.push_back(name_ + ".backimage"); }
  void PaintStateImage(NativeDC) override { log_.push_back(name_ + ".stateimage"); }
  void PaintText(NativeDC) override { log_.push_back(name_ + ".text"); }
  void PaintBorder(NativeDC) override { log_.push_back(name_ + ".border"); }

 private:
  std::vector<std::string>& log_;
  std::string name_;
};

bool Decline(void*) { return false; }

int postPaints = 0;
bool CountPostPaint(void* control) {
  postPaints += control != nullptr;
  return true;
}

TEST(ControlPaintTest, LayersRunInOrderThenTheCoverUnlessSomethingEndsOrSkipsThePaint) {
  std::vector<std::string> log;
  LayerRecorder control(log, "control");
  control.SetPos(UIRect{10, 10, 50, 30}, false);
  auto* cover = new LayerRecorder(log, "cover");
  control.SetCover(cover);
  cover->SetPos(UIRect{10, 10, 50, 30}, false);

  EXPECT_TRUE(control.Paint(nullptr, UIRect{0, 0, 100, 100}, nullptr));
  EXPECT_EQ(log, (std::vector<std::string>{"control.backcolor", "control.backimage", "control.stateimage",
                                           "control.text", "control.border", "cover.backcolor", "cover.backimage",
                                           "cover.stateimage", "cover.text", "cover.border"}));

  log.clear();
  EXPECT_TRUE(control.Paint(nullptr, UIRect{50, 0, 100, 100}, nullptr));  // touches only the right edge
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(control.Paint(nullptr, UIRect{0, 0, 100, 100}, &control));  // the stop control
  EXPECT_TRUE(log.empty());
  // A stop control inside the cover does not end this paint: the cover paints without one.
  EXPECT_TRUE(control.Paint(nullptr, UIRect{0, 0, 100, 100}, cover));
  EXPECT_EQ(log.size(), 10u);

  log.clear();
  cover->SetVisible(false);
  EXPECT_TRUE(control.Paint(nullptr, UIRect{20, 20, 30, 25}, nullptr));
  EXPECT_EQ(log.size(), 5u);  // a hidden cover is not painted

  log.clear();
  control.OnPaint += MakeDelegate(&Decline);
  EXPECT_TRUE(control.Paint(nullptr, UIRect{0, 0, 100, 100}, nullptr));
  EXPECT_TRUE(log.empty());

  control.OnPostPaint += MakeDelegate(&CountPostPaint);
  control.PaintAfterTree(nullptr, UIRect{});
  EXPECT_EQ(postPaints, 1);
}

}  // namespace
