// The product's skins as the program meets them: read from the skin archive the build embeds,
// parsed by the toolkit's XML parser, built by its dialog builder and laid out at the window's
// size. Leaf controls the builder does not make itself come from the builder callback as
// stand-ins that know their element name and whether Tab stops at them; every leaf of the
// skins has a fixed size, so the layout is the one the real controls get.
#include <gtest/gtest.h>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb/stb_image.h>

#include <algorithm>
#include <cwchar>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/Encoding.h"
#include "common/IniFile.h"
#include "common/LanguageManager.h"
#include "skin_ui/ContainerUI.h"
#include "skin_ui/DialogBuilder.h"
#include "skin_ui/ResourceArchive.h"
#include "skin_ui/SkinArchive.h"
#include "skin_ui/ValueSyntax.h"
#include "skin_ui/WindowManagerUI.h"
#include "skin_ui/XmlDocument.h"
#include "tests/support/TestFiles.h"

namespace {

using namespace SkinUI;
using Attributes = std::map<std::wstring, std::wstring>;
using Size = std::pair<int32_t, int32_t>;

Size SizeOf(const UIRect& r) { return {r.Width(), r.Height()}; }

std::string Narrow(const std::wstring& text) { return encoding::WideToUtf8(text); }

std::wstring SourcePath(const std::string& relative) {
  return encoding::Utf8ToWide(std::string(NEXVALE_SOURCE_DIR) + "/" + relative);
}

// The archive the build embeds, set up once as the process's in-memory skin archive.
void UseEmbeddedSkinArchive() {
  static const bool loaded = [] {
    const std::string bytes = testsupport::ReadFileBytes(encoding::Utf8ToWide(NEXVALE_SKIN_ARCHIVE));
    return SetSkinArchiveMemory(bytes.data(), bytes.size());
  }();
  ASSERT_TRUE(loaded) << NEXVALE_SKIN_ARCHIVE;
}

// ---------------------------------------------------------------------------------------------
// Stand-ins for the leaf controls.

const wchar_t* const kLeafElements[] = {L"Label", L"Text",     L"Button",   L"Option",
                                        L"CheckBox", L"Edit", L"RichEdit", L"Progress"};

class StandInUI : public CControlUI {
 public:
  explicit StandInUI(std::wstring element) : element_(std::move(element)) {}
  const wchar_t* GetClass() const override { return element_.c_str(); }
  // As the leaf controls answer: buttons stop Tab while keyboard-enabled, edits while enabled.
  uint32_t GetControlTraits() const override {
    const bool button = element_ == L"Button" || element_ == L"Option" || element_ == L"CheckBox";
    const bool edit = element_ == L"Edit" || element_ == L"RichEdit";
    return (button && IsKeyboardEnabled()) || (edit && IsEnabled()) ? uint32_t{kControlTraitTabStop} : 0u;
  }

 private:
  std::wstring element_;
};

class StandIns : public IDialogBuilderCallback {
 public:
  CControlUI* CreateControl(const wchar_t* element) override {
    for (const wchar_t* leaf : kLeafElements)
      if (wcscmp(element, leaf) == 0) return new StandInUI(element);
    unknown.push_back(element);
    return nullptr;
  }
  std::vector<std::wstring> unknown;
};

// ---------------------------------------------------------------------------------------------
// The markup of one skin file and the files it includes, as plain tables.

struct MarkupElement {
  std::wstring tag;
  std::wstring file;
  Attributes attributes;
  const wchar_t* Get(const wchar_t* name) const {
    const auto found = attributes.find(name);
    return found == attributes.end() ? nullptr : found->second.c_str();
  }
};

struct FontSpec {
  std::wstring face;
  int size = 0;
  bool bold = false;
  bool isDefault = false;
  std::wstring Describe() const {
    return face + L"," + std::to_wstring(size) + (bold ? L",bold" : L",normal");
  }
};

class Markup {
 public:
  bool Load(const std::wstring& file) { return Read(file, true); }

  const MarkupElement* Find(const std::wstring& name) const {
    const auto found = named_.find(name);
    return found == named_.end() ? nullptr : &elements[found->second];
  }
  const std::map<std::wstring, size_t>& named() const { return named_; }
  FontSpec FontOf(const MarkupElement& element) const {
    const wchar_t* index = element.Get(L"font");
    const auto found = index ? fonts.find(ParseNumber(index)) : fonts.end();
    if (found != fonts.end()) return found->second;
    for (const auto& [id, font] : fonts)
      if (font.isDefault) return font;
    return FontSpec{};
  }

  Attributes window;
  std::map<int, FontSpec> fonts;
  int defaultFonts = 0;
  std::vector<std::wstring> filesWithFontsBelowTheRoot;
  std::vector<MarkupElement> elements;  // every control element, in document order
  std::vector<std::wstring> duplicateNames;
  std::wstring error;

 private:
  static Attributes AttributesOf(const CXmlNode& node) {
    Attributes attributes;
    for (int i = 0; i < node.GetAttributeCount(); ++i)
      attributes[node.GetAttributeName(i)] = node.GetAttributeValue(i);
    return attributes;
  }

