// The leaf controls in a stand-in window: labels estimating their size, buttons pressed and
// released by the mouse and the keyboard, their pictures chosen by state when some are missing,
// the fade, option groups and check boxes, the bar's geometry, and the element names.

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "skin_ui/ButtonLook.h"
#include "skin_ui/ContainerUI.h"
#include "skin_ui/DialogBuilder.h"
#include "skin_ui/LabelUI.h"
#include "skin_ui/OptionUI.h"
#include "skin_ui/ProgressUI.h"
#include "skin_ui/SkinArchive.h"
#include "skin_ui/TextUI.h"
#include "skin_ui/UIMessages.h"
#include "skin_ui/WindowManagerUI.h"
#include "skin_ui/posix/StandInWindow.h"
#include "tests/skin_ui/ImageFixtures.h"
#include "tests/skin_ui/SkinTestSupport.h"
#include "tests/support/ZipBuilder.h"

namespace {

using namespace SkinUI;
using native::StandInWindow;
using native::System;
using Types = std::vector<std::wstring>;

// The stand-in font of size 12: characters 6 wide, lines 12 high.
constexpr wchar_t kFont[] = L"<Font id=\"0\" name=\"Tahoma\" size=\"12\" default=\"true\"/>";

class LeafControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    System() = native::StandInSystem{};
    std::vector<uint8_t> strips;
    for (int i = 0; i < 50 * 10; ++i) strips.insert(strips.end(), {uint8_t(i % 50 * 5), 0, 0, 255});
    const std::string zip =
        testsupport::ZipBuilder().File("strips.png", skintest::EncodePng(50, 10, strips)).Build();
    ASSERT_TRUE(SetSkinArchiveMemory(zip.data(), zip.size()));
    manager_.Init(window_.Handle());
  }
  void TearDown() override {
    ResetSkinSource();
    CWindowManagerUI::ResetSharedResources();
  }

  // `body` inside a vertical layout filling the 200 × 100 window, laid out; the notifier then
  // hears what follows.
  void Build(const std::wstring& body, const std::wstring& windowAttributes = L"") {
    const std::wstring xml =
        L"<Window " + windowAttributes + L">" + kFont + L"<VerticalLayout>" + body + L"</VerticalLayout></Window>";
    CDialogBuilder builder;
    CControlUI* root = builder.Create(xml.c_str(), nullptr, nullptr, &manager_);
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(manager_.AttachRoot(root));
    Paint();
    manager_.AddNotifier(&notifier_);
  }
  template <class T>
  T* Find(const wchar_t* name) {
    return static_cast<T*>(manager_.FindControl(name));
  }
  intptr_t Send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
    intptr_t result = -1;
    manager_.FilterMessage(message, wParam, lParam, result);
    return result;
  }
  void Mouse(uint32_t message, int x, int y) { Send(message, 0, LParamFromPoint({x, y})); }
  void Click(int x, int y) {
    Mouse(kMsgMouseMove, x, y);
    Mouse(kMsgLButtonDown, x, y);
    Mouse(kMsgLButtonUp, x, y);
  }
  void Key(uintptr_t key) {
    if (!CWindowManagerUI::TranslateWindowMessage(UIMessage{window_.Handle(), kMsgKeyDown, key, 0}))
      Send(kMsgKeyDown, key);
    Send(kMsgKeyUp, key);
  }
  void Paint() {
    window_.update = UIRect{0, 0, 200, 100};
    Send(kMsgPaint);
  }
  // Clicks and selection changes, who sent them; focus changes are left out.
  Types Heard() const {
    Types heard;
    for (const skintest::Seen& seen : notifier_.seen)
      if (seen.type == kNotifyClick || seen.type == kNotifySelectChanged)
        heard.push_back(std::wstring(seen.sender->GetName()) + L":" + seen.type);
    return heard;
  }

  StandInWindow window_{UISize{200, 100}};
  CWindowManagerUI manager_;
  skintest::RecordingNotifier notifier_;
};

