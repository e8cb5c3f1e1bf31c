#include "skin_ui/ButtonLook.h"

namespace SkinUI {

namespace {

class LookBuilder {
 public:
  explicit LookBuilder(const ButtonLookInput& input) : input_(input) {}

  bool Has(ButtonPicture picture) const { return (input_.available & PictureBit(picture)) != 0; }

  // True when the picture can be had; at alpha 0 it counts as drawn without being listed.
  bool Draw(ButtonPicture picture, uint8_t alpha = 255) {
    if (!Has(picture)) return false;
    if (alpha != 0 && look_.count < ButtonLook::kMaxDraws) look_.draws[look_.count++] = ButtonPictureDraw{picture, alpha};
    return true;
  }

  ButtonLook& Look() { return look_; }

 private:
  const ButtonLookInput& input_;
  ButtonLook look_;
};

}  // namespace

ButtonLook ChooseButtonLook(const ButtonLookInput& input) {
  LookBuilder b(input);
  const uint32_t state = input.state;
  const uint8_t fade = input.fadeAlpha;
  enum class Next { kNormal, kFore, kDone } next = Next::kNormal;
  if (state & kButtonDisabled) {
    next = b.Draw(ButtonPicture::kDisabled) ? Next::kFore : Next::kNormal;
  } else if (state & kButtonPushed) {
    if (!b.Draw(ButtonPicture::kPushed)) b.Draw(ButtonPicture::kNormal);
    next = b.Draw(ButtonPicture::kPushedFore) ? Next::kDone : Next::kFore;
  } else if (state & kButtonHot) {
    if (input.fading) {
      b.Draw(ButtonPicture::kNormal, fade);
      b.Draw(ButtonPicture::kHot, static_cast<uint8_t>(255 - fade));
    } else if (!b.Draw(ButtonPicture::kHot)) {
      b.Draw(ButtonPicture::kNormal);
    }
    if (b.Draw(ButtonPicture::kHotFore)) {
      next = Next::kDone;
    } else if (input.hotColor) {
      b.Look().fillHotColor = true;
      next = Next::kDone;
    } else {
      next = Next::kFore;
    }
  } else if (state & kButtonFocused) {
    next = b.Draw(ButtonPicture::kFocused) ? Next::kFore : Next::kNormal;
  }
  if (next == Next::kNormal) {
    // A fade back from hot still under way.
    if (input.fading && fade < 255) {
      b.Draw(ButtonPicture::kHot, static_cast<uint8_t>(255 - fade));
      b.Draw(ButtonPicture::kNormal, fade);
    } else {
      b.Draw(ButtonPicture::kNormal);
    }
    next = Next::kFore;
  }
  if (next == Next::kFore) b.Draw(ButtonPicture::kFore);
  return b.Look();
}

ButtonLook ChooseOptionLook(ButtonLookInput input) {
  if (input.state & kButtonSelected) {
    LookBuilder b(input);
    const bool drawn = ((input.state & kButtonHot) && b.Draw(ButtonPicture::kSelectedHot)) ||
                       b.Draw(ButtonPicture::kSelected);
    if (drawn || input.selectedColor) {
      b.Look().fillSelectedColor = !drawn;
      b.Draw(ButtonPicture::kFore);
      return b.Look();
    }
  }
  input.state &= ~kButtonPushed;
  return ChooseButtonLook(input);
}

}  // namespace SkinUI
