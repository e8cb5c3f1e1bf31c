#pragma once
// One native window and its object: class registration (an own class or a superclass of a
// system class), creation, the window procedure that binds the two, showing, the modal loop
// (also the program's main loop), closing with a result code and centring.

#include <cstdint>

#include "skin_ui/UIDefs.h"

namespace SkinUI {

class CWindowWnd {
 public:
  CWindowWnd() = default;
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;
  virtual ~CWindowWnd() = default;

  NativeWindow GetNativeWindow() const { return window_; }

  // Registers the class and creates the window with this object bound to it; null on failure.
  NativeWindow Create(NativeWindow parent, const wchar_t* name, uint32_t style, uint32_t exStyle, int x, int y,
                      int width, int height, void* menu = nullptr);
  NativeWindow Create(NativeWindow parent, const wchar_t* name, uint32_t style, uint32_t exStyle, const UIRect& rect,
                      void* menu = nullptr);
  // Binds this object to an existing window, in front of its own procedure.
  NativeWindow Subclass(NativeWindow window);
  void Unsubclass();
  // Shown normally, shown without activation, or hidden.
  void Show(bool show = true, bool takeFocus = true);
  // Shows the window, disables its owner and runs the message loop until the window is gone.
  // The result is the code of a close request posted to the window (0 otherwise). A quit
  // message ends the loop and is posted again for the loops around it.
  intptr_t ShowModal();
  // Posts a close request with `code` as the modal result.
  void Close(intptr_t code = 1);
  void CenterWindow();
  void ResizeClient(int width, int height);
  void SetIcon(uint32_t resourceId);
  intptr_t SendWindowMessage(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
  bool PostWindowMessage(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);

 protected:
  virtual const wchar_t* GetNativeClassName() const = 0;
  // Null: an own class; a system class name: a superclass of it.
  virtual const wchar_t* GetBaseNativeClassName() const { return nullptr; }
  virtual uint32_t GetNativeClassStyle() const { return 0; }
  // The window's messages; the default passes them to the previous procedure.
  virtual intptr_t HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
  // After the window was destroyed and unbound.
  virtual void OnWindowGone() {}

 private:
  friend struct WindowProcedures;
  bool RegisterNativeClass();

  NativeWindow window_ = nullptr;
  void* previousProc_ = nullptr;
  bool subclassed_ = false;
};

}  // namespace SkinUI
