// The edit controls' native parts under real input: xdotool types and clicks on the test
// display, so every key passes through the system's queue, the toolkit's message translation
// and the edit window or the rich-text services. The tests read the controls, the field's
// window and the screen's pixels; nothing is sent or posted to the program's windows.
// Screenshots go to build/<preset>/edit-field/. The rich edit's cases also run with Wine told
// not to load msftedit ("no_text_services." tests), where the control keeps its text alone.

#include <windows.h>

#include <gtest/gtest.h>

#include <richedit.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <utility>
#include <string>
#include <vector>

#include "skin_ui/ContainerUI.h"
#include "skin_ui/EditUI.h"
#include "skin_ui/NativeDrawOps.h"
#include "skin_ui/RichEditUI.h"
#include "skin_ui/WindowManagerUI.h"
#include "tests/skin_ui/ImageFixtures.h"
#include "tests/skin_ui/win32/RealInput.h"
#include "tests/skin_ui/win32/SkinTestWindow.h"
#include "tests/support/TestFiles.h"

namespace {

using namespace SkinUI;
using realinput::PumpUntil;
using Texts = std::vector<std::wstring>;

// Eight edits of 30 pixels on a blue ground, in Tab order, framed as the product's skins frame
// theirs.
constexpr wchar_t kEditSkin[] =
    L"<Window size=\"360,290\"><Font id=\"0\" name=\"Tahoma\" size=\"16\" default=\"true\"/>"
    L"<Default name=\"Edit\" value=\"bordersize=&quot;1&quot; bordercolor=&quot;#FF888888&quot; "
    L"focusbordercolor=&quot;#FF2060E0&quot; borderround=&quot;2,2&quot; padding=&quot;4,2,4,2&quot;\"/>"
    L"<VerticalLayout bkcolor=\"#FF0000FF\">"
    L"<Edit name=\"first\" height=\"30\"/>"
    L"<Edit name=\"path\" text=\"abcdef\" height=\"30\" textcolor=\"#FF000000\"/>"
    L"<Edit name=\"sel\" text=\"select me\" autoselall=\"true\" height=\"30\"/>"
    L"<Edit name=\"digits\" numberonly=\"true\" height=\"30\"/>"
    L"<Edit name=\"five\" maxchar=\"5\" height=\"30\"/>"
    L"<Edit name=\"secret\" password=\"true\" text=\"pw\" height=\"30\" textcolor=\"#FF000000\"/>"
    L"<Edit name=\"opaque\" nativebkcolor=\"#FF3060C0\" height=\"30\"/>"
    L"<Edit name=\"glass\" nativebkcolor=\"#80FF0000\" height=\"30\"/>"
    L"</VerticalLayout></Window>";

// Records, with every "textchanged", the sender's text at that moment.
class EditTestWindow : public skintest::SkinTestWindow {
 public:
  explicit EditTestWindow(const wchar_t* skin) : SkinTestWindow(skin) {}
  void Notify(UINotify& msg) override {
    if (msg.type == kNotifyTextChanged && msg.sender) changes.push_back(msg.sender->GetText().GetData());
    SkinTestWindow::Notify(msg);
  }
  Texts changes;
};

struct Rgb {
  int r, g, b;
};

::testing::AssertionResult Near(Rgb got, Rgb expected, int tolerance) {
  if (std::abs(got.r - expected.r) <= tolerance && std::abs(got.g - expected.g) <= tolerance &&
      std::abs(got.b - expected.b) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "pixel (" << got.r << "," << got.g << "," << got.b << ") expected ("
                                       << expected.r << "," << expected.g << "," << expected.b << ")";
}

// A window of edit controls in front, with what a user does to it and what the screen shows.
class EditWindowTest : public ::testing::Test {
 protected:
  explicit EditWindowTest(const wchar_t* skin) : window_(skin) {}
  void Open() {
    ASSERT_NE(window_.CreateAt(nullptr, 300, 300), nullptr);
    window_.Show();
    ASSERT_TRUE(realinput::WaitForeground(window_.Hwnd(), 5000));
    ASSERT_TRUE(PumpUntil([&] { return !window_.Seen(L"windowinit").empty(); }, 5000));
  }
  void TearDown() override {
    DestroyWindow(window_.Hwnd());
    CWindowManagerUI::ResetSharedResources();
  }
  CEditUI* Edit(const wchar_t* name) { return Find<CEditUI>(name, L"Edit"); }
  template <class T>
  T* Find(const wchar_t* name, const wchar_t* kind) {
    CControlUI* control = window_.GetManager().FindControl(name);
    return control ? static_cast<T*>(control->GetInterface(kind)) : nullptr;
  }
  POINT Screen(int x, int y) {
    POINT p{x, y};
    ClientToScreen(window_.Hwnd(), &p);
    return p;
  }
  // xdotool input with the pointer on the window first (keys go to the window under it); the
  // window handles each event as it comes, for a second beyond the pauses the input makes.
  void Input(const std::wstring& commands) {
    const std::wstring all = realinput::PointerOver(window_.Hwnd()) + commands;
    double pauses = 0;
    for (size_t at = all.find(L"sleep "); at != std::wstring::npos; at = all.find(L"sleep ", at + 6))
      pauses += std::wcstod(all.c_str() + at + 6, nullptr);
    ASSERT_TRUE(realinput::XdotoolLater(all));
    PumpUntil([] { return false; }, 1000 + static_cast<int>(pauses * 1000));
  }
  std::wstring ClickOn(const wchar_t* name, int dx) {
    const UIRect pos = window_.GetManager().FindControl(name)->GetPos();
    const POINT p = Screen(pos.left + dx, (pos.top + pos.bottom) / 2);
    return L"mousemove " + std::to_wstring(p.x) + L" " + std::to_wstring(p.y) + L" click 1 sleep 0.3 ";
  }
  // The width of `text` in the skin's font.
  int TextWidth(const wchar_t* text) {
    HDC dc = GetDC(window_.Hwnd());
    HGDIOBJ old = SelectObject(dc, static_cast<HFONT>(window_.GetManager().GetFont(0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
    SelectObject(dc, old);
    ReleaseDC(window_.Hwnd(), dc);
    return size.cx;
  }
  // What `draw` paints into a 32-bit bitmap of the window's client size, rows top to bottom.
  std::vector<uint32_t> Capture(const std::function<void(HDC)>& draw) {
    RECT r{};
    GetClientRect(window_.Hwnd(), &r);
    width_ = r.right;
    height_ = r.bottom;
    uint32_t* bits = nullptr;
    HBITMAP bitmap = static_cast<HBITMAP>(native::CreatePixelBitmap(width_, height_, &bits));
    if (!bitmap) return {};
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    draw(memory);
    GdiFlush();
    std::vector<uint32_t> pixels(bits, bits + static_cast<size_t>(width_) * height_);
    SelectObject(memory, old);
    DeleteDC(memory);
    native::DeletePixelBitmap(bitmap);
    return pixels;
  }
  // The window as the screen shows it (the field included).
  std::vector<uint32_t> Grab() {
    const POINT origin = Screen(0, 0);
    return Capture([&](HDC memory) {
      HDC screen = GetDC(nullptr);
      BitBlt(memory, 0, 0, width_, height_, screen, origin.x, origin.y, SRCCOPY);
      ReleaseDC(nullptr, screen);
    });
  }
  Rgb At(const std::vector<uint32_t>& pixels, int x, int y) const {
    const uint32_t p = pixels[static_cast<size_t>(y) * width_ + x];
    return Rgb{static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)};
  }
  // The leftmost and rightmost columns of dark ink inside the control's frame; -1 for none.
  std::pair<int, int> InkColumns(const std::vector<uint32_t>& pixels, const wchar_t* name) {
    const UIRect pos = window_.GetManager().FindControl(name)->GetPos();
    std::pair<int, int> ink{-1, -1};
    for (int x = pos.left + 2; x < pos.right - 2; ++x)
      for (int y = pos.top + 3; y < pos.bottom - 3; ++y) {
        const Rgb c = At(pixels, x, y);
        if (c.r >= 100 || c.g >= 100 || c.b >= 100) continue;
        if (ink.first < 0) ink.first = x;
        ink.second = x;
        break;
      }
    return ink;
  }
  int RightmostInk(const std::vector<uint32_t>& pixels, const wchar_t* name) { return InkColumns(pixels, name).second; }
  void Save(const std::vector<uint32_t>& pixels, const std::wstring& name) {
    std::vector<uint8_t> rgba;
    for (int i = 0; i < width_ * height_; ++i) {
      const uint32_t p = pixels[i];
      rgba.insert(rgba.end(), {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p), 255});
    }
    const std::wstring folder = testsupport::BuildBinFolder() + L"..\\edit-field\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    testsupport::WriteFileBytes(folder + name + L".png", skintest::EncodePng(width_, height_, rgba));
  }

  EditTestWindow window_;
  int width_ = 0;
  int height_ = 0;
};

class EditFieldTest : public EditWindowTest {
 protected:
  EditFieldTest() : EditWindowTest(kEditSkin) {}
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(Open());
    // The first layout focuses the first edit, which opens its field.
    ASSERT_TRUE(PumpUntil([&] { return Edit(L"first")->GetNativeWindow() != nullptr; }, 5000));
  }
};

TEST_F(EditFieldTest, TabOpensTheFieldOverTheTextAreaWithTheCaretAtTheEnd) {
  realinput::Watchdog watchdog("the edit test", 60);
  Input(L"key Tab sleep 0.3 type XY");
  CEditUI* path = Edit(L"path");
  HWND field = static_cast<HWND>(path->GetNativeWindow());
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(Edit(L"first")->GetNativeWindow(), nullptr);  // the first field closed with its focus
  EXPECT_EQ(GetFocus(), field);
  RECT r{};
  GetWindowRect(field, &r);
  MapWindowPoints(nullptr, window_.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
  // The text area (the item minus 4,3,4,3) narrowed to the font's height around its middle.
  const UIRect expected = path->GetFieldRect();
  EXPECT_EQ((UIRect{r.left, r.top, r.right, r.bottom}), expected);
  EXPECT_EQ(expected.left, path->GetPos().left + 4);
  EXPECT_EQ(expected.right, path->GetPos().right - 4);
  EXPECT_LT(expected.Height(), 24);
  EXPECT_TRUE(IsWindowVisible(field));
  // One "textchanged" per letter, and the control's text follows each at once.
  EXPECT_EQ(window_.changes, (Texts{L"abcdefX", L"abcdefXY"}));
  const std::vector<uint32_t> open = Grab();
  Save(open, L"open-field");
  // The focused edit's frame takes the focus colour; the one that lost the focus is grey again.
  const int middle = (path->GetPos().top + path->GetPos().bottom) / 2;
  EXPECT_TRUE(Near(At(open, path->GetPos().left, middle), Rgb{0x20, 0x60, 0xE0}, 0));
  const UIRect firstPos = Edit(L"first")->GetPos();
  EXPECT_TRUE(Near(At(open, firstPos.left, (firstPos.top + firstPos.bottom) / 2), Rgb{0x88, 0x88, 0x88}, 0));

  Input(L"key Return");
  EXPECT_EQ(window_.Seen(L"return"), (std::vector<std::wstring>{L"return:path"}));
  EXPECT_EQ(path->GetText(), CUIString(L"abcdefXY"));
  EXPECT_EQ(window_.changes.size(), 2u);  // Enter inserted nothing

  // Tab closes the field; the skinned text shows the edited value.
  Input(L"key Tab");
  EXPECT_EQ(path->GetNativeWindow(), nullptr);
  EXPECT_FALSE(IsWindow(field));
  const std::vector<uint32_t> closed = Grab();
  Save(closed, L"closed-field");
  const int textEnd = path->GetPos().left + 4 + TextWidth(L"abcdefXY");
  EXPECT_NEAR(RightmostInk(closed, L"path"), textEnd, 2);
}

TEST_F(EditFieldTest, AClickPutsTheCaretWhereTheUserClicked) {
  realinput::Watchdog watchdog("the edit test", 60);
  // Between "abc" and "def": the caret lands there, not at the end.
  Input(ClickOn(L"path", 4 + TextWidth(L"abc")) + L"type X");
  EXPECT_EQ(Edit(L"path")->GetText(), CUIString(L"abcXdef"));
  // A click past the text puts it at the end.
  Input(ClickOn(L"path", 300) + L"type Y");
  EXPECT_EQ(Edit(L"path")->GetText(), CUIString(L"abcXdefY"));
  // A click elsewhere closes the field.
  Input(ClickOn(L"five", 100));
  EXPECT_EQ(Edit(L"path")->GetNativeWindow(), nullptr);
  EXPECT_NE(Edit(L"five")->GetNativeWindow(), nullptr);
}

TEST_F(EditFieldTest, SelectAllDigitsOnlyAndTheLimit) {
  realinput::Watchdog watchdog("the edit test", 60);
  Input(L"key Tab Tab sleep 0.3 type Z");
  EXPECT_EQ(Edit(L"sel")->GetText(), CUIString(L"Z"));  // the whole text was selected
  Input(L"key Tab sleep 0.3 type 1a2");
  EXPECT_EQ(Edit(L"digits")->GetText(), CUIString(L"12"));
  EXPECT_EQ(GetWindowLongPtrW(static_cast<HWND>(Edit(L"digits")->GetNativeWindow()), GWL_STYLE) & ES_NUMBER,
            ES_NUMBER);
  Input(L"key Tab sleep 0.3 type 123456");
  EXPECT_EQ(Edit(L"five")->GetText(), CUIString(L"12345"));
}

TEST_F(EditFieldTest, PasswordShowsAsterisks) {
  realinput::Watchdog watchdog("the edit test", 60);
  Input(L"");
  const std::vector<uint32_t> pixels = Grab();
  // Two asterisks, narrower than "pw" in this face.
  ASSERT_NE(TextWidth(L"**"), TextWidth(L"pw"));
  EXPECT_NEAR(RightmostInk(pixels, L"secret"), Edit(L"secret")->GetPos().left + 4 + TextWidth(L"**") - 1, 2);
  Input(ClickOn(L"secret", 100) + L"type q");
  HWND field = static_cast<HWND>(Edit(L"secret")->GetNativeWindow());
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(GetWindowLongPtrW(field, GWL_STYLE) & ES_PASSWORD, ES_PASSWORD);
  EXPECT_EQ(Edit(L"secret")->GetText(), CUIString(L"pwq"));
}

TEST_F(EditFieldTest, NativeBackgroundColours) {
  realinput::Watchdog watchdog("the edit test", 60);
  Input(ClickOn(L"opaque", 300));
  UIRect field = Edit(L"opaque")->GetFieldRect();
  std::vector<uint32_t> pixels = Grab();
  Save(pixels, L"opaque-field");
  EXPECT_TRUE(Near(At(pixels, field.right - 3, (field.top + field.bottom) / 2), Rgb{0x30, 0x60, 0xC0}, 0));

  Input(ClickOn(L"glass", 300));
  field = Edit(L"glass")->GetFieldRect();
  pixels = Grab();
  Save(pixels, L"translucent-field");
  // Half red over the blue ground beneath the edit.
  EXPECT_TRUE(Near(At(pixels, field.right - 3, (field.top + field.bottom) / 2), Rgb{128, 0, 127}, 2));
  // Outside the field the edit paints its own white background.
  EXPECT_TRUE(Near(At(pixels, Edit(L"glass")->GetPos().left + 1, field.top), Rgb{255, 255, 255}, 0));
}

TEST_F(EditFieldTest, DeletingAnEditWithAnOpenFieldClosesTheFieldFirst) {
  realinput::Watchdog watchdog("the edit test", 60);
  CEditUI* first = Edit(L"first");
  HWND field = static_cast<HWND>(first->GetNativeWindow());
  ASSERT_NE(field, nullptr);
  auto* layout = static_cast<CContainerUI*>(first->GetParent()->GetInterface(L"Container"));
  ASSERT_NE(layout, nullptr);
  ASSERT_TRUE(layout->Remove(first, true));
  first->Delete();
  EXPECT_FALSE(IsWindow(field));
  // The window goes on: typing reaches the next edit after a Tab.
  Input(L"key Tab sleep 0.3 type Q");
  EXPECT_TRUE(IsWindow(window_.Hwnd()));
  EXPECT_EQ(window_.GetManager().GetFocus(), Edit(L"path"));
  EXPECT_EQ(Edit(L"path")->GetText(), CUIString(L"abcdefQ"));
}

// ---------------------------------------------------------------------------------------------
// Rich edit

bool ExpectNoTextServices() {
  const char* overrides = std::getenv("WINEDLLOVERRIDES");
  return overrides && std::strstr(overrides, "msftedit");
}

// Shaped like the stop dialog: a read-only centred question over two stand-ins for its buttons,
// then an editable rich edit that wants tabs and a one-line one that leaves Tab and Enter to the
// window.
constexpr wchar_t kStopSkin[] =
    L"<Window size=\"360,230\"><Font id=\"0\" name=\"Tahoma\" size=\"16\" default=\"true\"/>"
    L"<VerticalLayout bkcolor=\"#FFFFFFFF\">"
    L"<RichEdit name=\"question\" readonly=\"true\" align=\"center\" text=\"Stop the download now?\" height=\"60\""
    L" textcolor=\"#FF000000\" textpadding=\"4,4,4,4\"/>"
    L"<Edit name=\"stop\" height=\"30\"/><Edit name=\"resume\" height=\"30\"/>"
    L"<RichEdit name=\"notes\" height=\"50\" textpadding=\"4,4,4,4\"/>"
    L"<RichEdit name=\"single\" multiline=\"false\" wantreturn=\"false\" wanttab=\"false\" height=\"30\""
    L" textpadding=\"4,4,4,4\"/>"
    L"</VerticalLayout></Window>";

class RichEditTest : public EditWindowTest {
 protected:
  RichEditTest() : EditWindowTest(kStopSkin) {}
  CRichEditUI* Rich(const wchar_t* name) { return Find<CRichEditUI>(name, L"RichEdit"); }
};

// The services made over the host draw a word into a bitmap of the window's painting; without
// them the control keeps its text and draws none.
TEST_F(RichEditTest, TheServicesDrawAWordIntoABitmap) {
  ASSERT_NE(window_.CreateAt(nullptr, 300, 300), nullptr);  // a window to measure in, not shown
  CRichEditUI* question = Rich(L"question");
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(question->HasTextServices(), !ExpectNoTextServices());
  question->SetText(L"Word");
  EXPECT_EQ(question->GetText(), CUIString(L"Word"));
  window_.GetManager().UpdateLayout(UIRect{0, 0, 360, 230});

  const std::vector<uint32_t> painted = Capture(
      [&](HDC dc) { window_.GetManager().GetRoot()->Paint(dc, UIRect{0, 0, 360, 230}, nullptr); });
  Save(painted, ExpectNoTextServices() ? L"rich-word-without-services" : L"rich-word");
  const std::pair<int, int> ink = InkColumns(painted, L"question");
  if (ExpectNoTextServices()) {
    EXPECT_EQ(ink.first, -1);
    return;
  }
  ASSERT_GE(ink.first, 0);
  // One short word, centred.
  EXPECT_NEAR((ink.first + ink.second) / 2, 180, 6);
  EXPECT_LT(ink.second - ink.first, 80);
}

TEST_F(RichEditTest, TheReadOnlyQuestionIsCentredIgnoresTypingAndNeverTakesTheFocusByTab) {
  realinput::Watchdog watchdog("the rich edit test", 60);
  ASSERT_NO_FATAL_FAILURE(Open());
  CRichEditUI* question = Rich(L"question");
  // The first Tab stop is the first edit; Tab and Shift+Tab go round the edits and the one-line
  // rich edit, never the question.
  EXPECT_EQ(window_.GetManager().GetFocus(), Edit(L"stop"));
  Input(L"key Tab sleep 0.2 key shift+Tab sleep 0.2 key shift+Tab sleep 0.2 key Tab");
  EXPECT_EQ(window_.Seen(L"setfocus"),
            (std::vector<std::wstring>{L"setfocus:stop", L"setfocus:resume", L"setfocus:stop", L"setfocus:single",
                                       L"setfocus:stop"}));
  if (ExpectNoTextServices()) {
    EXPECT_EQ(question->GetText(), CUIString(L"Stop the download now?"));
    return;
  }
  intptr_t result = 0;
  PARAFORMAT2 format{};
  format.cbSize = sizeof(format);
  ASSERT_TRUE(question->TxSendMessage(EM_GETPARAFORMAT, 0, reinterpret_cast<intptr_t>(&format), result));
  EXPECT_EQ(format.wAlignment, PFA_CENTER);
  std::vector<uint32_t> pixels = Grab();
  Save(pixels, L"rich-question");
  std::pair<int, int> ink = InkColumns(pixels, L"question");
  ASSERT_GE(ink.first, 0);
  EXPECT_NEAR((ink.first + ink.second) / 2, 180, 8);
  EXPECT_GT(ink.second - ink.first, 100);

  // A click gives it the focus, but typing changes nothing, and Tab leaves it.
  Input(ClickOn(L"question", 180) + L"key a b c");
  EXPECT_EQ(window_.GetManager().GetFocus(), question);
  EXPECT_EQ(question->GetText(), CUIString(L"Stop the download now?"));
  EXPECT_TRUE(window_.changes.empty());
  Input(L"key Tab");
  EXPECT_EQ(window_.GetManager().GetFocus(), Edit(L"stop"));

  // Text set by the program shows.
  question->SetText(L"Stop?");
  EXPECT_EQ(question->GetText(), CUIString(L"Stop?"));
  Input(L"");
  pixels = Grab();
  const std::pair<int, int> shorter = InkColumns(pixels, L"question");
  ASSERT_GE(shorter.first, 0);
  EXPECT_LT(shorter.second - shorter.first, (ink.second - ink.first) / 2);
  EXPECT_NEAR((shorter.first + shorter.second) / 2, 180, 8);
}

TEST_F(RichEditTest, TabStaysInAnEditableOneAndEnterWithoutWantReturnIsReturn) {
  if (ExpectNoTextServices()) GTEST_SKIP() << "typing needs the text services";
  realinput::Watchdog watchdog("the rich edit test", 60);
  ASSERT_NO_FATAL_FAILURE(Open());
  Input(ClickOn(L"notes", 20) + L"key a Tab b");
  EXPECT_EQ(window_.GetManager().GetFocus(), Rich(L"notes"));
  EXPECT_EQ(Rich(L"notes")->GetText(), CUIString(L"a\tb"));
  // One "textchanged" per typed character, the text following each.
  EXPECT_EQ(window_.changes, (Texts{L"a", L"a\t", L"a\tb"}));

  Input(ClickOn(L"single", 20) + L"key x Return");
  EXPECT_EQ(window_.Seen(L"return"), (std::vector<std::wstring>{L"return:single"}));
  EXPECT_EQ(Rich(L"single")->GetText(), CUIString(L"x"));
  // With want-return on, Enter is the text's own.
  Input(ClickOn(L"notes", 20) + L"key ctrl+End Return c");
  EXPECT_EQ(Rich(L"notes")->GetText(), CUIString(L"a\tb\rc"));
  EXPECT_EQ(window_.Seen(L"return").size(), 1u);
}

}  // namespace