  bool Read(const std::wstring& file, bool top) {
    CXmlDocument document;
    if (!document.LoadFromFile(file.c_str())) {
      error = file + L": " + document.GetLastErrorMessage();
      return false;
    }
    const CXmlNode root = document.GetRoot();
    if (top) window = AttributesOf(root);
    for (CXmlNode child = root.GetFirstChild(); child.IsValid(); child = child.GetNextSibling()) {
      if (wcscmp(child.GetName(), L"Font") != 0) continue;
      if (!top) {
        filesWithFontsBelowTheRoot.push_back(file);
        continue;
      }
      const Attributes a = AttributesOf(child);
      FontSpec font{a.count(L"name") ? a.at(L"name") : L"", a.count(L"size") ? ParseNumber(a.at(L"size").c_str()) : 12,
                    a.count(L"bold") && a.at(L"bold") == L"true",
                    a.count(L"default") && a.at(L"default") == L"true"};
      defaultFonts += font.isDefault;
      fonts[a.count(L"id") ? ParseNumber(a.at(L"id").c_str()) : -1] = font;
    }
    return Walk(root, file);
  }

  bool Walk(const CXmlNode& parent, const std::wstring& file) {
    for (CXmlNode node = parent.GetFirstChild(); node.IsValid(); node = node.GetNextSibling()) {
      const std::wstring tag = node.GetName();
      if (tag == L"Font" || tag == L"Default" || tag == L"Image" || tag == L"MultiLanguage") continue;
      if (tag == L"Include") {
        const wchar_t* source = node.GetAttributeValue(L"source");
        if (!source || !Read(source, false)) return false;
        continue;
      }
      MarkupElement element{tag, file, AttributesOf(node)};
      const wchar_t* name = element.Get(L"name");
      elements.push_back(element);
      if (name && *name && !named_.emplace(name, elements.size() - 1).second) duplicateNames.push_back(name);
      if (!Walk(node, file)) return false;
    }
    return true;
  }

  std::map<std::wstring, size_t> named_;
};

// ---------------------------------------------------------------------------------------------
// The windows, their states and what the code expects of them.

struct SkinState {
  const char* label;
  int page;                              // the page of "switch" shown; -1 for windows without pages
  std::vector<const wchar_t*> shown;     // hidden parts the code (or a later skin) shows
  int extraHeight;                       // the open customise panel grows the window
  std::vector<const wchar_t*> tabOrder;  // what Tab visits, from the first stop on
};

struct WindowSkin {
  const wchar_t* file;  // the left-to-right file without ".xml"; its twin adds "_rtl"
  Size size;
  UIRect caption;
  std::vector<const wchar_t*> addressed;  // names the code looks up
  std::vector<const wchar_t*> absent;     // names the code handles when present, left out
  std::vector<SkinState> states;
};

const std::vector<const wchar_t*> kHomeTabs = {L"btn_install", L"chk_agree", L"btn_lisence", L"chk_fold"};

const WindowSkin kWindows[] = {
    {L"main",
     {650, 360},
     {0, 0, 0, 290},
     {L"switch", L"bottomLayout", L"minbtn", L"closebtn", L"btn_install", L"btn_start", L"control_tip",
      L"lineLayout", L"customLayout", L"chk_agree", L"btn_lisence", L"chk_fold", L"label_path", L"edit_path",
      L"btn_browse", L"label_tip", L"banner", L"progress_download", L"label_install", L"label_progress",
      L"btn_stop"},
     {L"btn_hide", L"text_install", L"buttonLayout"},
     {{"home page", 0, {}, 0, kHomeTabs},
      {"home page, customise panel open",
       0,
       {L"bottomLayout"},
       75,
       {L"btn_install", L"chk_agree", L"btn_lisence", L"chk_fold", L"edit_path", L"btn_browse"}},
      {"home page, every hidden part shown",
       0,
       {L"bottomLayout", L"label_tip", L"btn_start", L"control_tip"},
       75,
       {L"btn_install", L"btn_start", L"chk_agree", L"btn_lisence", L"chk_fold", L"edit_path", L"btn_browse"}},
      {"progress page", 1, {}, 0, {L"btn_stop"}}}},
    {L"WinMessageBox",
     {400, 180},
     {0, 0, 0, 27},
     {L"btn_close_msb", L"label_title", L"edit_path_msb", L"btn_browse_msb", L"btn_install_msb"},
     {L"label_path_msb"},
     {{"as built", -1, {}, 0, {L"btn_install_msb", L"edit_path_msb", L"btn_browse_msb"}}}},
    {L"WinStopInstallBox",
     {278, 131},
     {0, 0, 0, 27},
     {L"stop_lab_context", L"btn_stop_ok", L"btn_stop_no"},
     {L"closebtn", L"minbtn"},
     {{"as built", -1, {}, 0, {L"stop_lab_context", L"btn_stop_ok", L"btn_stop_no"}}}},
};

std::wstring FileOf(const WindowSkin& window, bool rightToLeft) {
  return std::wstring(window.file) + (rightToLeft ? L"_rtl" : L"") + L".xml";
}

// ---------------------------------------------------------------------------------------------
// One skin built in one state.

class BuiltSkin {
 public:
  BuiltSkin(const std::wstring& file, const SkinState* state) : file_(file) {
    UseEmbeddedSkinArchive();
    manager_.Init(nullptr);
    root_ = builder_.Create(file.c_str(), nullptr, &standIns_, &manager_);
    if (!root_) return;
    manager_.AttachRoot(root_);
    if (!markup_.Load(file)) return;
    // The window host would pass these to the manager; without a window the test does.
    for (const auto& [name, value] : markup_.window) manager_.SetWindowAttribute(name.c_str(), value.c_str());
    int extraHeight = 0;
    if (state) {
      if (state->page >= 0) {
        auto* pages = static_cast<CTabLayoutUI*>(Find(L"switch")->GetInterface(L"TabLayout"));
        pages->SelectItem(state->page, false);
      }
      for (const wchar_t* name : state->shown) Find(name)->SetVisible(true);
      extraHeight = state->extraHeight;
    }
    const UISize size = manager_.GetInitSize();
    manager_.UpdateLayout(UIRect{0, 0, size.cx, size.cy + extraHeight});
    built_ = true;
  }

