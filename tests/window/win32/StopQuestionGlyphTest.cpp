// The stop dialog's question in every language, drawn by the rich edit as the dialog sets it up
// (the skin of the language's direction, the face of its script): every character comes out as
// a glyph of its own, never as the box the face draws for a character it lacks (the drawing of
// unassigned code points). The rich edit draws with its format's face alone, so a face without
// the script shows boxes where labels, which reach the linked faces, show the text. The
// questions are saved under build/<preset>/skin-paint/ for people to look at.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "Window/RichTextFace.h"
#include "common/Encoding.h"
#include "common/IniFile.h"
#include "skin_ui/DialogBuilder.h"
#include "skin_ui/RichEditUI.h"
#include "skin_ui/WindowManagerUI.h"
#include "skin_ui/preview/win32/EmbeddedArchives.h"
#include "tests/skin_ui/win32/PaintCanvas.h"

namespace {

using namespace SkinUI;
using namespace skintest::paint;

// The inked pixels of the question's text rectangle, row by row (a thin box is grey).
using Ink = std::vector<bool>;

// Code points no Unicode version assigns: every face draws its box for them.
const wchar_t* const kUnassigned[] = {L"\u0378", L"\u05ff", L"\u1cbb"};

// The stop dialog of one language, built as the dialog builds it, without a window.
class StopQuestion {
 public:
  explicit StopQuestion(const std::wstring& language) {
    std::wstring error;
    if (!LoadEmbeddedArchives(language, L"nexvale_stop_question_test", texts_, error)) {
      ADD_FAILURE() << encoding::WideToUtf8(error);
      return;
    }
    manager_.Init(nullptr);
    const std::wstring file = std::wstring(L"WinStopInstallBox") + (texts_.IsRightToLeft() ? L"_rtl" : L"") + L".xml";
    root_ = builder_.Create(file.c_str(), nullptr, nullptr, &manager_);
    if (!root_ || !manager_.AttachRoot(root_)) {
      ADD_FAILURE() << encoding::WideToUtf8(file) << " does not build";
      return;
    }
    const CXmlNode window = builder_.GetMarkup().GetRoot();
    for (int i = 0; i < window.GetAttributeCount(); ++i)
      manager_.SetWindowAttribute(window.GetAttributeName(i), window.GetAttributeValue(i));
    size_ = manager_.GetInitSize();
    manager_.UpdateLayout(UIRect{0, 0, size_.cx, size_.cy});
    CControlUI* control = manager_.FindControl(L"stop_lab_context");
    edit_ = control ? static_cast<CRichEditUI*>(control->GetInterface(L"RichEdit")) : nullptr;
    if (!edit_ || !edit_->HasTextServices()) {
      ADD_FAILURE() << "the question is no rich edit with text services";
      edit_ = nullptr;
      return;
    }
    GiveRichTextTheScriptFace(manager_, L"stop_lab_context", texts_.GetLanguage());
  }
  ~StopQuestion() { CWindowManagerUI::ResetSharedResources(); }

  bool ok() const { return edit_ != nullptr; }
  std::wstring Text() const { return texts_.GetLangText(L"STR_MSG_Context"); }
  std::wstring Face() const { return manager_.GetFontInfo(edit_->GetFont())->face.GetData(); }

  // The question showing `text`; saved as `name` when one is given.
  Ink Draw(const std::wstring& text, const std::wstring& name = L"") {
    edit_->SetText(text.c_str());
    Canvas canvas(size_.cx, size_.cy, 0xFFFFFF);
    root_->Paint(canvas.dc(), UIRect{0, 0, size_.cx, size_.cy}, nullptr);
    if (!name.empty()) canvas.Save(name);
    const UIRect area = edit_->GetTextRect();
    Ink ink;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) ink.push_back(ToRgb(canvas.At(x, y)).g < 192);
    return ink;
  }

 private:
  LanguageManager texts_;
  CWindowManagerUI manager_;
  CDialogBuilder builder_;
  CControlUI* root_ = nullptr;
  CRichEditUI* edit_ = nullptr;
  UISize size_{};
};

// Combining marks are drawn with the letter they sit on; alone they are no test of the face.
bool Spacing(wchar_t ch) {
  WORD type = 0;
  GetStringTypeW(CT_CTYPE3, &ch, 1, &type);
  return !(type & C3_NONSPACING) && !iswspace(ch);
}

std::vector<std::wstring> Languages() {
  LanguageManager english;
  std::wstring error;
  EXPECT_TRUE(LoadEmbeddedArchives(L"English", L"nexvale_stop_question_test", english, error))
      << encoding::WideToUtf8(error);
  std::set<std::wstring> names;
  for (const auto& [id, name] : ini::ReadSection(english.GetBasePath() + L"language.ini", L"Language"))
    names.insert(name);
  return {names.begin(), names.end()};
}

TEST(StopQuestionGlyphTest, EveryCharacterOfTheQuestionHasAGlyphInEveryLanguage) {
  const std::vector<std::wstring> languages = Languages();
  ASSERT_EQ(languages.size(), 14u);
  for (const std::wstring& language : languages) {
    SCOPED_TRACE(encoding::WideToUtf8(language));
    StopQuestion question(language);
    ASSERT_TRUE(question.ok());
    const std::wstring text = question.Text();
    ASSERT_FALSE(text.empty());
    std::vector<Ink> boxes;
    for (const wchar_t* unassigned : kUnassigned) boxes.push_back(question.Draw(unassigned));
    ASSERT_GT(std::count(boxes[0].begin(), boxes[0].end(), true), 0) << "the box shows";
    for (wchar_t ch : std::set<wchar_t>(text.begin(), text.end())) {
      if (!Spacing(ch)) continue;
      const Ink ink = question.Draw(std::wstring(1, ch));
      char code[8];
      snprintf(code, sizeof code, "%04X", static_cast<unsigned>(ch));
      const std::string face = encoding::WideToUtf8(question.Face());
      EXPECT_GT(std::count(ink.begin(), ink.end(), true), 0) << "U+" << code << " draws nothing in " << face;
      for (const Ink& box : boxes) EXPECT_NE(ink, box) << "U+" << code << " is drawn as the box of " << face;
    }
    question.Draw(text, L"stop-question-" + language);
  }
}

}  // namespace
