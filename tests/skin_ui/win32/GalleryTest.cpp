// The gallery: one window with every leaf control in its states, photographed from the test
// display with ImageMagick's `import` into build/<preset>/gallery/ for people to look at. The
// pointer rests on the "hot" button in gallery.png and holds the "pushed" one down in
// gallery-pushed.png.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "skin_ui/WindowManagerUI.h"
#include "tests/skin_ui/win32/RealInput.h"
#include "tests/skin_ui/win32/SkinTestWindow.h"
#include "tests/support/TestFiles.h"

namespace {

using namespace SkinUI;
using realinput::PumpUntil;
using skintest::SkinTestWindow;

std::wstring Button(const wchar_t* name, const wchar_t* extra = L"") {
  return std::wstring(L"<Button name=\"") + name + L"\" text=\"" + name + L"\" width=\"110\" " + extra +
         L" normalimage=\"color='#FFE1E1E1'\" hotimage=\"color='#FFBEE6FD'\" pushedimage=\"color='#FF8CC8F0'\""
         L" focusedimage=\"color='#FFE8E4C8'\" disabledimage=\"color='#FFF0F0F0'\" disabledtextcolor=\"#FFA0A0A0\""
         L" bordercolor=\"#FFADADAD\" focusbordercolor=\"#FF0078D7\" bordersize=\"1\"/>";
}

std::wstring Toggle(const wchar_t* element, const wchar_t* name, const wchar_t* extra) {
  return std::wstring(L"<") + element + L" name=\"" + name + L"\" text=\"" + name + L"\" width=\"120\" " + extra +
         L" align=\"left\" textpadding=\"22,0,0,0\" normalimage=\"color='#FFB0B0B0' dest='2,8,16,22'\""
         L" selectedimage=\"color='#FF2E7D32' dest='2,8,16,22'\" disabledtextcolor=\"#FFA0A0A0\"/>";
}

std::wstring Bar(int value, const wchar_t* extra = L"") {
  return L"<Progress value=\"" + std::to_wstring(value) + L"\" width=\"140\" height=\"12\" padding=\"0,9,10,0\"" +
         L" bkcolor=\"#FFE6E6E6\" foreimage=\"color='#FF06B025'\" " + extra + L"/>";
}

std::wstring GallerySkin() {
  const std::wstring row = L"<HorizontalLayout height=\"30\" inset=\"10,0,10,0\" childpadding=\"8\">";
  const std::wstring heading = L"<Label height=\"22\" font=\"1\" textpadding=\"10,0,0,0\" text=\"";
  return L"<Window size=\"650,360\" linkfontcolor=\"#FF0066CC\" linkhoverfontcolor=\"#FFCC3300\""
         L" defaultfontcolor=\"#FF202020\">"
         L"<Font id=\"0\" name=\"Noto Sans\" size=\"14\" default=\"true\"/>"
         L"<Font id=\"1\" name=\"Noto Sans\" size=\"14\" bold=\"true\"/>"
         L"<VerticalLayout bkcolor=\"#FFFAFAFA\">" +
         heading + L"Button\"/>" + row + Button(L"normal", L"keyboard=\"false\"") +
         Button(L"hot", L"keyboard=\"false\"") + Button(L"pushed", L"keyboard=\"false\"") + Button(L"focused") +
         Button(L"disabled", L"enabled=\"false\"") + L"</HorizontalLayout>" +  //
         heading + L"Option and CheckBox\"/>" + row +
         Toggle(L"Option", L"selected", L"group=\"g\" selected=\"true\"") + Toggle(L"Option", L"option", L"group=\"g\"") +
         Toggle(L"CheckBox", L"checked", L"selected=\"true\"") + Toggle(L"CheckBox", L"unchecked", L"") +
         Toggle(L"CheckBox", L"off, checked", L"selected=\"true\" enabled=\"false\"") + L"</HorizontalLayout>" +
         heading + L"Progress: 0, 30, 100 %, round track\"/>" + row + Bar(0) + Bar(30) + Bar(100) +
         Bar(60, L"borderround=\"12,12\"") + L"</HorizontalLayout>" +  //
         heading + L"Label and Text\"/>" + row +
         L"<Label text=\"left\" bordercolor=\"#FFD0D0D0\" bordersize=\"1\" textpadding=\"4,0,4,0\"/>"
         L"<Label text=\"center\" align=\"center\" bordercolor=\"#FFD0D0D0\" bordersize=\"1\"/>"
         L"<Label text=\"right\" align=\"right\" bordercolor=\"#FFD0D0D0\" bordersize=\"1\" textpadding=\"4,0,4,0\"/>"
         L"<Label text=\"an ellipsis ends this text that is far too long\" endellipsis=\"true\" width=\"150\"/>"
         L"</HorizontalLayout>" + row +
         L"<Label showhtml=\"true\" text=\"{b}bold{/b} {i}italic{/i} {u}underlined{/u} {c #FFC00000}red{/c}\"/>"
         L"<Label text=\"disabled label\" enabled=\"false\" disabledtextcolor=\"#FFA0A0A0\" width=\"120\"/>"
         L"<Label text=\"\x0645\x0631\x062D\x0628\x0627 \x0628\x0627\x0644\x0639\x0627\x0644\x0645\" align=\"right\""
         L" width=\"150\"/>"
         L"</HorizontalLayout>"
         L"<Text height=\"44\" showhtml=\"true\" textpadding=\"10,4,10,0\" text=\"A Text wraps its words and has"
         L" {a first}links{/a} to click; {a second}a second link{/a} sits on the same line or the next one.\"/>"
         L"</VerticalLayout></Window>";
}

// Photographs the window from the display into gallery/<name>.png.
bool Photograph(HWND window, const std::wstring& name) {
  const std::wstring folder = testsupport::BuildBinFolder() + L"..\\gallery\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  return realinput::PhotographWindow(window, folder + name + L".png");
}

TEST(GalleryTest, EveryLeafControlInItsStates) {
  SkinTestWindow window(GallerySkin());
  ASSERT_NE(window.CreateAt(nullptr, 100, 100), nullptr);
  window.Show();
  ASSERT_TRUE(realinput::WaitForeground(window.Hwnd(), 5000));
  ASSERT_TRUE(PumpUntil([&] { return window.Seen(L"setfocus").size() == 1; }, 5000));
  CWindowManagerUI& manager = window.GetManager();
  ASSERT_EQ(manager.GetFocus(), manager.FindControl(L"focused"));

  const auto pointAt = [&](const wchar_t* name) {
    const UIRect r = manager.FindControl(name)->GetPos();
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(window.Hwnd(), &p);
    return std::to_wstring(p.x) + L" " + std::to_wstring(p.y);
  };
  ASSERT_TRUE(realinput::Xdotool(L"mousemove " + pointAt(L"hot")));
  PumpUntil([] { return false; }, 500);
  EXPECT_TRUE(Photograph(window.Hwnd(), L"gallery"));

  ASSERT_TRUE(realinput::Xdotool(L"mousemove " + pointAt(L"pushed") + L" mousedown 1"));
  PumpUntil([] { return false; }, 500);
  EXPECT_TRUE(Photograph(window.Hwnd(), L"gallery-pushed"));
  ASSERT_TRUE(realinput::Xdotool(L"mouseup 1"));
  EXPECT_TRUE(PumpUntil([&] { return window.Seen(L"click") == std::vector<std::wstring>{L"click:pushed"}; }, 5000));
  DestroyWindow(window.Hwnd());
  CWindowManagerUI::ResetSharedResources();
}

}  // namespace