TEST_F(LeafControlTest, ElementNamesMakeTheControlsAndTheirInterfacesChain) {
  Build(L"<Label name=\"l\"/><Text name=\"t\"/><Button name=\"b\"/><Option name=\"o\"/>"
        L"<CheckBox name=\"c\"/><Progress name=\"p\"/>");
  struct Case {
    const wchar_t* name;
    const wchar_t* className;
    std::vector<const wchar_t*> interfaces;
  };
  const Case cases[] = {
      {L"l", L"Label", {L"Label", L"Control"}},
      {L"t", L"Text", {L"Text", L"Label"}},
      {L"b", L"Button", {L"Button", L"Label"}},
      {L"o", L"Option", {L"Option", L"Button", L"Label"}},
      {L"c", L"CheckBox", {L"CheckBox", L"Option", L"Button", L"Label"}},
      {L"p", L"Progress", {L"Progress", L"Label"}},
  };
  for (const Case& c : cases) {
    CControlUI* control = manager_.FindControl(c.name);
    ASSERT_NE(control, nullptr) << c.className;
    EXPECT_STREQ(control->GetClass(), c.className);
    for (const wchar_t* name : c.interfaces) EXPECT_EQ(control->GetInterface(name), control) << c.className;
    EXPECT_EQ(control->GetInterface(L"IContainer"), nullptr);
  }
  EXPECT_EQ(manager_.FindControl(L"l")->GetInterface(L"Button"), nullptr);
  // The styles the classes start with.
  EXPECT_EQ(Find<CLabelUI>(L"l")->GetTextStyle(), 0x24u);
  EXPECT_EQ(Find<CTextUI>(L"t")->GetTextStyle(), 0x10u);
  EXPECT_EQ(Find<CTextUI>(L"t")->GetTextPadding(), (UIRect{2, 0, 2, 0}));
  EXPECT_EQ(Find<CButtonUI>(L"b")->GetTextStyle(), 0x25u);
  EXPECT_EQ(Find<CProgressUI>(L"p")->GetTextStyle(), 0x21u);
  EXPECT_EQ(Find<CProgressUI>(L"p")->GetFixedHeight(), 12);
}

TEST_F(LeafControlTest, LabelAttributesSetTheTextStyle) {
  struct Case {
    const wchar_t* attributes;
    uint32_t style;
  };
  const Case cases[] = {
      {L"align=\"right\"", 0x26},
      {L"align=\"center\"", 0x25},
      {L"align=\"right\" align=\"left\"", 0x24},
      {L"align=\"leftish center\"", 0x24},  // "left" is looked for first
      {L"align=\"middle\"", 0x24},          // none of the words: unchanged
      {L"valign=\"bottom\"", 0x28},
      {L"valign=\"top\"", 0x20},
      {L"multiline=\"true\"", 0x14},
      {L"multiline=\"true\" multiline=\"yes\"", 0x34},
      {L"endellipsis=\"true\"", 0x8024},
  };
  for (const Case& c : cases) {
    CDialogBuilder builder;
    const std::wstring xml = std::wstring(L"<Window><Label ") + c.attributes + L"/></Window>";
    CControlUI* built = builder.Create(xml.c_str(), nullptr, nullptr, &manager_);
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(static_cast<CLabelUI*>(built)->GetTextStyle(), c.style) << c.attributes;
    built->Delete();
  }
  // Effects are known and ignored: no custom attribute is kept for them.
  CLabelUI label;
  label.SetAttribute(L"enabledeffect", L"true");
  label.SetAttribute(L"other", L"1");
  EXPECT_EQ(label.GetCustomAttribute(L"enabledeffect"), nullptr);
  EXPECT_STREQ(label.GetCustomAttribute(L"other"), L"1");
}

