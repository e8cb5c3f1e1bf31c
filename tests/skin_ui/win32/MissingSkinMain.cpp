// A program whose window has no skin: the window host shows its message box and ends the
// process with 1. Started by the window-host tests.

#include "tests/skin_ui/win32/SkinTestWindow.h"

int main() {
  skintest::SkinTestWindow window(L"no-such-skin.xml");
  window.CreateAt(nullptr, 100, 100);
  return 0;  // not reached: creation without a skin ends the process
}
