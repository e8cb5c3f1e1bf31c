#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin_ui/ContainerUI.h"
#include "skin_ui/DialogBuilder.h"
#include "skin_ui/SkinArchive.h"
#include "skin_ui/WindowManagerUI.h"
#include "tests/skin_ui/ImageFixtures.h"
#include "tests/support/ZipBuilder.h"

namespace {

using namespace SkinUI;
using testsupport::ZipBuilder;

class DialogBuilderTest : public ::testing::Test {
 protected:
  void SetUp() override { manager_.Init(nullptr); }
  void TearDown() override {
    ResetSkinSource();
    CWindowManagerUI::ResetSharedResources();
  }
  CControlUI* Build(const wchar_t* skin, IDialogBuilderCallback* callback = nullptr) {
    CControlUI* root = builder_.Create(skin, nullptr, callback, &manager_);
    if (root) manager_.AttachRoot(root);
    return root;
  }
  void UseArchive(const std::string& zip) { ASSERT_TRUE(SetSkinArchiveMemory(zip.data(), zip.size())); }

  CWindowManagerUI manager_;
  CDialogBuilder builder_;
};

int CountNamed(CContainerUI* box, const wchar_t* name) {
  int n = 0;
  for (int i = 0; i < box->GetCount(); ++i) n += box->GetItemAt(i)->GetName() == name;
  return n;
}

TEST_F(DialogBuilderTest, IncludeWithCountThreeAddsThreeCopiesToTheEnclosingLayout) {
  UseArchive(ZipBuilder()
                 .File("skin/main.xml",
                       "<Window size=\"540,246\"><VerticalLayout>"
                       "<HorizontalLayout name=\"row\">"
                       "<Control name=\"before\"/>"
                       "<Include source=\"skin\\home.xml\" count=\"3\"/>"
                       "<Include count=\"2\"/>"
                       "</HorizontalLayout></VerticalLayout></Window>")
                 .File("skin/home.xml",
                       "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Window>"
                       "<Font id=\"4\" name=\"Included\" size=\"13\"/>"
                       "<Default name=\"Control\" value=\"height=&quot;7&quot;\"/>"
                       "<Control name=\"home\" width=\"5\"/><Control name=\"tail\"/></Window>")
                 .Build());
  CControlUI* root = Build(L"skin/main.xml");
  ASSERT_NE(root, nullptr) << builder_.GetLastErrorMessage();
  auto* row = static_cast<CContainerUI*>(manager_.FindControl(L"row"));
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->GetCount(), 7);
  EXPECT_EQ(row->GetItemAt(0)->GetName(), L"before");
  EXPECT_EQ(CountNamed(row, L"home"), 3);
  EXPECT_EQ(CountNamed(row, L"tail"), 3);
  EXPECT_EQ(row->GetItemAt(1)->GetParent(), row);
  // The included document's resources reach the window; its Default applies to its controls.
  ASSERT_NE(manager_.GetFontInfo(4), nullptr);
  EXPECT_EQ(manager_.GetFontInfo(4)->face, L"Included");
  EXPECT_EQ(row->GetItemAt(1)->GetFixedHeight(), 7);
  EXPECT_EQ(row->GetItemAt(1)->GetFixedWidth(), 5);
}

TEST_F(DialogBuilderTest, IncludeOfAMissingSourceAddsNothing) {
  UseArchive(ZipBuilder().File("main.xml", "<Window/>").Build());
  CControlUI* root = Build(L"<Window><HorizontalLayout><Include source=\"nothere.xml\" count=\"3\"/>"
                           L"<Control/></HorizontalLayout></Window>");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(static_cast<CContainerUI*>(root)->GetCount(), 1);
}