TEST_F(LeafControlTest, LabelEstimatesItsSizeFromItsText) {
  Build(L"<Label name=\"fixed\" text=\"abcd\" height=\"32\" textpadding=\"3,1,5,2\"/>"
        L"<Label name=\"free\" text=\"abcd\" textpadding=\"3,1,5,2\"/>"
        L"<Label name=\"multi\" text=\"abcdefghij\" multiline=\"true\" textpadding=\"0,1,0,2\"/>"
        L"<Label name=\"html\" text=\"ab{b}cd{/b}\" showhtml=\"true\"/>"
        L"<Label name=\"both\" width=\"7\" height=\"9\" text=\"long text\"/>");
  // Single line: the text's width plus the padding; the height given, or font + padding + 8.
  auto* fixed = Find<CLabelUI>(L"fixed");
  EXPECT_EQ(fixed->MeasureSize(UISize{200, 100}), (UISize{3 + 4 * 6 + 5, 32}));
  EXPECT_EQ(Find<CLabelUI>(L"free")->MeasureSize(UISize{200, 100}), (UISize{32, 1 + 12 + 2 + 8}));
  EXPECT_EQ(Find<CLabelUI>(L"html")->MeasureSize(UISize{200, 100}).cx, 4 * 6);  // the tags take no room
  EXPECT_EQ(Find<CLabelUI>(L"both")->MeasureSize(UISize{200, 100}), (UISize{7, 9}));
  // In the vertical layout the estimated width does not count: the box stretches the label.
  EXPECT_EQ(fixed->GetPos(), (UIRect{0, 0, 200, 32}));

  // The estimate is kept until the text changes.
  fixed->SetText(L"abcdefgh");
  EXPECT_EQ(fixed->MeasureSize(UISize{200, 100}), (UISize{3 + 8 * 6 + 5, 32}));

  // Multi line: the available width, and as high as the wrapped lines; another width
  // estimates again.
  auto* multi = Find<CLabelUI>(L"multi");
  EXPECT_EQ(multi->MeasureSize(UISize{30, 100}), (UISize{30, 1 + 2 * 12 + 2}));
  EXPECT_EQ(multi->MeasureSize(UISize{60, 100}), (UISize{60, 1 + 12 + 2}));
}

TEST_F(LeafControlTest, UnsetTextColoursBecomeTheWindowDefaultsAtTheFirstPaint) {
  Build(L"<Label name=\"plain\" text=\"a\"/><Label name=\"own\" text=\"a\" textcolor=\"#FF00FF00\"/>",
        L"defaultfontcolor=\"#FF102030\" disabledfontcolor=\"#FF405060\"");
  EXPECT_EQ(Find<CLabelUI>(L"plain")->GetTextColor(), 0xFF102030u);
  EXPECT_EQ(Find<CLabelUI>(L"plain")->GetDisabledTextColor(), 0xFF405060u);
  EXPECT_EQ(Find<CLabelUI>(L"own")->GetTextColor(), 0xFF00FF00u);
}

TEST_F(LeafControlTest, AButtonClicksOnlyWhenReleasedOverItself) {
  Build(L"<Button name=\"b\" height=\"30\"/><Control/>");
  auto* button = Find<CButtonUI>(L"b");

  // Pressed, moved out, released outside: no click, and the pushed look follows the pointer.
  Mouse(kMsgMouseMove, 10, 10);
  Mouse(kMsgLButtonDown, 10, 10);
  EXPECT_EQ(button->GetButtonState() & (kButtonPushed | kButtonCaptured), kButtonPushed | kButtonCaptured);
  Mouse(kMsgMouseMove, 10, 50);
  EXPECT_EQ(button->GetButtonState() & kButtonPushed, 0u);
  Mouse(kMsgLButtonUp, 10, 50);
  EXPECT_EQ(button->GetButtonState() & (kButtonPushed | kButtonCaptured), 0u);
  EXPECT_TRUE(Heard().empty());

  // Out and back in before the release: a click.
  Mouse(kMsgMouseMove, 10, 10);
  Mouse(kMsgLButtonDown, 10, 10);
  Mouse(kMsgMouseMove, 10, 50);
  Mouse(kMsgMouseMove, 12, 12);
  EXPECT_NE(button->GetButtonState() & kButtonPushed, 0u);
  Mouse(kMsgLButtonUp, 12, 12);
  EXPECT_EQ(Heard(), (Types{L"b:click"}));

  // Enter and space on the focused button.
  notifier_.seen.clear();
  EXPECT_EQ(manager_.GetFocus(), button);
  Key(kKeyReturn);
  Key(kKeySpace);
  Key(L'A');
  EXPECT_EQ(Heard(), (Types{L"b:click", L"b:click"}));

  // Disabled: the state is gone and nothing clicks.
  notifier_.seen.clear();
  button->SetEnabled(false);
  EXPECT_EQ(button->GetButtonState(), 0u);
  Click(10, 10);
  Key(kKeyReturn);
  EXPECT_TRUE(Heard().empty());
  EXPECT_EQ(button->GetControlTraits(), uint32_t{kControlTraitTabStop});
}

