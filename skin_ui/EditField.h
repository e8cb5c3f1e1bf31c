#pragma once
// The native edit field an edit control places over its text area while it has the focus, so
// that the platform does the typing. Windows superclasses its edit class (win32/EditWnd.cpp);
// the portable build has no native windows and opens none (posix/EditField_posix.cpp).

#include <cstdint>

#include "skin_ui/UIDefs.h"

namespace SkinUI {

class CEditUI;

class IEditField {
 public:
  virtual NativeWindow GetNativeWindow() const = 0;
  virtual void SetText(const wchar_t* text) = 0;
  // Moves the field to the owner's field rectangle (hidden when it is empty).
  virtual void Place(const UIRect& rect) = 0;
  virtual void SetMaxChars(int32_t count) = 0;
  virtual void SetReadOnly(bool readOnly) = 0;
  // Clears the selection and presses the left button at `point`, relative to the field.
  virtual void PressAt(UIPoint point) = 0;
  // Closes the field at once without touching its owner again: for an owner that goes away.
  virtual void Detach() = 0;

 protected:
  ~IEditField() = default;
};

// Opens the field over `owner` with the focus in it; null when it cannot be made. The field
// clears the owner's pointer to it when it closes.
IEditField* OpenEditField(CEditUI& owner);

}  // namespace SkinUI