TEST_F(DialogBuilderTest, FontsDefaultsAndReplacement) {
  const std::wstring longFace(40, L'F');
  const std::wstring skin = L"<Window>"
                            L"<Font id=\"0\" name=\"Arial\" size=\"14\" bold=\"true\" default=\"ture\"/>"
                            L"<Font id=\"1\" name=\"Tahoma\" underline=\"TRUE\" italic=\"True\" default=\"TRUE\"/>"
                            L"<Font id=\"1\" name=\"Verdana\" size=\"15\"/>"
                            L"<Font id=\"2\"/>"
                            L"<Font name=\"NoId\"/>"
                            L"<Font id=\"3\" name=\"" + longFace + L"\" shared=\"true\"/>"
                            L"<VerticalLayout><Font id=\"9\" name=\"Nested\"/></VerticalLayout>"
                            L"</Window>";
  ASSERT_NE(Build(skin.c_str()), nullptr);
  const UIFontInfo* arial = manager_.GetFontInfo(0);
  ASSERT_NE(arial, nullptr);
  EXPECT_EQ(arial->face, L"Arial");
  EXPECT_EQ(arial->size, 14);
  EXPECT_TRUE(arial->bold);
  const UIFontInfo* defaults = manager_.GetDefaultFontInfo();
  ASSERT_NE(defaults, nullptr);
  EXPECT_EQ(defaults->face, L"Tahoma");
  EXPECT_EQ(defaults->size, 12);
  EXPECT_TRUE(defaults->underline);
  EXPECT_TRUE(defaults->italic);
  EXPECT_EQ(manager_.GetFontInfo(1)->face, L"Verdana");  // replaced under its id
  EXPECT_EQ(manager_.GetFontInfo(1)->size, 15);
  EXPECT_EQ(manager_.GetFontInfo(2), defaults);  // no face: not added, the default answers
  EXPECT_EQ(manager_.GetFontInfo(9), defaults);  // resource elements count only under the root
  const UIFontInfo* shared = manager_.GetFontInfo(3);
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(shared->face.GetLength(), kMaxFontFaceLength);
  CWindowManagerUI other;
  other.Init(nullptr);
  EXPECT_EQ(other.GetFontInfo(3), shared);  // the process-wide table
  EXPECT_EQ(other.GetFontInfo(0), nullptr);
}

TEST_F(DialogBuilderTest, DefaultListsComeBeforeTheElementsOwnAttributes) {
  UseArchive(ZipBuilder().File("logo.png", skintest::EncodePng(1, 1, {255, 0, 255, 255})).Build());
  CControlUI* root = Build(L"<Window>"
                           L"<Default name=\"Control\" value=\"width=&quot;1&quot; height=&quot;2&quot;\"/>"
                           L"<Default name=\"Control\" value=\"width=&quot;3&quot; height=&quot;4&quot;\"/>"
                           L"<Default name=\"HorizontalLayout\" value=\"childpadding=&quot;6&quot;\" shared=\"true\"/>"
                           L"<Image name=\"logo.png\" mask=\"#FFFF00FF\"/>"
                           L"<MultiLanguage id=\"7\" value=\"Seven\"/>"
                           L"<VerticalLayout><Control name=\"a\" height=\"9\"/><HorizontalLayout name=\"h\"/>"
                           L"</VerticalLayout></Window>");
  ASSERT_NE(root, nullptr);
  CControlUI* a = manager_.FindControl(L"a");
  EXPECT_EQ(a->GetFixedWidth(), 3);
  EXPECT_EQ(a->GetFixedHeight(), 9);
  EXPECT_EQ(static_cast<CContainerUI*>(manager_.FindControl(L"h"))->GetChildPadding(), 6);
  const UIImagePtr logo = manager_.GetImage(L"logo.png");
  ASSERT_NE(logo, nullptr);
  EXPECT_EQ(logo->mask, 0xFFFF00FFu);
  EXPECT_EQ(logo->pixels[0], 0u);  // the mask colour keyed out
  EXPECT_EQ(std::wstring(CWindowManagerUI::GetMultiLanguageString(7)), L"Seven");
}