  bool built() const { return built_; }
  std::string Problem() const {
    return Narrow(file_ + L": " + builder_.GetLastErrorMessage() + L" " + markup_.error);
  }
  const Markup& markup() const { return markup_; }
  const std::vector<std::wstring>& unknownElements() const { return standIns_.unknown; }
  CWindowManagerUI& manager() { return manager_; }

  // The control by name; a failed lookup is a test failure and answers a dummy.
  CControlUI* Find(const std::wstring& name) {
    CControlUI* control = manager_.FindControl(name.c_str());
    if (control) return control;
    ADD_FAILURE() << Narrow(file_) << " has no control " << Narrow(name);
    return &missing_;
  }
  UIRect Pos(const std::wstring& name) { return Find(name)->GetPos(); }
  UIRect TextRect(const std::wstring& name) {
    UIRect rect = Pos(name);
    const MarkupElement* element = markup_.Find(name);
    const UIRect padding = element && element->Get(L"textpadding") ? ParseRect(element->Get(L"textpadding")) : UIRect{};
    return UIRect{rect.left + padding.left, rect.top + padding.top, rect.right - padding.right,
                  rect.bottom - padding.bottom};
  }

  // The controls Tab visits, from the first stop until it wraps.
  std::vector<std::wstring> TabOrder() {
    std::vector<std::wstring> order;
    manager_.SetFocus(nullptr, false);
    CControlUI* first = nullptr;
    for (int i = 0; i < 64; ++i) {
      manager_.MoveFocusToNext(true);
      CControlUI* focus = manager_.GetFocus();
      if (!focus || focus == first) break;
      if (!first) first = focus;
      order.push_back(focus->GetName().GetData());
    }
    return order;
  }

  // Every visible control of the tree, parents before children.
  std::vector<CControlUI*> VisibleControls() {
    std::vector<CControlUI*> found;
    root_->FindControl(
        [](CControlUI* control, void* data) -> CControlUI* {
          static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
          return nullptr;
        },
        &found, kFindVisible | kFindMeFirst);
    return found;
  }

