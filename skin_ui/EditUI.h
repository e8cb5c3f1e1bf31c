#pragma once
// A single-line text box (markup "Edit"): a label that paints its text (as asterisks for a
// password), border and state picture itself and, while it has the focus, opens a native edit field (EditField.h) exactly over its text
// area for the typing. The field reports every change back ("textchanged"), Enter as "return",
// and closes when it loses the keyboard focus.

#include <cstdint>

#include "skin_ui/EditField.h"
#include "skin_ui/EditRules.h"
#include "skin_ui/LabelUI.h"

namespace SkinUI {

class CEditUI : public CLabelUI {
 public:
  CEditUI();
  ~CEditUI() override;

  const wchar_t* GetClass() const override { return L"Edit"; }
  void* GetInterface(const wchar_t* name) override;
  uint32_t GetControlTraits() const override;
  NativeWindow GetNativeWindow() const override { return field_ ? field_->GetNativeWindow() : nullptr; }
  void SetText(const wchar_t* text) override;
  void SetPos(UIRect rect, bool invalidate = true) override;
  void Move(UISize offset, bool invalidate = true) override;
  // An edit follows only its own visibility flag; a hidden ancestor only takes its focus away,
  // which closes an open field. (Hiding the edit itself does that as for any control.)
  void SetParentVisible(bool visible) override;
  void SetEnabled(bool enabled = true) override;
  void HandleEvent(UIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  UISize MeasureSize(UISize available) override;
  void PaintStateImage(NativeDC dc) override;
  void PaintText(NativeDC dc) override;
  // Also moves an open field.
  void SetTextPadding(UIRect padding) override;

  int32_t GetMaxChar() const { return maxChar_; }
  void SetMaxChar(int32_t count);
  bool IsReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  bool IsPasswordMode() const { return password_; }
  void SetPasswordMode(bool password);
  wchar_t GetPasswordChar() const { return passwordChar_; }
  void SetPasswordChar(wchar_t ch);
  bool IsNumberOnly() const { return (editStyle_ & kEditStyleNumber) != 0; }
  void SetNumberOnly(bool numberOnly);
  uint32_t GetEditStyle() const { return editStyle_; }
  bool IsAutoSelAll() const { return autoSelAll_; }
  void SetAutoSelAll(bool selectAll) { autoSelAll_ = selectAll; }
  UIColor GetNativeEditBkColor() const { return nativeBkColor_; }
  void SetNativeEditBkColor(UIColor color) { nativeBkColor_ = color; }
  void SetNormalImage(const wchar_t* description);
  void SetHotImage(const wchar_t* description);
  void SetFocusedImage(const wchar_t* description);
  void SetDisabledImage(const wchar_t* description);

  // Where the native field goes: the text area, narrowed to the font's height and clipped
  // against the visible ancestors; empty when nothing of it can be seen.
  UIRect GetFieldRect();
  // The field's typing, taken over without SetText (the field already shows it).
  void TakeFieldText(const wchar_t* text) { text_ = text; }
  // Called by the field when it closes.
  void FieldClosed() { field_ = nullptr; }

 private:
  enum : uint32_t { kStateFocused = 0x01, kStateDisabled = 0x04, kStateHot = 0x08 };

  void OpenField();

  IEditField* field_ = nullptr;
  int32_t maxChar_ = 255;
  bool readOnly_ = false;
  bool password_ = false;
  wchar_t passwordChar_ = L'*';
  bool autoSelAll_ = false;
  uint32_t editStyle_ = 0;
  UIColor nativeBkColor_ = 0xFFFFFFFF;
  uint32_t state_ = 0;
  UIDrawInfo normalImage_;
  UIDrawInfo hotImage_;
  UIDrawInfo focusedImage_;
  UIDrawInfo disabledImage_;
};

}  // namespace SkinUI