// Creates the elements the builder does not know and records what it was asked.
class RecordingCallback : public IDialogBuilderCallback {
 public:
  class Probe : public CControlUI {
   public:
    void SetAttribute(const wchar_t* name, const wchar_t* value) override {
      if (std::wstring(name) == L"probe") {
        parentAtAttributes = GetParent();
        managerAtAttributes = GetManager();
        siblingsAtAttributes = parentAtAttributes ? static_cast<CContainerUI*>(parentAtAttributes)->GetCount() : -1;
      }
      CControlUI::SetAttribute(name, value);
    }
    CControlUI* parentAtAttributes = nullptr;
    CWindowManagerUI* managerAtAttributes = nullptr;
    int siblingsAtAttributes = 0;
  };
  CControlUI* CreateControl(const wchar_t* name) override {
    asked.push_back(name);
    return std::wstring(name) == L"Probe" ? new Probe : nullptr;
  }
  std::vector<std::wstring> asked;
};

TEST_F(DialogBuilderTest, UnknownElementsGoToTheCallbackAndAttributesComeAfterAttachment) {
  RecordingCallback callback;
  CControlUI* root = Build(L"<Window><verticallayout name=\"box\">"
                           L"<Probe name=\"p\" probe=\"1\"/>"
                           L"<Control name=\"sibling\"/>"
                           L"<Button name=\"button\"><Control name=\"insideButton\"/></Button>"
                           L"<gifanim/><GifAnim/><VBox name=\"vbox\"/><hbox name=\"hbox\"/>"
                           L"</verticallayout></Window>",
                           &callback);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(std::wstring(root->GetClass()), L"VerticalLayout");
  EXPECT_EQ(callback.asked, (std::vector<std::wstring>{L"Probe", L"Button", L"gifanim", L"GifAnim"}));
  auto* probe = static_cast<RecordingCallback::Probe*>(manager_.FindControl(L"p"));
  ASSERT_NE(probe, nullptr);
  EXPECT_EQ(probe->parentAtAttributes, root);
  EXPECT_EQ(probe->managerAtAttributes, &manager_);
  EXPECT_EQ(probe->siblingsAtAttributes, 1);  // added before its attributes, before its later siblings
  EXPECT_EQ(manager_.FindControl(L"button"), nullptr);
  EXPECT_EQ(manager_.FindControl(L"insideButton"), nullptr);  // skipped with its element
  EXPECT_EQ(std::wstring(manager_.FindControl(L"vbox")->GetClass()), L"VerticalLayout");
  EXPECT_EQ(std::wstring(manager_.FindControl(L"hbox")->GetClass()), L"HorizontalLayout");
}

TEST_F(DialogBuilderTest, RegisteredFactoriesComeBeforeTheCallback) {
  struct Factory {
    static CControlUI* Create(const wchar_t* name) {
      return std::wstring(name) == L"Label" ? new CContainerUI : nullptr;
    }
  };
  CWindowManagerUI::AddControlFactory(&Factory::Create);
  RecordingCallback callback;
  CControlUI* root = Build(L"<Window><Label name=\"l\"/></Window>", &callback);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(std::wstring(root->GetClass()), L"Container");
  EXPECT_TRUE(callback.asked.empty());
}

TEST_F(DialogBuilderTest, CoverAndTheParentWithoutContainer) {
  CControlUI* root = Build(L"<Window><HorizontalLayout><Control name=\"base\">"
                           L"<Control name=\"over\" cover=\"true\"/>"
                           L"</Control><Control name=\"notcover\" cover=\"TRUE\"/></HorizontalLayout></Window>");
  ASSERT_NE(root, nullptr);
  CControlUI* base = manager_.FindControl(L"base");
  ASSERT_NE(base, nullptr);
  ASSERT_NE(base->GetCover(), nullptr);
  EXPECT_EQ(base->GetCover()->GetName(), L"over");
  EXPECT_EQ(base->GetCover()->GetParent(), base);
  EXPECT_EQ(static_cast<CContainerUI*>(root)->GetCount(), 2);

  CControlUI plain;
  CDialogBuilder builder;
  EXPECT_EQ(builder.Create(L"<Window><Control/></Window>", nullptr, nullptr, &manager_, &plain), nullptr);
}