TEST_F(LeafControlTest, HotFollowsThePointerAndFadesOnTimer11) {
  Build(L"<Button name=\"b\" height=\"30\" fadedelta=\"100\"/><Control/>");
  auto* button = Find<CButtonUI>(L"b");
  Mouse(kMsgMouseMove, 10, 10);
  EXPECT_NE(button->GetButtonState() & kButtonHot, 0u);
  ASSERT_EQ(window_.timers, (std::map<uintptr_t, uint32_t>{{17, 30}}));  // the control's timer 11
  std::vector<int> alphas;
  for (int tick = 0; tick < 3; ++tick) {
    Send(kMsgTimer, 17);
    alphas.push_back(button->GetFadeAlpha());
  }
  EXPECT_EQ(alphas, (std::vector<int>{155, 55, 0}));
  EXPECT_TRUE(window_.timers.empty());  // killed at the bound

  Mouse(kMsgMouseMove, 10, 50);
  EXPECT_EQ(button->GetButtonState() & kButtonHot, 0u);
  ASSERT_EQ(window_.timers.count(17), 1u);
  alphas.clear();
  for (int tick = 0; tick < 3; ++tick) {
    Send(kMsgTimer, 17);
    alphas.push_back(button->GetFadeAlpha());
  }
  EXPECT_EQ(alphas, (std::vector<int>{100, 200, 255}));
  EXPECT_TRUE(window_.timers.empty());

  // The hand over an enabled button.
  Mouse(kMsgMouseMove, 10, 10);
  System().cursor = UIPoint{10, 10};
  Send(kMsgSetCursor, reinterpret_cast<uintptr_t>(window_.Handle()), 1);
  EXPECT_EQ(System().cursorShape, L"hand");
}

TEST_F(LeafControlTest, StatePicturesFallBackWhenPicturesAreMissing) {
  using P = ButtonPicture;
  constexpr uint32_t kNormalOnly = PictureBit(P::kNormal);
  constexpr uint32_t kAll = (1u << static_cast<int>(P::kCount)) - 1;
  struct Case {
    const char* what;
    ButtonLookInput input;
    std::vector<std::pair<P, int>> draws;
    bool hotFill = false;
    bool selectedFill = false;
  };
  const Case cases[] = {
      {"normal", {0, kAll}, {{P::kNormal, 255}, {P::kFore, 255}}},
      {"nothing to draw", {kButtonHot | kButtonPushed, 0}, {}},
      {"disabled", {kButtonDisabled | kButtonHot, kAll}, {{P::kDisabled, 255}, {P::kFore, 255}}},
      {"disabled, normal only", {kButtonDisabled, kNormalOnly}, {{P::kNormal, 255}}},
      {"pushed with its fore", {kButtonPushed | kButtonHot, kAll}, {{P::kPushed, 255}, {P::kPushedFore, 255}}},
      {"pushed, normal only", {kButtonPushed, kNormalOnly}, {{P::kNormal, 255}}},
      {"hot with its fore", {kButtonHot, kAll}, {{P::kHot, 255}, {P::kHotFore, 255}}},
      {"hot, normal only", {kButtonHot, kNormalOnly}, {{P::kNormal, 255}}},
      {"hot, normal only, hot colour", {kButtonHot, kNormalOnly, false, 255, true}, {{P::kNormal, 255}}, true},
      {"hot fading in", {kButtonHot, kNormalOnly | PictureBit(P::kHot), true, 100},
       {{P::kNormal, 100}, {P::kHot, 155}}},
      {"fading out", {0, kNormalOnly | PictureBit(P::kHot), true, 100}, {{P::kHot, 155}, {P::kNormal, 100}}},
      {"faded out", {0, kNormalOnly | PictureBit(P::kHot), true, 255}, {{P::kNormal, 255}}},
      {"focused", {kButtonFocused, kAll}, {{P::kFocused, 255}, {P::kFore, 255}}},
      {"focused, normal only", {kButtonFocused, kNormalOnly}, {{P::kNormal, 255}}},
  };
  for (const Case& c : cases) {
    const ButtonLook look = ChooseButtonLook(c.input);
    std::vector<std::pair<P, int>> draws;
    for (int i = 0; i < look.count; ++i) draws.emplace_back(look.draws[i].picture, look.draws[i].alpha);
    EXPECT_EQ(draws, c.draws) << c.what;
    EXPECT_EQ(look.fillHotColor, c.hotFill) << c.what;
    EXPECT_FALSE(look.fillSelectedColor) << c.what;
  }

  const Case options[] = {
      {"selected hot", {kButtonSelected | kButtonHot, kAll}, {{P::kSelectedHot, 255}, {P::kFore, 255}}},
      {"selected, no hot picture",
       {kButtonSelected | kButtonHot, kNormalOnly | PictureBit(P::kSelected)},
       {{P::kSelected, 255}}},
      {"selected, colour only", {kButtonSelected, kNormalOnly, false, 255, false, true}, {}, false, true},
      {"selected, nothing: never pushed", {kButtonSelected | kButtonPushed, kAll}, {{P::kSelected, 255}, {P::kFore, 255}}},
      {"not selected, pushed", {kButtonPushed, kAll}, {{P::kNormal, 255}, {P::kFore, 255}}},
      {"selected without its pictures", {kButtonSelected | kButtonPushed, kNormalOnly}, {{P::kNormal, 255}}},
  };
  for (const Case& c : options) {
    const ButtonLook look = ChooseOptionLook(c.input);
    std::vector<std::pair<P, int>> draws;
    for (int i = 0; i < look.count; ++i) draws.emplace_back(look.draws[i].picture, look.draws[i].alpha);
    EXPECT_EQ(draws, c.draws) << c.what;
    EXPECT_EQ(look.fillSelectedColor, c.selectedFill) << c.what;
  }
}