 private:
  std::wstring file_;
  CWindowManagerUI manager_;
  CDialogBuilder builder_;
  StandIns standIns_;
  Markup markup_;
  CControlUI* root_ = nullptr;
  CControlUI missing_;
  bool built_ = false;
};

bool IsInside(CControlUI* control, CControlUI* ancestor) {
  for (CControlUI* c = control; c; c = c->GetParent())
    if (c == ancestor) return true;
  return false;
}

std::vector<std::wstring> Names(const std::vector<const wchar_t*>& names) { return {names.begin(), names.end()}; }

std::wstring RectText(const UIRect& r) {
  return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," + std::to_wstring(r.right) + L"," +
         std::to_wstring(r.bottom);
}

std::string Describe(const UIRect& r) { return "(" + Narrow(RectText(r)) + ")"; }

// ---------------------------------------------------------------------------------------------
// Every window in both directions.

class ProductSkinTest : public ::testing::TestWithParam<std::tuple<int, bool>> {
 protected:
  const WindowSkin& window() const { return kWindows[std::get<0>(GetParam())]; }
  bool rightToLeft() const { return std::get<1>(GetParam()); }
  std::wstring file() const { return FileOf(window(), rightToLeft()); }
};

TEST_P(ProductSkinTest, BuildsWithItsSizeCaptionAndNames) {
  BuiltSkin skin(file(), nullptr);
  ASSERT_TRUE(skin.built()) << skin.Problem();
  EXPECT_TRUE(skin.unknownElements().empty()) << "not a control: " << Narrow(skin.unknownElements()[0]);
  EXPECT_EQ(Size(skin.manager().GetInitSize().cx, skin.manager().GetInitSize().cy), window().size);
  EXPECT_EQ(skin.manager().GetCaptionRect(), window().caption);
  EXPECT_TRUE(skin.markup().duplicateNames.empty()) << "named twice: " << Narrow(skin.markup().duplicateNames[0]);
  for (const auto& [name, index] : skin.markup().named())
    EXPECT_NE(skin.manager().FindControl(name.c_str()), nullptr) << Narrow(name) << " was not built";
  for (const wchar_t* name : window().addressed) EXPECT_NE(skin.markup().Find(name), nullptr) << Narrow(name);
  for (const wchar_t* name : window().absent)
    EXPECT_EQ(skin.markup().Find(name), nullptr) << Narrow(name) << " must stay out of the shipped skin";
  EXPECT_TRUE(skin.markup().filesWithFontsBelowTheRoot.empty()) << "fonts belong to the window's own file";
}

TEST_P(ProductSkinTest, EveryLeafHasAFixedSize) {
  BuiltSkin skin(file(), nullptr);
  ASSERT_TRUE(skin.built()) << skin.Problem();
  for (const MarkupElement& element : skin.markup().elements) {
    if (element.tag == L"RichEdit") continue;  // measures like a plain control
    bool leaf = false;
    for (const wchar_t* name : kLeafElements) leaf = leaf || element.tag == name;
    if (!leaf) continue;
    const bool placed = element.Get(L"pos") && element.Get(L"float") && wcscmp(element.Get(L"float"), L"true") == 0;
    const bool sized = element.Get(L"width") && element.Get(L"height");
    EXPECT_TRUE(placed || sized) << Narrow(element.tag) << " " << Narrow(element.Get(L"name") ? element.Get(L"name") : L"")
                                 << " in " << Narrow(element.file) << " takes its size from its text";
  }
}

TEST_P(ProductSkinTest, TabOrderAndCaptionBandInEveryState) {
  for (const SkinState& state : window().states) {
    SCOPED_TRACE(state.label);
    BuiltSkin skin(file(), &state);
    ASSERT_TRUE(skin.built()) << skin.Problem();
    EXPECT_EQ(skin.TabOrder(), Names(state.tabOrder));
    // A press in the caption band drags the window unless it lands on a Button, Option or Text,
    // so every other control that takes input sits below the band.
    const int32_t band = window().caption.bottom;
    for (CControlUI* control : skin.VisibleControls()) {
      if (!(control->GetControlTraits() & kControlTraitTabStop)) continue;
      const std::wstring kind = control->GetClass();
      if (kind == L"Button" || kind == L"Option" || kind == L"Text") continue;
      EXPECT_GE(control->GetPos().top, band) << Narrow(control->GetName().GetData()) << " at "
                                             << Describe(control->GetPos()) << " is inside the caption band";
    }
  }
}

TEST_P(ProductSkinTest, FontsStartAtZeroWithOneDefaultAndTheDirectionsFace) {
  BuiltSkin skin(file(), nullptr);
  ASSERT_TRUE(skin.built()) << skin.Problem();
  const Markup& markup = skin.markup();
  ASSERT_FALSE(markup.fonts.empty());
  EXPECT_EQ(markup.fonts.begin()->first, 0);
  EXPECT_EQ(markup.fonts.rbegin()->first, static_cast<int>(markup.fonts.size()) - 1) << "ids without gaps";
  EXPECT_EQ(markup.defaultFonts, 1);
  for (const auto& [id, font] : markup.fonts) {
    EXPECT_EQ(font.face, rightToLeft() ? L"Tahoma" : L"Segoe UI") << id;
    EXPECT_LE(font.face.size(), 31u);
    EXPECT_GT(font.size, 0);
    const UIFontInfo* made = skin.manager().GetFontInfo(id);
    ASSERT_NE(made, nullptr) << id;
    EXPECT_EQ(made->face.GetData(), font.face);
    EXPECT_EQ(made->size, font.size);
  }
  for (const MarkupElement& element : markup.elements) {
    const wchar_t* index = element.Get(L"font");
    if (index) {
      EXPECT_EQ(markup.fonts.count(ParseNumber(index)), 1u) << Narrow(index);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Skins, ProductSkinTest, ::testing::Combine(::testing::Range(0, 3), ::testing::Bool()),
                         [](const auto& info) {
                           return Narrow(kWindows[std::get<0>(info.param)].file) + (std::get<1>(info.param) ? "_rtl" : "");
                         });

// ---------------------------------------------------------------------------------------------
// What the code and the look ask of single windows.

class ProductSkinDirectionTest : public ::testing::TestWithParam<bool> {};

TEST_P(ProductSkinDirectionTest, MainWindowPagesPanelAndCaptionButtons) {
  const WindowSkin& main = kWindows[0];
  BuiltSkin skin(FileOf(main, GetParam()), &main.states[0]);
  ASSERT_TRUE(skin.built()) << skin.Problem();
  auto* pages = static_cast<CTabLayoutUI*>(skin.Find(L"switch")->GetInterface(L"TabLayout"));
  ASSERT_NE(pages, nullptr);
  ASSERT_EQ(pages->GetCount(), 2);
  EXPECT_EQ(pages->GetCurSel(), 0);
  EXPECT_TRUE(IsInside(skin.Find(L"btn_install"), pages->GetItemAt(0)));
  EXPECT_TRUE(IsInside(skin.Find(L"chk_fold"), pages->GetItemAt(0)));
  EXPECT_TRUE(IsInside(skin.Find(L"banner"), pages->GetItemAt(1)));
  EXPECT_TRUE(IsInside(skin.Find(L"btn_stop"), pages->GetItemAt(1)));
  BuiltSkin progress(FileOf(main, GetParam()), &main.states[3]);
  EXPECT_EQ(progress.Pos(L"banner"), (UIRect{0, 0, 650, 290}));

  CControlUI* panel = skin.Find(L"bottomLayout");
  EXPECT_STREQ(panel->GetClass(), L"VerticalLayout");
  EXPECT_EQ(panel->GetFixedHeight(), 75);
  EXPECT_FALSE(panel->IsVisible());
  EXPECT_EQ(panel->GetParent(), pages->GetParent()) << "the panel sits below the pages";
  for (const wchar_t* name : {L"label_path", L"edit_path", L"btn_browse", L"label_tip"})
    EXPECT_TRUE(IsInside(skin.Find(name), panel)) << Narrow(name);
  EXPECT_FALSE(skin.Find(L"label_tip")->IsVisible());
  const MarkupElement* path = skin.markup().Find(L"edit_path");
  EXPECT_STREQ(path->Get(L"bordersize"), L"1");
  EXPECT_STREQ(path->Get(L"borderround"), L"2,2");
  EXPECT_STREQ(path->Get(L"focusbordercolor"), L"#FF4858EC");
  EXPECT_STREQ(path->Get(L"readonly"), L"true");

  EXPECT_FALSE(skin.Find(L"btn_start")->IsVisible());
  EXPECT_EQ(skin.Pos(L"btn_start"), UIRect{}) << "hidden until the end";
  EXPECT_EQ(skin.markup().Find(L"btn_start")->attributes.at(L"pos"), skin.markup().Find(L"btn_install")->attributes.at(L"pos"));
  EXPECT_FALSE(skin.Find(L"control_tip")->IsVisible());
  const UIRect tip = ParseRect(skin.markup().Find(L"control_tip")->Get(L"pos"));
  EXPECT_EQ(SizeOf(tip), Size(520, 36));

  // Minimise and close: one strip over both pages, never a Tab stop.
  for (const wchar_t* name : {L"minbtn", L"closebtn"}) {
    EXPECT_FALSE(IsInside(skin.Find(name), pages)) << Narrow(name);
    EXPECT_FALSE(skin.Find(name)->IsKeyboardEnabled()) << Narrow(name);
    EXPECT_EQ(skin.Pos(name).top, 0);
  }
  auto* root = static_cast<CContainerUI*>(pages->GetParent()->GetInterface(L"Container"));
  ASSERT_NE(root, nullptr);
  EXPECT_LT(root->GetItemIndex(pages), root->GetItemIndex(skin.Find(L"minbtn")->GetParent()))
      << "the strip is drawn over the pages";
  const UIRect minimise = skin.Pos(L"minbtn");
  const UIRect close = skin.Pos(L"closebtn");
  if (GetParam()) {
    EXPECT_EQ(close.left, 0) << "close sits in the outer corner";
    EXPECT_EQ(close.right, minimise.left);
  } else {
    EXPECT_EQ(close.right, 650) << "close sits in the outer corner";
    EXPECT_EQ(minimise.right, close.left);
  }
}

TEST_P(ProductSkinDirectionTest, StopDialogRowsAndButtons) {
  const WindowSkin& stop = kWindows[2];
  BuiltSkin skin(FileOf(stop, GetParam()), &stop.states[0]);
  ASSERT_TRUE(skin.built()) << skin.Problem();
  EXPECT_STREQ(skin.markup().Find(L"root")->Get(L"inset"), L"1,1,1,1");
  EXPECT_EQ(skin.Pos(L"titleLayout"), (UIRect{1, 1, 277, 27}));
  EXPECT_EQ(skin.Pos(L"titleLayout").bottom, stop.caption.bottom) << "the caption is the title band";
  EXPECT_EQ(skin.Pos(L"buttonsLayout").Width(), 276);
  const UIRect yes = skin.Pos(L"btn_stop_ok");
  const UIRect no = skin.Pos(L"btn_stop_no");
  EXPECT_EQ(SizeOf(yes), Size(74, 26));
  EXPECT_EQ(SizeOf(no), Size(74, 26));
  EXPECT_EQ(GetParam() ? yes.left - no.right : no.left - yes.right, 16);
  CControlUI* question = skin.Find(L"stop_lab_context");
  EXPECT_STREQ(question->GetClass(), L"RichEdit");
  EXPECT_STREQ(skin.markup().Find(L"stop_lab_context")->Get(L"readonly"), L"true");
  EXPECT_STREQ(skin.markup().Find(L"stop_lab_context")->Get(L"align"), L"center");
  // The row between the title and the 24-pixel gap.
  EXPECT_EQ(question->GetPos().top, 27);
  EXPECT_EQ(skin.Pos(L"buttonsLayout").top - question->GetPos().bottom, 24);
}

INSTANTIATE_TEST_SUITE_P(Directions, ProductSkinDirectionTest, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "RightToLeft" : "LeftToRight"); });

// ---------------------------------------------------------------------------------------------
// The right-to-left twins.

// The horizontal text alignment an element draws with: its own, or its class's default.
std::wstring AlignOf(const MarkupElement& element) {
  if (const wchar_t* align = element.Get(L"align")) return align;
  const std::wstring& tag = element.tag;
  const bool centred = tag == L"Button" || tag == L"Option" || tag == L"CheckBox";
  return centred ? L"center" : L"left";
}

std::wstring MirroredAlign(const std::wstring& align) {
  return align == L"left" ? L"right" : align == L"right" ? L"left" : align;
}

// Image descriptions: "file='...' dest='...'" items, or a bare file name.
struct ImageDescription {
  std::wstring file;
  std::map<std::wstring, std::wstring> items;
};

ImageDescription ScanDescription(const std::wstring& text) {
  ImageDescription description{text, {}};
  size_t at = 0;
  while (true) {
    const size_t equals = text.find(L"='", at);
    if (equals == std::wstring::npos) break;
    const size_t close = text.find(L'\'', equals + 2);
    if (close == std::wstring::npos) break;
    const size_t keyStart = text.find_first_not_of(L' ', at);
    description.items[text.substr(keyStart, equals - keyStart)] = text.substr(equals + 2, close - equals - 2);
    at = close + 1;
  }
  if (description.items.count(L"file")) description.file = description.items.at(L"file");
  return description;
}

const wchar_t* const kImageAttributes[] = {L"bkimage",       L"foreimage",     L"normalimage",     L"hotimage",
                                           L"pushedimage",   L"focusedimage",  L"disabledimage",   L"selectedimage",
                                           L"selectedhotimage", L"hotforeimage", L"pushedforeimage", L"fivestatusimage"};

bool IsImageAttribute(const std::wstring& name) {
  for (const wchar_t* image : kImageAttributes)
    if (name == image) return true;
  return false;
}

// The element's own width, from its position or its fixed width.
int32_t WidthOf(const MarkupElement& element) {
  if (const wchar_t* pos = element.Get(L"pos")) return ParseRect(pos).Width();
  return element.Get(L"width") ? ParseNumber(element.Get(L"width")) : 0;
}

// The twin's attribute value as the left-to-right one mirrors into.
bool IsInsets(const std::wstring& name) { return name == L"padding" || name == L"inset" || name == L"textpadding"; }

std::wstring MirroredValue(const MarkupElement& ltr, const std::wstring& name, const std::wstring& value) {
  if (IsInsets(name)) {
    const UIRect r = ParseRect(value.c_str());
    return RectText(UIRect{r.right, r.top, r.left, r.bottom});
  }
  if (ltr.tag == L"Progress" && name == L"value") {
    const int32_t max = ltr.Get(L"max") ? ParseNumber(ltr.Get(L"max")) : 100;
    const int32_t min = ltr.Get(L"min") ? ParseNumber(ltr.Get(L"min")) : 0;
    return std::to_wstring(max + min - ParseNumber(value.c_str()));
  }
  if (IsImageAttribute(name) && value.find(L"dest='") != std::wstring::npos) {
    const ImageDescription d = ScanDescription(value);
    const UIRect dest = ParseRect(d.items.at(L"dest").c_str());
    const int32_t width = WidthOf(ltr);
    const std::wstring mirrored = RectText(UIRect{width - dest.right, dest.top, width - dest.left, dest.bottom});
    std::wstring result = value;
    const size_t at = result.find(L"dest='") + 6;
    return result.replace(at, result.find(L'\'', at) - at, mirrored);
  }
  return value;
}

std::wstring Normalised(const std::wstring& name, const std::wstring& value) {
  return IsInsets(name) ? RectText(ParseRect(value.c_str())) : value;
}

class ProductSkinMirrorTest : public ::testing::TestWithParam<int> {
 protected:
  const WindowSkin& window() const { return kWindows[GetParam()]; }
};

TEST_P(ProductSkinMirrorTest, NamedRectanglesMirrorTheirTwins) {
  std::set<std::wstring> names, laidOut;
  for (const SkinState& state : window().states) {
    SCOPED_TRACE(state.label);
    BuiltSkin ltr(FileOf(window(), false), &state);
    BuiltSkin rtl(FileOf(window(), true), &state);
    ASSERT_TRUE(ltr.built() && rtl.built()) << ltr.Problem() << rtl.Problem();
    std::set<std::wstring> ltrNames, rtlNames;
    for (const auto& [name, index] : ltr.markup().named()) ltrNames.insert(name);
    for (const auto& [name, index] : rtl.markup().named()) rtlNames.insert(name);
    EXPECT_EQ(ltrNames, rtlNames) << "the twins carry the same names";
    const int32_t width = window().size.first;
    names.insert(ltrNames.begin(), ltrNames.end());
    for (const std::wstring& name : ltrNames) {
      if (!rtlNames.count(name)) continue;
      const UIRect a = ltr.Pos(name);
      const UIRect b = rtl.Pos(name);
      if (a.IsEmpty() && b.IsEmpty()) continue;  // not laid out in this state
      laidOut.insert(name);
      const bool mirrored = std::abs(b.left - (width - a.right)) <= 2 && std::abs(b.right - (width - a.left)) <= 2 &&
                            a.top == b.top && a.bottom == b.bottom;
      EXPECT_TRUE(mirrored) << Narrow(name) << ": " << Describe(a) << " mirrors into " << Describe(b);
    }
  }
  for (const std::wstring& name : names) EXPECT_EQ(laidOut.count(name), 1u) << Narrow(name) << " is never laid out";
}

TEST_P(ProductSkinMirrorTest, TwinsDifferOnlyByDirectionFaceAndSwappedProgressPictures) {
  BuiltSkin ltr(FileOf(window(), false), nullptr);
  BuiltSkin rtl(FileOf(window(), true), nullptr);
  ASSERT_TRUE(ltr.built() && rtl.built()) << ltr.Problem() << rtl.Problem();
  EXPECT_EQ(ltr.markup().window, rtl.markup().window);
  ASSERT_EQ(ltr.markup().fonts.size(), rtl.markup().fonts.size());
  for (const auto& [id, font] : ltr.markup().fonts) {
    const FontSpec& twin = rtl.markup().fonts.at(id);
    EXPECT_EQ(std::make_tuple(font.size, font.bold, font.isDefault), std::make_tuple(twin.size, twin.bold, twin.isDefault))
        << id;
  }
  for (const auto& [name, index] : ltr.markup().named()) {
    SCOPED_TRACE(Narrow(name));
    const MarkupElement& a = ltr.markup().elements[index];
    const MarkupElement* b = rtl.markup().Find(name);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a.tag, b->tag);
    const bool drawsText = a.tag != L"Progress" && std::count(std::begin(kLeafElements), std::end(kLeafElements), a.tag);
    if (drawsText) {
      EXPECT_EQ(MirroredAlign(AlignOf(a)), AlignOf(*b)) << "text alignment mirrors";
    }
    std::set<std::wstring> attributes;
    for (const auto& [key, value] : a.attributes) attributes.insert(key);
    for (const auto& [key, value] : b->attributes) attributes.insert(key);
    for (const std::wstring& key : attributes) {
      if (key == L"pos" || key == L"align") continue;  // compared as rectangles and above
      std::wstring source = key;
      if (a.tag == L"Progress" && key == L"bkimage") source = L"foreimage";
      if (a.tag == L"Progress" && key == L"foreimage") source = L"bkimage";
      const wchar_t* ltrValue = a.Get(source.c_str());
      const wchar_t* rtlValue = b->Get(key.c_str());
      ASSERT_TRUE(ltrValue && rtlValue) << Narrow(key) << " is set in one twin only";
      EXPECT_EQ(Normalised(key, MirroredValue(a, key, ltrValue)), Normalised(key, rtlValue)) << Narrow(key);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Windows, ProductSkinMirrorTest, ::testing::Range(0, 3),
                         [](const auto& info) { return Narrow(kWindows[info.param].file); });

// ---------------------------------------------------------------------------------------------
// Pictures.

TEST(ProductSkinPicturesTest, EveryPictureIsInTheArchiveDecodesAndIsDrawnAtItsOwnSize) {
  std::set<std::wstring> used;
  for (const WindowSkin& window : kWindows) {
    for (bool rightToLeft : {false, true}) {
      BuiltSkin skin(FileOf(window, rightToLeft), nullptr);
      ASSERT_TRUE(skin.built()) << skin.Problem();
      for (const MarkupElement& element : skin.markup().elements) {
        for (const auto& [attribute, value] : element.attributes) {
          if (!IsImageAttribute(attribute)) continue;
          const ImageDescription description = ScanDescription(value);
          SCOPED_TRACE(Narrow(element.file + L" " + attribute + L"=" + value));
          std::wstring file = description.file;
          for (wchar_t& c : file) c = c == L'\\' ? L'/' : c;
          used.insert(file);
          std::string bytes;
          std::wstring error;
          ASSERT_TRUE(ReadSkinFile(description.file.c_str(), bytes, error)) << Narrow(error);
          ASSERT_EQ(bytes.compare(0, 8, "\x89PNG\r\n\x1a\n"), 0) << "a PNG";
          int w = 0, h = 0, channels = 0;
          stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                                  static_cast<int>(bytes.size()), &w, &h, &channels, 4);
          ASSERT_NE(pixels, nullptr) << stbi_failure_reason();
          stbi_image_free(pixels);
          // Stretched pictures keep their corners whole; the others are drawn pixel for pixel.
          if (description.items.count(L"corner")) {
            const UIRect corner = ParseRect(description.items.at(L"corner").c_str());
            EXPECT_LT(corner.left + corner.right, w);
            EXPECT_LE(corner.top + corner.bottom, h);
          } else if (description.items.count(L"dest")) {
            const UIRect dest = ParseRect(description.items.at(L"dest").c_str());
            EXPECT_EQ(SizeOf(dest), Size(w, h));
            EXPECT_LE(dest.right, WidthOf(element));
          } else {
            const int32_t height = element.Get(L"pos") ? ParseRect(element.Get(L"pos")).Height()
                                                       : ParseNumber(element.Get(L"height") ? element.Get(L"height") : L"");
            EXPECT_EQ(Size(WidthOf(element), height), Size(w, h)) << "drawn at its own size";
          }
        }
      }
    }
  }
  // Every picture the archive carries is drawn by some skin.
  const std::string bytes = testsupport::ReadFileBytes(encoding::Utf8ToWide(NEXVALE_SKIN_ARCHIVE));
  ArchiveHandle archive = OpenArchive(bytes.data(), static_cast<uint32_t>(bytes.size()), kArchiveSourceMemory);
  ASSERT_NE(archive, nullptr);
  ArchiveEntry count;
  ASSERT_EQ(DescribeEntry(archive, -1, &count), kArchiveOk);
  for (int i = 0; i < count.index; ++i) {
    ArchiveEntry entry;
    ASSERT_EQ(DescribeEntry(archive, i, &entry), kArchiveOk);
    const std::wstring name = entry.name;
    if (name.rfind(L"img/", 0) == 0 && name.back() != L'/') {
      EXPECT_EQ(used.count(name), 1u) << Narrow(name) << " is packed but no skin draws it";
    }
  }
  CloseArchive(archive);
}

// ---------------------------------------------------------------------------------------------
// Text fit: every text the code sets, and every text a skin carries, in every language.

std::vector<std::vector<std::wstring>> ReadTable(const std::string& relative) {
  std::vector<std::vector<std::wstring>> rows;
  std::istringstream lines(testsupport::ReadFileBytes(SourcePath(relative)));
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::wstring> cells;
    std::istringstream fields(line);
    for (std::string cell; std::getline(fields, cell, '\t');) cells.push_back(encoding::Utf8ToWide(cell));
    rows.push_back(cells);
  }
  return rows;
}

