#include "skin_ui/ButtonUI.h"

#include <algorithm>
#include <cwchar>

#include "skin_ui/AttributeTable.h"
#include "skin_ui/ImageDescription.h"
#include "skin_ui/NativeWindowOps.h"
#include "skin_ui/SkinRenderer.h"
#include "skin_ui/UIMessages.h"
#include "skin_ui/WindowManagerUI.h"
#include "log/Logger.h"

namespace SkinUI {

namespace {

template <ButtonPicture Picture>
void SetPictureAttribute(CButtonUI& button, const wchar_t* value) {
  button.SetPicture(Picture, value);
}

using attr::Set;

constexpr UIAttribute<CButtonUI> kButtonAttributes[] = {
    {L"normalimage", SetPictureAttribute<ButtonPicture::kNormal>},
    {L"hotimage", SetPictureAttribute<ButtonPicture::kHot>},
    {L"pushedimage", SetPictureAttribute<ButtonPicture::kPushed>},
    {L"focusedimage", SetPictureAttribute<ButtonPicture::kFocused>},
    {L"disabledimage", SetPictureAttribute<ButtonPicture::kDisabled>},
    {L"foreimage", SetPictureAttribute<ButtonPicture::kFore>},
    {L"hotforeimage", SetPictureAttribute<ButtonPicture::kHotFore>},
    {L"pushedforeimage", SetPictureAttribute<ButtonPicture::kPushedFore>},
    {L"fivestatusimage", Set<&CButtonUI::SetFiveStatusImage, attr::Text>},
    {L"fadedelta", Set<&CButtonUI::SetFadeStep, attr::Number>},
    {L"hotbkcolor", Set<&CButtonUI::SetHotBkColor, attr::Color>},
    {L"hottextcolor", Set<&CButtonUI::SetHotTextColor, attr::Color>},
    {L"pushedtextcolor", Set<&CButtonUI::SetPushedTextColor, attr::Color>},
    {L"focusedtextcolor", Set<&CButtonUI::SetFocusedTextColor, attr::Color>},
};

// `description` with `source` as the part of the picture shown.
CUIString WithSource(const wchar_t* description, const UIRect& source) {
  UIImageDescription parsed;
  ParseImageDescription(description, parsed);
  CUIString result;
  if (parsed.name == description) {
    result = L"file='";
    result += description;
    result += L"'";
  } else {
    result = description;
  }
  wchar_t key[80];
  swprintf(key, sizeof key / sizeof key[0], L" source='%d,%d,%d,%d'", source.left, source.top, source.right,
           source.bottom);
  result += key;
  return result;
}

}  // namespace

CButtonUI::CButtonUI() { textStyle_ = kTextCenter | kTextVCenter | kTextSingleLine; }

void* CButtonUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"Button") == 0) return this;
  return CLabelUI::GetInterface(name);
}

uint32_t CButtonUI::GetControlTraits() const {
  return (IsKeyboardEnabled() ? uint32_t{kControlTraitTabStop} : 0u) | (IsEnabled() ? uint32_t{kControlTraitSetCursor} : 0u);
}

bool CButtonUI::Activate() {
  if (!CControlUI::Activate()) return false;
  if (manager_) manager_->SendNotification(this, kNotifyClick);
  return true;
}

void CButtonUI::SetEnabled(bool enabled) {
  CControlUI::SetEnabled(enabled);
  if (!enabled) state_ = 0;
}

UIDrawInfo& CButtonUI::PictureInfo(ButtonPicture picture) {
  if (picture == ButtonPicture::kFore) return foreImage_;
  return pictures_[static_cast<int>(picture)];
}

void CButtonUI::SetPicture(ButtonPicture picture, const wchar_t* description) {
  if (picture == ButtonPicture::kCount) return;
  UIDrawInfo& info = PictureInfo(picture);
  if (info.GetDescription() == (description ? description : L"")) return;
  info.SetDescription(description);
  Invalidate();
}

void CButtonUI::SetFiveStatusImage(const wchar_t* description) {
  UIDrawInfo whole;
  whole.SetDescription(description);
  const UIImagePtr image = manager_ ? whole.Resolve(*manager_) : nullptr;
  if (!image) {
    LOG_PRINTW(kLog_Warn, L"fivestatusimage \"%s\" not used: the picture cannot be had", description);
    return;
  }
  const int32_t strip = image->width / 5;
  if (strip <= 0) {
    LOG_PRINTW(kLog_Warn, L"fivestatusimage \"%s\" not used: %d pixels wide, less than five strips", description,
               image->width);
    return;
  }
  constexpr ButtonPicture kStripOrder[] = {ButtonPicture::kNormal, ButtonPicture::kPushed, ButtonPicture::kHot,
                                           ButtonPicture::kFocused, ButtonPicture::kDisabled};
  for (int i = 0; i < 5; ++i)
    SetPicture(kStripOrder[i], WithSource(description, UIRect{i * strip, 0, (i + 1) * strip, image->height}));
  if (float_ && fixedWidth_ == 0 && fixedHeight_ == 0) {
    SetFixedWidth(strip);
    SetFixedHeight(image->height);
  }
}

void CButtonUI::SetFadeStep(int32_t step) { fadeStep_ = static_cast<uint8_t>(std::clamp(step, 0, 255)); }

void CButtonUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!ApplyAttribute(kButtonAttributes, *this, name, value)) CLabelUI::SetAttribute(name, value);
}

