#pragma once
// Which of its pictures a button, option or check box draws for its state, in which order and
// at which constant alpha, given which pictures can be had. A picture that cannot be had gives
// way to the next choice, so a skin that only names a normal picture still shows one in every
// state. Plain choice without drawing, so that it is tested on its own.

#include <cstdint>

namespace SkinUI {

// The state bits of a button.
enum : uint32_t {
  kButtonFocused = 0x01,
  kButtonSelected = 0x02,
  kButtonDisabled = 0x04,
  kButtonHot = 0x08,
  kButtonPushed = 0x10,
  kButtonCaptured = 0x40,
};

enum class ButtonPicture : uint8_t {
  kNormal,
  kHot,
  kHotFore,
  kPushed,
  kPushedFore,
  kFocused,
  kDisabled,
  kFore,
  kSelected,
  kSelectedHot,
  kCount,
};

constexpr uint32_t PictureBit(ButtonPicture picture) { return 1u << static_cast<uint32_t>(picture); }

struct ButtonLookInput {
  uint32_t state = 0;
  uint32_t available = 0;  // PictureBit of every picture that can be had
  bool fading = false;     // a fade step is set
  uint8_t fadeAlpha = 255;
  bool hotColor = false;       // a hot background colour is set
  bool selectedColor = false;  // a selected background colour is set
};

struct ButtonPictureDraw {
  ButtonPicture picture;
  uint8_t alpha;
};

struct ButtonLook {
  static constexpr int kMaxDraws = 4;
  ButtonPictureDraw draws[kMaxDraws] = {};
  int count = 0;
  bool fillSelectedColor = false;  // before the pictures (only the fore one): the selected colour
  bool fillHotColor = false;       // after the pictures: the hot colour
};

ButtonLook ChooseButtonLook(const ButtonLookInput& input);
// A selected option shows its selected pictures or colour; otherwise it looks like a button
// that is never pushed.
ButtonLook ChooseOptionLook(ButtonLookInput input);

}  // namespace SkinUI