TEST_F(DialogBuilderTest, ControlsBuiltIntoAnAttachedTreeStayWithItsWindow) {
  auto* root = static_cast<CContainerUI*>(Build(L"<Window><VerticalLayout name=\"box\"/></Window>"));
  ASSERT_NE(root, nullptr);
  CDialogBuilder later;
  CControlUI* added = later.Create(L"<Window><Control name=\"late\" width=\"3\"/></Window>", nullptr, nullptr,
                                   &manager_, root);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->GetManager(), &manager_);
  EXPECT_EQ(added->GetFixedWidth(), 3);
  EXPECT_EQ(manager_.FindControl(L"late"), added);
  EXPECT_EQ(root->GetCount(), 1);
}

TEST_F(DialogBuilderTest, WithoutAParentOnlyTheFirstTopLevelControlIsKept) {
  UseArchive(ZipBuilder().File("two.xml", "<Window><Control name=\"x\"/><Control name=\"y\"/></Window>").Build());
  // The others are deleted (the leak checker of the sanitised build watches this).
  CControlUI* root = Build(L"<Window><Control name=\"a\"/><Control name=\"b\"/><Include source=\"two.xml\"/></Window>");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetName(), L"a");
  EXPECT_EQ(manager_.FindControl(L"b"), nullptr);
  CDialogBuilder builder;
  CControlUI* included = builder.Create(L"<Window><Include source=\"two.xml\" count=\"2\"/></Window>", nullptr,
                                        nullptr, &manager_);
  ASSERT_NE(included, nullptr);
  EXPECT_EQ(included->GetName(), L"x");
  included->Delete();
}

TEST_F(DialogBuilderTest, HiddenWhileBuildingAndAttributesOnlyWithAManager) {
  CDialogBuilder builder;
  CControlUI* bare = builder.Create(L"<Window><Control name=\"x\" visible=\"false\" width=\"5\"/></Window>", nullptr,
                                    nullptr, nullptr);
  ASSERT_NE(bare, nullptr);
  EXPECT_TRUE(bare->IsVisible());
  EXPECT_EQ(bare->GetFixedWidth(), 0);
  bare->Delete();

  CControlUI* root = Build(L"<Window><Control name=\"x\" visible=\"false\" width=\"5\"/></Window>");
  ASSERT_NE(root, nullptr);
  EXPECT_FALSE(root->IsVisible());
  EXPECT_EQ(root->GetFixedWidth(), 5);
}

TEST_F(DialogBuilderTest, BadSkinsBuildNothingAndSayWhy) {
  CDialogBuilder builder;
  EXPECT_EQ(builder.Create(L"<Window><Control></Window>", nullptr, nullptr, &manager_), nullptr);
  EXPECT_EQ(builder.GetLastErrorMessage(), L"Unmatched closing tag");
  EXPECT_EQ(builder.Create(L"missing.xml", nullptr, nullptr, &manager_), nullptr);
  EXPECT_EQ(builder.GetLastErrorMessage(), L"Error opening file");
  EXPECT_EQ(builder.Create(SkinRef(104u), L"xml", nullptr, &manager_), nullptr);
}

