// The edit controls' portable parts: where the native field goes, the style bits it and the
// rich edit are made with, who gets Enter in a rich edit, and the edit control's own state.

#include <gtest/gtest.h>

#include "skin_ui/DialogBuilder.h"
#include "skin_ui/EditRules.h"
#include "skin_ui/EditUI.h"
#include "skin_ui/RichEditUI.h"
#include "skin_ui/TextFormat.h"
#include "skin_ui/UIMessages.h"
#include "skin_ui/WindowManagerUI.h"

namespace {

using namespace SkinUI;

TEST(EditRulesTest, FieldPlacementInsideTheTextArea) {
  const UIRect item{10, 20, 210, 50};  // 200 x 30
  struct Case {
    UIRect padding;
    int32_t fontHeight;
    UIRect field;
  } cases[] = {
      {{4, 3, 4, 3}, 16, {14, 27, 206, 43}},    // 24 high: narrowed to 16 around the middle
      {{4, 3, 4, 3}, 15, {14, 27, 206, 42}},    // an odd difference rounds the top down
      {{4, 3, 4, 3}, 24, {14, 23, 206, 47}},    // as high as the area: unchanged
      {{4, 3, 4, 3}, 40, {14, 23, 206, 47}},    // a taller font is not given more room
      {{4, 3, 4, 3}, 0, {14, 23, 206, 47}},     // unmeasured font
      {{0, 0, 0, 0}, 20, {10, 25, 210, 45}},
      {{150, 3, 150, 3}, 16, {160, 27, 60, 43}},  // padding wider than the item: left past right
  };
  for (const Case& c : cases) {
    const UIRect field = PlaceEditField(item, c.padding, c.fontHeight);
    EXPECT_EQ(field, c.field) << c.padding.left << " " << c.fontHeight;
  }
  EXPECT_TRUE(PlaceEditField(item, {150, 3, 150, 3}, 16).IsEmpty());
  // Extreme rectangles saturate instead of wrapping.
  const UIRect huge = PlaceEditField({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {-5, -5, -5, -5}, 10);
  EXPECT_EQ(huge.left, INT32_MIN);
  EXPECT_EQ(huge.right, INT32_MAX);
  EXPECT_EQ(huge.Height(), 10);
}

TEST(EditRulesTest, FieldStyleBits) {
  struct Case {
    uint32_t ownerBits;
    uint32_t textStyle;
    bool password;
    uint32_t style;
  } cases[] = {
      {0, 0x24, false, 0x40000080},                           // child, automatic horizontal scrolling
      {0x2000, 0x24, false, 0x40002080},                      // digits only
      {0, 0x24 | kTextCenter, false, 0x40000081},             // centred
      {0, 0x24 | kTextRight, false, 0x40000082},              // right-aligned
      {0, 0x24 | kTextCenter | kTextRight, false, 0x40000081},  // centre wins
      {0, 0x24, true, 0x400000A0},                            // password
      {0x2000, 0x25, true, 0x400020A1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(EditFieldStyle(c.ownerBits, c.textStyle, c.password), c.style) << std::hex << c.style;
}

TEST(EditRulesTest, RichEditStyleAttributes) {
  struct Case {
    const wchar_t* name;
    const wchar_t* value;
    uint32_t before;
    uint32_t after;
    bool known;
  } cases[] = {
      {L"vscrollbar", L"true", 0x4, 0x202004, true},
      {L"hscrollbar", L"true", 0x4, 0x102004, true},
      {L"vscrollbar", L"false", 0x4, 0x4, true},  // "false" leaves the bits alone
      {L"autovscroll", L"true", 0x4, 0x44, true},
      {L"autohscroll", L"true", 0x4, 0x84, true},
      {L"readonly", L"true", 0x4, 0x804, true},
      {L"password", L"true", 0x4, 0x24, true},
      {L"multiline", L"false", 0x804, 0x800, true},
      {L"multiline", L"no", 0x4, 0x4, true},  // only "false" clears it
      {L"multiline", L"true", 0x0, 0x4, true},
      {L"align", L"center", 0x6, 0x5, true},
      {L"align", L"right", 0x5, 0x6, true},
      {L"align", L"left", 0x7, 0x4, true},
      {L"align", L"left,right", 0x5, 0x4, true},  // the first word found decides, as for labels
      {L"Align", L"center", 0x4, 0x4, false},     // names are exact
      {L"wanttab", L"true", 0x4, 0x4, false},
  };
  for (const Case& c : cases) {
    uint32_t style = c.before;
    EXPECT_EQ(ApplyRichEditStyleAttribute(c.name, c.value, style), c.known) << c.name << "=" << c.value;
    EXPECT_EQ(style, c.after) << c.name << "=" << c.value;
  }
}

TEST(EditRulesTest, EnterInARichEdit) {
  struct Case {
    bool wantReturn;
    bool wantCtrlReturn;
    bool control;
    bool toServices;
  } cases[] = {
      {true, true, false, true},   {true, true, true, true},   {true, false, false, true},
      {true, false, true, false},  // Control+Enter without want-ctrl-return: "return"
      {false, true, false, false}, {false, true, true, false}, {false, false, false, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RichEditTakesEnter(c.wantReturn, c.wantCtrlReturn, c.control), c.toServices)
        << c.wantReturn << c.wantCtrlReturn << c.control;
}

// Edits in a skin, laid out in a 300 x 200 client area.
class EditControlTest : public ::testing::Test {
 protected:
  void Build(const wchar_t* skin) {
    manager_.Init(nullptr);
    CControlUI* root = builder_.Create(skin, nullptr, nullptr, &manager_);
    ASSERT_NE(root, nullptr);
    manager_.AttachRoot(root);
    manager_.UpdateLayout(UIRect{0, 0, 300, 200});
  }
  CEditUI* Edit(const wchar_t* name) {
    auto* edit = static_cast<CEditUI*>(manager_.FindControl(name) ? manager_.FindControl(name)->GetInterface(L"Edit")
                                                                  : nullptr);
    EXPECT_NE(edit, nullptr) << name;
    return edit;
  }
  CWindowManagerUI manager_;
  CDialogBuilder builder_;
};

TEST_F(EditControlTest, FieldIsClippedByTheVisibleAncestors) {
  Build(L"<Window><VerticalLayout>"
        L"<HorizontalLayout name=\"band\" height=\"30\">"
        L"<Control width=\"250\"/><Edit name=\"cut\" width=\"100\" textpadding=\"2,2,2,2\"/></HorizontalLayout>"
        L"<HorizontalLayout name=\"hidden\" height=\"30\"><Edit name=\"inside\"/></HorizontalLayout>"
        L"<Edit name=\"whole\" height=\"30\"/>"
        L"</VerticalLayout></Window>");
  // Cut at the band's right edge (the edit reaches 350 in a 300-wide window).
  EXPECT_EQ(Edit(L"cut")->GetPos(), (UIRect{250, 0, 350, 30}));
  EXPECT_EQ(Edit(L"cut")->GetFieldRect(), (UIRect{252, 2, 300, 28}));
  EXPECT_EQ(Edit(L"whole")->GetFieldRect(), (UIRect{4, 63, 296, 87}));
  Edit(L"inside")->SetFocus();
  ASSERT_EQ(manager_.GetFocus(), Edit(L"inside"));
  manager_.FindControl(L"hidden")->SetVisible(false);
  // A hidden ancestor leaves nothing to show, and takes the focus (and so the field) away ...
  EXPECT_TRUE(Edit(L"inside")->GetFieldRect().IsEmpty());
  EXPECT_EQ(manager_.GetFocus(), nullptr);
  // ... but the edit keeps its own flag: it follows only its own visibility.
  EXPECT_TRUE(Edit(L"inside")->IsVisible());
  Edit(L"whole")->SetPos(UIRect{400, 400, 500, 430});
  EXPECT_TRUE(Edit(L"whole")->GetFieldRect().IsEmpty());
}

TEST_F(EditControlTest, AttributesAndDefaults) {
  Build(L"<Window><VerticalLayout>"
        L"<Edit name=\"plain\" text=\"a text much wider than the font line\"/>"
        L"<Edit name=\"set\" numberonly=\"true\" maxchar=\"5\" readonly=\"true\" password=\"true\" autoselall=\"true\""
        L" nativebkcolor=\"#80FF0000\" align=\"right\" valign=\"bottom\" textpadding=\"1,2,3,4\" height=\"40\""
        L" width=\"90\" font=\"2\" textcolor=\"#FF102030\" disabledtextcolor=\"#FF405060\"/>"
        L"<Edit name=\"off\" enabled=\"false\"/>"
        L"</VerticalLayout></Window>");
  CEditUI* plain = Edit(L"plain");
  EXPECT_EQ(plain->GetMaxChar(), 255);
  EXPECT_FALSE(plain->IsReadOnly());
  EXPECT_FALSE(plain->IsPasswordMode());
  EXPECT_EQ(plain->GetPasswordChar(), L'*');
  EXPECT_EQ(plain->GetEditStyle(), 0u);
  EXPECT_EQ(plain->GetNativeEditBkColor(), 0xFFFFFFFFu);
  EXPECT_EQ(plain->GetBkColor(), 0xFFFFFFFFu);
  EXPECT_EQ(plain->GetTextPadding(), (UIRect{4, 3, 4, 3}));
  EXPECT_EQ(plain->GetControlTraits(), kControlTraitTabStop | kControlTraitSetCursor);
  EXPECT_EQ(plain->GetNativeWindow(), nullptr);  // no field without the focus
  EXPECT_EQ(plain->GetTextStyle(), 0x24u);
  EXPECT_EQ(plain->GetInterface(L"Label"), static_cast<CLabelUI*>(plain));
  // Without a fixed height: the font's height + 8 (no font is measured here); the width is
  // the layout's to give, not the text's as for a label.
  EXPECT_EQ(plain->MeasureSize(UISize{300, 200}), (UISize{0, 8}));
  plain->SetText(L"another text");
  plain->SetFixedWidth(0);
  EXPECT_EQ(plain->MeasureSize(UISize{120, 50}), (UISize{0, 8}));

  CEditUI* set = Edit(L"set");
  EXPECT_EQ(set->GetEditStyle(), 0x2000u);
  EXPECT_EQ(set->GetMaxChar(), 5);
  EXPECT_TRUE(set->IsReadOnly());
  EXPECT_TRUE(set->IsPasswordMode());
  EXPECT_TRUE(set->IsAutoSelAll());
  EXPECT_EQ(set->GetNativeEditBkColor(), 0x80FF0000u);
  // The label's text settings.
  EXPECT_EQ(set->GetTextStyle(), kTextSingleLine | kTextBottom | kTextRight);
  EXPECT_EQ(set->GetFont(), 2);
  EXPECT_EQ(set->GetTextColor(), 0xFF102030u);
  EXPECT_EQ(set->GetDisabledTextColor(), 0xFF405060u);
  EXPECT_EQ(set->GetTextPadding(), (UIRect{1, 2, 3, 4}));
  EXPECT_EQ(set->MeasureSize(UISize{300, 200}), (UISize{90, 40}));
  set->SetNumberOnly(false);
  EXPECT_EQ(set->GetEditStyle(), 0u);

  EXPECT_EQ(Edit(L"off")->GetControlTraits(), 0u);
}

TEST_F(EditControlTest, TabOrderWithoutFieldsKeepsTheText) {
  Build(L"<Window><VerticalLayout><Edit name=\"a\" text=\"C:\\Program Files\"/><Edit name=\"b\"/>"
        L"</VerticalLayout></Window>");
  manager_.MoveFocusToNext(true);
  EXPECT_EQ(manager_.GetFocus(), Edit(L"a"));
  manager_.MoveFocusToNext(true);
  EXPECT_EQ(manager_.GetFocus(), Edit(L"b"));
  EXPECT_EQ(Edit(L"a")->GetText(), CUIString(L"C:\\Program Files"));
  Edit(L"a")->SetText(L"D:\\x");
  EXPECT_EQ(Edit(L"a")->GetText(), CUIString(L"D:\\x"));
}

}  // namespace

namespace {

using namespace SkinUI;

TEST(RichEditControlTest, AttributesTraitsAndText) {
  CWindowManagerUI manager;
  manager.Init(nullptr);
  CDialogBuilder builder;
  CControlUI* root = builder.Create(
      L"<Window><VerticalLayout>"
      L"<RichEdit name=\"question\" readonly=\"true\" align=\"center\" text=\"Stop the download?\""
      L" textcolor=\" #FF112233\" textpadding=\"1,2,3,4\" height=\"40\"/>"
      L"<RichEdit name=\"notes\" vscrollbar=\"true\" autovscroll=\"true\" wantreturn=\"false\" rich=\"false\"/>"
      L"<RichEdit name=\"line\" multiline=\"false\" wanttab=\"false\" password=\"true\"/>"
      L"</VerticalLayout></Window>",
      nullptr, nullptr, &manager);
  ASSERT_NE(root, nullptr);
  manager.AttachRoot(root);
  manager.UpdateLayout(UIRect{0, 0, 300, 200});
  auto rich = [&](const wchar_t* name) { return static_cast<CRichEditUI*>(manager.FindControl(name)->GetInterface(L"RichEdit")); };

  CRichEditUI* question = rich(L"question");
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(question->GetWindowStyle(), 0x4u | 0x800u | 0x1u);
  EXPECT_TRUE(question->IsReadOnly());
  EXPECT_TRUE(question->IsWantTab());
  EXPECT_EQ(question->GetTextColor(), 0xFF112233u);
  EXPECT_EQ(question->GetTextRect(), (UIRect{1, 2, 297, 36}));
  EXPECT_EQ(question->GetLimitText(), 32767);
  // Read-only: no Tab stop and no Tab of its own, though it wants tabs.
  EXPECT_EQ(question->GetControlTraits(), kControlTraitSetCursor);
  // Natively there are no text services and the control keeps the text itself; under Wine the
  // services give the same text back.
  EXPECT_EQ(question->GetText(), CUIString(L"Stop the download?"));
  question->SetText(L"Really stop?");
  EXPECT_EQ(question->GetText(), CUIString(L"Really stop?"));
  // Enter goes to the services (it wants returns), which answer only where they exist.
  intptr_t result = 0;
  EXPECT_EQ(question->TxSendMessage(kMsgKeyDown, kKeyReturn, 0, result), question->HasTextServices());

  CRichEditUI* notes = rich(L"notes");
  EXPECT_EQ(notes->GetWindowStyle(), 0x4u | 0x202000u | 0x40u);
  EXPECT_FALSE(notes->IsWantReturn());
  EXPECT_FALSE(notes->IsRich());
  EXPECT_EQ(notes->GetControlTraits(), kControlTraitSetCursor | kControlTraitTabStop | kControlTraitWantsTab);

  CRichEditUI* line = rich(L"line");
  EXPECT_EQ(line->GetWindowStyle(), 0x20u);
  EXPECT_EQ(line->GetControlTraits(), kControlTraitSetCursor | kControlTraitTabStop);
  line->SetEnabled(false);
  EXPECT_EQ(line->GetControlTraits(), 0u);

  // Tab order from nothing: the read-only question is passed over.
  manager.MoveFocusToNext(true);
  EXPECT_EQ(manager.GetFocus(), notes);
}

}  // namespace
