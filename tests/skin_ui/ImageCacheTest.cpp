// The image caches and the draw records of controls: where pictures come from, window before
// process, replacement and removal under a record, and a float control sized by its picture.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "skin_ui/ControlUI.h"
#include "skin_ui/DialogBuilder.h"
#include "skin_ui/ImageCache.h"
#include "skin_ui/SkinArchive.h"
#include "skin_ui/WindowManagerUI.h"
#include "tests/skin_ui/ImageFixtures.h"
#include "tests/support/TestFiles.h"
#include "tests/support/ZipBuilder.h"

namespace {

using namespace SkinUI;
using testsupport::ZipBuilder;

// A picture of `width` × `height` opaque pixels of one colour (red, green, blue).
std::string Picture(int width, int height, uint8_t red, uint8_t green, uint8_t blue) {
  std::vector<uint8_t> rgba;
  for (int i = 0; i < width * height; ++i) rgba.insert(rgba.end(), {red, green, blue, 255});
  return skintest::EncodePng(width, height, rgba);
}

class ImageCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string zip = ZipBuilder()
                                .File("img/a.png", Picture(2, 3, 255, 0, 0))
                                .File("img/b.png", Picture(7, 5, 0, 255, 0))
                                .File("img/c.png", Picture(1, 1, 0, 0, 255))
                                .Build();
    ASSERT_TRUE(SetSkinArchiveMemory(zip.data(), zip.size()));
    manager_.Init(nullptr);
  }
  void TearDown() override {
    ResetSkinSource();
    CWindowManagerUI::ResetSharedResources();
  }
  CWindowManagerUI manager_;
};

TEST_F(ImageCacheTest, PicturesComeFromTheArchiveAColourOrAFilePath) {
  const UIImagePtr a = manager_.LookupImage(L"img\\A.PNG");  // the archive's name rules
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->width, 2);
  EXPECT_EQ(a->height, 3);
  EXPECT_EQ(a->pixels[5], 0xFFFF0000u);
  EXPECT_EQ(manager_.GetImage(L"img\\A.PNG"), a);
  EXPECT_EQ(manager_.LookupImage(L"img\\A.PNG"), a);  // found, not loaded again

  const UIImagePtr colour = manager_.LookupImage(L"#804858EC", kColorImageType);
  ASSERT_NE(colour, nullptr);
  EXPECT_EQ(colour->pixels[0], 0x80242C76u);
  EXPECT_EQ(std::wstring(colour->resourceType), kColorImageType);

  // Not in the archive: a plain file path.
  testsupport::TempFolder folder;
  const std::wstring path = folder.path() + L"banner.png";
  testsupport::WriteFileBytes(path, Picture(4, 1, 1, 2, 3));
  const UIImagePtr file = manager_.LookupImage(path.c_str());
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->width, 4);

  // Failed loads: missing, undecodable, no resources in the portable build.
  testsupport::WriteFileBytes(folder.path() + L"broken.png", "\x89PNG broken");
  EXPECT_EQ(manager_.LookupImage(L"img/missing.png"), nullptr);
  EXPECT_EQ(manager_.LookupImage((folder.path() + L"broken.png").c_str()), nullptr);
  EXPECT_EQ(manager_.LookupImage(L"101", L"PNG"), nullptr);
  EXPECT_EQ(manager_.GetImage(L"img/missing.png"), nullptr);
}

TEST_F(ImageCacheTest, TheWindowsPictureComesBeforeTheSharedOne) {
  const UIImagePtr shared = manager_.AddImage(L"img/a.png", nullptr, 0, false, true);
  ASSERT_NE(shared, nullptr);
  CWindowManagerUI other;
  other.Init(nullptr);
  EXPECT_EQ(other.GetImage(L"img/a.png"), shared);
  EXPECT_EQ(other.LookupImage(L"img/a.png"), shared);

  const UIImagePtr own = manager_.AddImage(L"img/a.png");
  ASSERT_NE(own, nullptr);
  EXPECT_NE(own, shared);
  EXPECT_EQ(manager_.GetImage(L"img/a.png"), own);
  EXPECT_TRUE(manager_.RemoveImage(L"img/a.png"));
  EXPECT_EQ(manager_.GetImage(L"img/a.png"), shared);
  EXPECT_TRUE(manager_.RemoveImage(L"img/a.png", true));
  EXPECT_EQ(other.GetImage(L"img/a.png"), nullptr);
  EXPECT_FALSE(manager_.RemoveImage(L"img/a.png"));

  // A failed load keeps the picture already there.
  ASSERT_NE(manager_.AddImage(L"img/b.png"), nullptr);
  const UIImagePtr before = manager_.GetImage(L"img/b.png");
  EXPECT_EQ(manager_.AddImage(L"img/b.png", L"NOSUCHTYPE"), nullptr);
  EXPECT_EQ(manager_.GetImage(L"img/b.png"), before);
  manager_.Init(nullptr);  // a window's resources are cleared with it
  EXPECT_EQ(manager_.GetImage(L"img/b.png"), nullptr);
}