TEST(DialogBuilderRobustnessTest, MutatedSkinsBuildOrFailCleanly) {
  const std::wstring skin =
      L"<Window><Default name=\"Control\" value=\"height=&quot;5&quot;\"/>"
      L"<TabLayout name=\"t\" selectedid=\"1\"><VerticalLayout><Control name=\"a\" float=\"0.5,0.5,1,1\"/>"
      L"<Control cover=\"true\"/></VerticalLayout><HorizontalLayout childpadding=\"4\">"
      L"<Control width=\"9\" visible=\"false\"/><Container><Control name=\"a\"/></Container>"
      L"</HorizontalLayout></TabLayout></Window>";
  const wchar_t marks[] = {L'<', L'>', L'/', L'"', L' ', L'1'};
  int built = 0;
  for (size_t i = 0; i < skin.size(); ++i) {
    for (wchar_t mark : marks) {
      std::wstring mutated = skin;
      mutated[i] = mark;
      CWindowManagerUI manager;
      manager.Init(nullptr);
      CDialogBuilder builder;
      CControlUI* root = builder.Create(mutated.c_str(), nullptr, nullptr, &manager);
      if (!root) continue;
      ++built;
      manager.AttachRoot(root);
      manager.UpdateLayout(UIRect{0, 0, 300, 200});
      manager.UpdateLayout(UIRect{0, 0, 300, 200});
      manager.FindControl(UIPoint{150, 100});
      manager.DeliverQueuedNotifications();
    }
  }
  EXPECT_GT(built, 100);
}

TEST(WindowAttributesTest, KnownNamesSetTheWindowAndOthersBecomeCustomAttributes) {
  CWindowManagerUI manager;
  manager.Init(nullptr);
  const wchar_t* attributes[][2] = {
      {L"SIZE", L"540,246"},         {L"sizebox", L"4,4,4,4"},        {L"caption", L"0,0,0,38"},
      {L"roundcorner", L"8,8,8,8"},  {L"mininfo", L"100,50"},         {L"maxinfo", L"800,600"},
      {L"showdirty", L"TRUE"},       {L"NoActivate", L"true"},        {L"opacity", L"300"},
      {L"defaultfontcolor", L"#FF111111"}, {L"selectedcolor", L"FF222222"}, {L"bordersize", L"1"},
      {L"bordersize", L"2"},         {L"bordercolor", L""},           {L"", L"x"},
  };
  for (auto& a : attributes) manager.SetWindowAttribute(a[0], a[1]);
  EXPECT_EQ(manager.GetInitSize().cx, 540);
  EXPECT_EQ(manager.GetInitSize().cy, 246);
  EXPECT_EQ(manager.GetSizeBox(), (UIRect{4, 4, 4, 4}));
  EXPECT_EQ(manager.GetCaptionRect(), (UIRect{0, 0, 0, 38}));
  EXPECT_EQ(manager.GetRoundCorner().cx, 8);
  EXPECT_EQ(manager.GetRoundCorner().cy, 8);
  EXPECT_EQ(manager.GetMinInfo().cx, 100);
  EXPECT_EQ(manager.GetMaxInfo().cy, 600);
  EXPECT_TRUE(manager.IsShowUpdateRect());
  EXPECT_FALSE(manager.IsNoActivate());  // this name must match exactly
  EXPECT_EQ(std::wstring(manager.GetWindowCustomAttribute(L"NoActivate")), L"true");
  EXPECT_EQ(manager.GetOpacity(), 255);
  EXPECT_TRUE(manager.IsLayered());
  EXPECT_EQ(manager.GetDefaultFontColor(), 0xFF111111u);
  EXPECT_EQ(manager.GetDefaultSelectedBkColor(), 0xFF222222u);
  EXPECT_EQ(manager.GetDefaultLinkFontColor(), 0xFF0000FFu);  // untouched default
  EXPECT_EQ(std::wstring(manager.GetWindowCustomAttribute(L"bordersize")), L"1");  // first value wins
  EXPECT_EQ(manager.GetWindowCustomAttribute(L"bordercolor"), nullptr);
  manager.SetWindowAttribute(L"noactivate", L"True");
  EXPECT_TRUE(manager.IsNoActivate());
}

}  // namespace