UISize CButtonUI::MeasureSize(UISize) { return MeasureFontLine(); }

void CButtonUI::StartFade() {
  if (fadeStep_ != 0 && manager_) manager_->SetTimer(this, kFadeTimer, kFadeIntervalMs);
}

void CButtonUI::FadeTick() {
  const int target = (state_ & kButtonHot) ? 0 : 255;
  const int step = target < fadeAlpha_ ? -fadeStep_ : fadeStep_;
  const int next = target < fadeAlpha_ ? std::max(target, fadeAlpha_ + step) : std::min(target, fadeAlpha_ + step);
  fadeAlpha_ = static_cast<uint8_t>(next);
  if (next == target && manager_) manager_->KillTimer(this, kFadeTimer);
  Invalidate();
}

void CButtonUI::HandleEvent(UIEvent& event) {
  if (PassMouseToParent(event)) return;
  const bool inside = item_.Contains(event.mouse);
  switch (event.type) {
    case kEventSetFocus:
    case kEventKillFocus:
      focused_ = event.type == kEventSetFocus;
      Invalidate();
      return;
    case kEventKeyDown:
      if (IsKeyboardEnabled() && IsEnabled() && (event.key == kKeySpace || event.key == kKeyReturn)) {
        Activate();
        return;
      }
      break;
    case kEventButtonDown:
    case kEventDblClick:
      if (!inside || !IsEnabled()) break;
      state_ |= kButtonPushed | kButtonCaptured;
      Invalidate();
      return;
    case kEventMouseMove:
      if (!(state_ & kButtonCaptured)) break;
      state_ = inside ? state_ | kButtonPushed : state_ & ~kButtonPushed;
      Invalidate();
      return;
    case kEventButtonUp:
      if (!(state_ & kButtonCaptured)) break;
      // Cleared first: the click may show a dialog or remove this button.
      state_ &= ~(kButtonPushed | kButtonCaptured);
      Invalidate();
      if (inside && IsEnabled()) Activate();
      return;
    case kEventContextMenu:
      if (!IsMenuNotifyEnabled() || !IsEnabled()) break;
      SendNotify(kNotifyMenu, event.wParam, event.lParam);
      return;
    case kEventMouseEnter:
      if (!inside || !IsEnabled()) break;
      state_ |= kButtonHot;
      Invalidate();
      StartFade();
      return;
    case kEventMouseLeave:
      if (inside) {
        // A control above this one took the hover; the pointer is still over the button.
        if (manager_) manager_->AddMouseLeaveNeeded(this);
        return;
      }
      state_ &= ~kButtonHot;
      Invalidate();
      if (manager_) manager_->RemoveMouseLeaveNeeded(this);
      StartFade();
      return;
    case kEventSetCursor:
      native::SetHandCursor();
      return;
    case kEventTimer:
      if (event.wParam == kFadeTimer) {
        FadeTick();
        return;
      }
      break;
    default:
      break;
  }
  CLabelUI::HandleEvent(event);
}

void CButtonUI::RefreshStateBits() {
  state_ = IsFocused() ? state_ | kButtonFocused : state_ & ~kButtonFocused;
  state_ = IsEnabled() ? state_ & ~kButtonDisabled : state_ | kButtonDisabled;
}

ButtonLookInput CButtonUI::LookInput() {
  ButtonLookInput input;
  input.state = state_;
  for (int i = 0; i < static_cast<int>(ButtonPicture::kCount); ++i) {
    const auto picture = static_cast<ButtonPicture>(i);
    if (manager_ && PictureInfo(picture).Resolve(*manager_)) input.available |= PictureBit(picture);
  }
  input.fading = fadeStep_ != 0;
  input.fadeAlpha = fadeAlpha_;
  input.hotColor = hotBkColor_ != 0;
  return input;
}

void CButtonUI::PaintLook(NativeDC dc, const ButtonLook& look, UIColor selectedColor) {
  if (look.fillSelectedColor) CSkinRenderer::DrawColor(dc, paintRect_, selectedColor);
  for (int i = 0; i < look.count; ++i) {
    const ButtonPictureDraw& draw = look.draws[i];
    UIDrawAdjust adjust;
    adjust.alpha = draw.alpha;
    if (manager_) CSkinRenderer::DrawImage(dc, *manager_, item_, paintRect_, PictureInfo(draw.picture), adjust);
  }
  if (look.fillHotColor) CSkinRenderer::DrawColor(dc, paintRect_, hotBkColor_);
}

void CButtonUI::PaintStateImage(NativeDC dc) {
  RefreshStateBits();
  PaintLook(dc, ChooseButtonLook(LookInput()), 0);
}

void CButtonUI::PaintText(NativeDC dc) {
  RefreshStateBits();
  ResolveTextColors();
  if (text_.IsEmpty() || !manager_) return;
  UIColor color = IsEnabled() ? textColor_ : disabledTextColor_;
  if ((state_ & kButtonPushed) && pushedTextColor_ != 0)
    color = pushedTextColor_;
  else if ((state_ & kButtonHot) && hotTextColor_ != 0)
    color = hotTextColor_;
  else if ((state_ & kButtonFocused) && focusedTextColor_ != 0)
    color = focusedTextColor_;
  DrawText(dc, TextRect(), color);
}

}  // namespace SkinUI