TEST_F(ImageCacheTest, ReplacingOrRemovingAPictureLeavesNoRecordOnFreedPixels) {
  UIDrawInfo record;
  record.SetDescription(L"file='img/a.png' dest='0,0,2,3'");
  UIImagePtr first = record.Resolve(manager_);  // as a draw in progress holds it
  ASSERT_NE(first, nullptr);
  const std::weak_ptr<const UIImageInfo> firstSeen = first;
  EXPECT_EQ(first->pixels[0], 0xFFFF0000u);

  // Another picture under the same name: the old one is freed once no draw holds it, and the
  // record follows the name to the new one.
  const std::string zip = ZipBuilder().File("img/a.png", Picture(2, 3, 0, 0, 255)).Build();
  ResetSkinSource();
  ASSERT_TRUE(SetSkinArchiveMemory(zip.data(), zip.size()));
  ASSERT_NE(manager_.AddImage(L"img/a.png"), nullptr);
  EXPECT_FALSE(firstSeen.expired());  // still drawn from here
  EXPECT_EQ(record.Resolve(manager_), first);
  // Once the draw that held it is over, the old picture is freed and the record resolves to the
  // replacement.
  first.reset();
  EXPECT_TRUE(firstSeen.expired());
  UIImagePtr second = record.Resolve(manager_);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->pixels[0], 0xFF0000FFu);

  // Removed: the record looks the name up again (and so loads it again) rather than drawing it.
  const std::weak_ptr<const UIImageInfo> secondSeen = second;
  second.reset();
  manager_.RemoveAllImages();
  EXPECT_TRUE(secondSeen.expired());
  EXPECT_NE(record.Resolve(manager_), nullptr);

  // A failed resolution is not tried again until the description changes.
  UIDrawInfo late;
  late.SetDescription(L"img/late.png");
  EXPECT_EQ(late.Resolve(manager_), nullptr);
  ASSERT_NE(manager_.AddImage(L"img/late.png", kColorImageType), nullptr);
  EXPECT_EQ(late.Resolve(manager_), nullptr);
  late.SetDescription(L"file='img/late.png'");
  EXPECT_NE(late.Resolve(manager_), nullptr);
}

TEST_F(ImageCacheTest, AFloatControlWithoutASizeTakesItsBackgroundPicturesSize) {
  CDialogBuilder builder;
  CControlUI* root = builder.Create(L"<Window><Image name=\"img/c.png\" shared=\"true\"/><Container>"
                                    L"<Image name=\"img/a.png\"/>"
                                    L"<Control name=\"free\" float=\"true\" bkimage=\"img/b.png\"/>"
                                    L"<Control name=\"sized\" float=\"true\" width=\"3\" bkimage=\"img/b.png\"/>"
                                    L"<Control name=\"laid\" bkimage=\"file='img/b.png' dest='1,1,2,2'\"/>"
                                    L"<Control name=\"missing\" float=\"true\" bkimage=\"img/none.png\"/>"
                                    L"</Container></Window>",
                                    nullptr, nullptr, &manager_);
  ASSERT_NE(root, nullptr);
  manager_.AttachRoot(root);
  const struct {
    const wchar_t* name;
    int width;
    int height;
  } cases[] = {{L"free", 7, 5}, {L"sized", 3, 0}, {L"laid", 0, 0}, {L"missing", 0, 0}};
  for (const auto& c : cases) {
    CControlUI* control = manager_.FindControl(c.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->GetFixedWidth(), c.width) << c.name;
    EXPECT_EQ(control->GetFixedHeight(), c.height) << c.name;
  }
  EXPECT_EQ(std::wstring(manager_.FindControl(L"laid")->GetBkImage()), L"file='img/b.png' dest='1,1,2,2'");
  EXPECT_NE(manager_.GetImage(L"img/b.png"), nullptr);
  EXPECT_NE(CImageCache::Shared().Find(L"img/c.png"), nullptr);  // preloaded for every window
  EXPECT_EQ(manager_.GetImage(L"img/a.png"), nullptr);            // only the root's Image elements count
}

TEST_F(ImageCacheTest, MarkupFontVariantsAreFoundOrAddedUnderANewId) {
  manager_.AddFont(0, L"Sans", 12, false, false, false);
  manager_.AddFont(3, L"Sans", 12, true, false, false);
  manager_.AddFont(5, L"Serif", 20, false, false, false, true);
  manager_.AddFont(3, L"Shared", 9, false, false, false, true);  // hidden by the window's font 3
  EXPECT_EQ(manager_.FindOrAddFont(L"sans", 12, false, false, false), 0);
  EXPECT_EQ(manager_.FindOrAddFont(L"Sans", 12, true, false, false), 3);
  EXPECT_EQ(manager_.FindOrAddFont(L"Serif", 20, false, false, false), 5);
  const int made = manager_.FindOrAddFont(L"Sans", 12, false, true, false);
  EXPECT_EQ(made, 6);
  ASSERT_NE(manager_.GetFontInfo(made), nullptr);
  EXPECT_TRUE(manager_.GetFontInfo(made)->underline);
  EXPECT_EQ(manager_.FindOrAddFont(L"Sans", 12, false, true, false), made);
  EXPECT_EQ(manager_.FindOrAddFont(L"Shared", 9, false, false, false), 7);
}

}  // namespace