TEST_F(LeafControlTest, FiveStatusImageCutsThePictureIntoStrips) {
  Build(L"<Button name=\"b\" float=\"true\" fivestatusimage=\"strips.png\"/>"
        L"<Button name=\"missing\" height=\"20\" fivestatusimage=\"gone.png\"/>");
  auto* button = Find<CButtonUI>(L"b");
  const std::pair<ButtonPicture, const wchar_t*> strips[] = {
      {ButtonPicture::kNormal, L"file='strips.png' source='0,0,10,10'"},
      {ButtonPicture::kPushed, L"file='strips.png' source='10,0,20,10'"},
      {ButtonPicture::kHot, L"file='strips.png' source='20,0,30,10'"},
      {ButtonPicture::kFocused, L"file='strips.png' source='30,0,40,10'"},
      {ButtonPicture::kDisabled, L"file='strips.png' source='40,0,50,10'"},
  };
  for (const auto& [picture, description] : strips) EXPECT_EQ(button->GetPicture(picture), description);
  EXPECT_EQ(button->GetFixedWidth(), 10);  // a float button takes one strip's size
  EXPECT_EQ(button->GetFixedHeight(), 10);
  EXPECT_TRUE(Find<CButtonUI>(L"missing")->GetPicture(ButtonPicture::kNormal).IsEmpty());
}

TEST_F(LeafControlTest, OptionGroupsSelectOneAndCheckBoxesToggle) {
  Build(L"<Option name=\"o1\" group=\"g\" selected=\"true\" height=\"20\"/>"
        L"<Option name=\"o2\" group=\"g\" selected=\"true\" height=\"20\"/>"
        L"<Option name=\"o3\" group=\"g\" height=\"20\"/>"
        L"<CheckBox name=\"cb\" height=\"20\"/><Control/>");
  auto* o1 = Find<COptionUI>(L"o1");
  auto* o2 = Find<COptionUI>(L"o2");
  auto* o3 = Find<COptionUI>(L"o3");
  auto* box = Find<CCheckBoxUI>(L"cb");
  // The later `selected` took the selection from the first option of the group.
  EXPECT_FALSE(o1->IsSelected());
  EXPECT_TRUE(o2->IsSelected());
  ASSERT_NE(manager_.GetOptionGroup(L"g"), nullptr);
  EXPECT_EQ(*manager_.GetOptionGroup(L"g"), (std::vector<CControlUI*>{o1, o2, o3}));

  Click(10, 45);  // o3
  EXPECT_EQ(Heard(), (Types{L"o3:click", L"o3:selectchanged"}));
  EXPECT_TRUE(o3->IsSelected());
  EXPECT_FALSE(o2->IsSelected());
  notifier_.seen.clear();
  Click(10, 45);  // already selected: a click, no change
  EXPECT_EQ(Heard(), (Types{L"o3:click"}));
  EXPECT_TRUE(o3->IsSelected());

  notifier_.seen.clear();
  Click(10, 65);
  Click(10, 65);
  EXPECT_EQ(Heard(), (Types{L"cb:click", L"cb:selectchanged", L"cb:click", L"cb:selectchanged"}));
  EXPECT_FALSE(box->IsSelected());

  // Selecting in code without notice; a disabled option keeps only its selected bit.
  notifier_.seen.clear();
  o1->Selected(true, false);
  EXPECT_FALSE(o3->IsSelected());
  EXPECT_TRUE(Heard().empty());
  o1->SetEnabled(false);
  EXPECT_EQ(o1->GetButtonState(), uint32_t{kButtonSelected});

  // Regrouped and removed options leave their groups.
  o2->SetGroup(L"h");
  EXPECT_EQ(*manager_.GetOptionGroup(L"h"), (std::vector<CControlUI*>{o2}));
  auto* box2 = static_cast<IContainerUI*>(manager_.GetRoot()->GetInterface(L"IContainer"));
  ASSERT_TRUE(box2->Remove(o3));
  EXPECT_EQ(*manager_.GetOptionGroup(L"g"), (std::vector<CControlUI*>{o1}));

  // Built for the window but never attached to it: deleted, it still leaves its group.
  CDialogBuilder builder;
  CControlUI* orphan = builder.Create(L"<Window><VerticalLayout><Option group=\"x\"/></VerticalLayout></Window>",
                                      nullptr, nullptr, &manager_);
  ASSERT_NE(orphan, nullptr);
  ASSERT_NE(manager_.GetOptionGroup(L"x"), nullptr);
  orphan->Delete();
  EXPECT_EQ(manager_.GetOptionGroup(L"x"), nullptr);
}