// The text a binding shows: {KEY} filled from the language, the message line shortened.
std::wstring Shown(const LanguageManager& texts, const std::wstring& how, const std::wstring& pattern) {
  std::wstring text;
  for (size_t at = 0; at < pattern.size();) {
    const size_t open = pattern.find(L"{STR_", at);
    if (open == std::wstring::npos) {
      text += pattern.substr(at);
      break;
    }
    const size_t close = pattern.find(L'}', open);
    text += pattern.substr(at, open - at) + texts.GetLangText(pattern.substr(open + 1, close - open - 1));
    at = close + 1;
  }
  if (how == L"short24" && text.size() > 24) text = text.substr(0, 24) + L"...";
  return text;
}

TEST(ProductSkinTextFitTest, EveryTextFitsInEveryLanguageAndTheMeasuresAreCurrent) {
  // (window, language, control) -> the text as the program shows it now.
  std::map<std::tuple<std::wstring, std::wstring, std::wstring>, std::wstring> expected;
  const std::wstring config = SourcePath("resources/config/");
  const ini::SectionTable languages = ini::ReadSection(config + L"language.ini", L"Language");
  ASSERT_EQ(languages.size(), 14u);
  const auto bindings = ReadTable("tests/skin_ui/skin_texts.tsv");
  for (const auto& [id, language] : languages) {
    LanguageManager texts;
    texts.Init(config, id);
    ASSERT_EQ(texts.GetLanguage(), language);
    for (const WindowSkin& window : kWindows) {
      for (const auto& row : bindings)
        if (row.at(0) == window.file) expected[{window.file, language, row.at(1)}] = Shown(texts, row.at(2), row.at(3));
      BuiltSkin skin(FileOf(window, texts.IsRightToLeft()), nullptr);
      for (const auto& [name, index] : skin.markup().named())
        if (const wchar_t* text = skin.markup().elements[index].Get(L"text"))
          expected[{window.file, language, name}] = text;
    }
  }

  const auto measures = ReadTable("tests/skin_ui/skin_text_widths.tsv");
  std::set<std::tuple<std::wstring, std::wstring, std::wstring>> measured;
  std::map<std::wstring, std::vector<std::unique_ptr<BuiltSkin>>> built;  // file -> its states
  for (const auto& row : measures) {
    ASSERT_EQ(row.size(), 8u);
    const std::wstring& window = row[0];
    const std::wstring& language = row[1];
    const std::wstring& control = row[2];
    const std::string where = Narrow(language + L" " + window + L" " + control);
    measured.insert({window, language, control});
    const auto text = expected.find({window, language, control});
    ASSERT_NE(text, expected.end()) << where << " is measured but shows no text";
    ASSERT_EQ(row[7], text->second) << where << ": the text changed; run scripts/measure_skin_texts.py";

    // The skin in the first state that lays the control out.
    const WindowSkin* skinWindow = nullptr;
    for (const WindowSkin& w : kWindows) skinWindow = window == w.file ? &w : skinWindow;
    ASSERT_NE(skinWindow, nullptr);
    const std::wstring file = FileOf(*skinWindow, language == L"Arabic");
    auto& states = built[file];
    if (states.empty())
      for (const SkinState& state : skinWindow->states) states.push_back(std::make_unique<BuiltSkin>(file, &state));
    BuiltSkin* skin = nullptr;
    for (auto& s : states)
      if (!skin && s->manager().FindControl(control.c_str()) && !s->Pos(control).IsEmpty()) skin = s.get();
    ASSERT_NE(skin, nullptr) << where << " is never laid out";

    const MarkupElement* element = skin->markup().Find(control);
    EXPECT_EQ(row[3], skin->markup().FontOf(*element).Describe()) << where << ": measured in another font";
    const UIRect room = skin->TextRect(control);
    const int32_t need = ParseNumber(row[4].c_str());
    const int32_t height = ParseNumber(row[6].c_str());
    EXPECT_LE(need, room.Width()) << where << " needs " << need << " px, has " << room.Width() << ": "
                                  << Narrow(row[7]);
    EXPECT_LE(height, room.Height()) << where << " needs " << height << " px high, has " << room.Height();
    for (const auto& binding : bindings) {
      if (binding[0] == window && binding[1] == control && binding[2].rfind(L"wrap=", 0) == 0) {
        EXPECT_EQ(ParseNumber(binding[2].c_str() + 5), room.Width()) << where << " was wrapped at another width";
      }
    }
  }
  for (const auto& [key, text] : expected)
    EXPECT_EQ(measured.count(key), 1u) << Narrow(std::get<1>(key) + L" " + std::get<0>(key) + L" " + std::get<2>(key))
                                       << " is not measured; run scripts/measure_skin_texts.py";
}

}  // namespace