TEST_F(LeafControlTest, ProgressFillsItsShareOfTheRangeWithoutOverflow) {
  struct Case {
    int32_t minimum, maximum, value;
    UISize size;
    bool horizontal;
    UIRect fill;
  };
  const Case cases[] = {
      {0, 100, 30, {200, 12}, true, {0, 0, 60, 12}},
      {0, 100, 150, {200, 12}, true, {0, 0, 200, 12}},  // kept in the range
      {0, 100, -5, {200, 12}, true, {0, 0, 0, 12}},
      {50, 50, 50, {200, 12}, true, {0, 0, 0, 12}},      // an empty range is one step wide
      {10, 5, 7, {200, 12}, true, {0, 0, 0, 12}},
      {0, 100, 30, {12, 200}, false, {0, 140, 12, 200}},  // vertical: filled from the bottom
      {0, 100, 100, {12, 200}, false, {0, 0, 12, 200}},
      {0, 3, 1, {100, 12}, true, {0, 0, 33, 12}},        // product first, then division
      {INT_MIN, INT_MAX, INT_MAX, {INT_MAX, 10}, true, {0, 0, INT_MAX, 10}},
      {INT_MIN, INT_MAX, 0, {INT_MAX, 10}, true, {0, 0, 1073741823, 10}},
      {INT_MIN, INT_MAX, INT_MIN, {10, INT_MAX}, false, {0, INT_MAX, 10, INT_MAX}},
      {INT_MAX, INT_MAX, INT_MAX, {100, 10}, true, {0, 0, 0, 10}},
      {0, 100, 50, {-4, 10}, true, {0, 0, 0, 10}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ProgressFillRect(c.minimum, c.maximum, c.value, c.size, c.horizontal), c.fill)
        << c.minimum << ".." << c.maximum << " at " << c.value;

  CProgressUI bar;
  bar.SetAttribute(L"value", L"150");
  EXPECT_EQ(bar.GetValue(), 100);
  bar.SetValue(-3);
  EXPECT_EQ(bar.GetValue(), 0);
  bar.SetAttribute(L"min", L"20");
  EXPECT_EQ(bar.GetValue(), 0);  // the range only stores
  bar.SetAttribute(L"hor", L"false");
  EXPECT_FALSE(bar.IsHorizontal());
}

TEST_F(LeafControlTest, TextWithoutLinksHasNoHandAndNoLinks) {
  Build(L"<Text name=\"t\" text=\"plain {a}not markup{/a}\"/>");
  auto* text = Find<CTextUI>(L"t");
  EXPECT_EQ(text->GetLinkCount(), 0);
  EXPECT_EQ(text->GetControlTraits(), 0u);
  EXPECT_EQ(text->GetLinkTarget(0), nullptr);
  Click(10, 10);
  EXPECT_TRUE(Heard().empty());
}

}  // namespace
