#include <gtest/gtest.h>

#include <string>

#include "common/Encoding.h"
#include "skin_ui/SkinArchive.h"
#include "skin_ui/XmlDocument.h"
#include "tests/support/TestFiles.h"
#include "tests/support/ZipBuilder.h"

namespace {

using namespace SkinUI;
using testsupport::ZipBuilder;

std::wstring Str(const wchar_t* text) { return text ? text : L"<null>"; }

TEST(XmlDocumentTest, CommentedOutLayoutIsSkippedWithItsAttributesAndChildren) {
  CXmlDocument doc(
      L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      L"<Window size=\"540,246\">\n"
      L"  <!--<HorizontalLayout name=\"old\" height=\"20\">\n"
      L"    <Option name=\"dot1\" selected=\"true\"/><Label text=\"x\"></Label>\n"
      L"  </HorizontalLayout>-->\n"
      L"  <Control name=\"kept\"/>\n"
      L"</Window>");
  const CXmlNode root = doc.GetRoot();
  ASSERT_TRUE(root.IsValid()) << doc.GetLastErrorMessage();
  EXPECT_EQ(Str(root.GetName()), L"Window");
  const CXmlNode child = root.GetFirstChild();
  EXPECT_EQ(Str(child.GetName()), L"Control");
  EXPECT_EQ(Str(child.GetAttributeValue(L"name")), L"kept");
  EXPECT_FALSE(child.GetNextSibling().IsValid());
  EXPECT_EQ(child.GetParent().GetName(), root.GetName());
}

TEST(XmlDocumentTest, CommentEndsAtTheFirstArrow) {
  CXmlDocument doc(L"<Window><!-- a -> b --><Control/></Window>");
  EXPECT_FALSE(doc.GetRoot().IsValid());
  EXPECT_EQ(doc.GetLastErrorMessage(), L"Expected start tag");
  EXPECT_EQ(doc.GetLastErrorLocation(), L"b --><Control/></Window>");
}

TEST(XmlDocumentTest, EntitiesWhitespaceAndAttributesAfterShortenedValues) {
  CXmlDocument doc(
      L"<Window>"
      L"<Button text=\"Install &gt;&gt;\" odd=\"R&amp;D &copy; &amp\" name=\"b\" />"
      L"<Text>  two  spaces &lt;b&gt;&quot;&apos;  </Text>"
      L"</Window>");
  const CXmlNode button = doc.GetRoot().GetFirstChild();
  ASSERT_TRUE(button.IsValid()) << doc.GetLastErrorMessage();
  EXPECT_EQ(button.GetAttributeCount(), 3);
  EXPECT_EQ(Str(button.GetAttributeValue(L"text")), L"Install >>");
  EXPECT_EQ(Str(button.GetAttributeValue(L"odd")), L"R&D &copy; &amp");
  EXPECT_EQ(Str(button.GetAttributeName(2)), L"name");
  EXPECT_EQ(Str(button.GetAttributeValue(2)), L"b");
  EXPECT_EQ(Str(button.GetAttributeValue(3)), L"");
  EXPECT_EQ(Str(button.GetValue()), L"");
  EXPECT_EQ(Str(button.GetNextSibling().GetValue()), L"  two  spaces <b>\"'  ");
}

TEST(XmlDocumentTest, SpaceAroundEqualsAndAttributeValueIntoABuffer) {
  CXmlDocument doc(L"<Control borderround =  \"2,2\" name=\"abcdef\"/>");
  const CXmlNode node = doc.GetRoot();
  ASSERT_TRUE(node.IsValid()) << doc.GetLastErrorMessage();
  EXPECT_EQ(Str(node.GetAttributeValue(L"borderround")), L"2,2");
  wchar_t buffer[4] = {L'x', L'x', L'x', L'x'};
  EXPECT_TRUE(node.GetAttributeValue(L"name", buffer, 4));
  EXPECT_EQ(std::wstring(buffer), L"abc");  // three characters and the terminator
  EXPECT_FALSE(node.GetAttributeValue(L"Name", buffer, 4));
  EXPECT_EQ(CXmlNode().GetAttributeValue(0), nullptr);
  EXPECT_EQ(CXmlNode().GetName(), nullptr);
}

TEST(XmlDocumentTest, OnlySixtyFourAttributesOfAnElementAreSeen) {
  std::wstring text = L"<Control";
  for (int i = 1; i <= 65; ++i) text += L" a" + std::to_wstring(i) + L"=\"" + std::to_wstring(i) + L"\"";
  text += L"/>";
  CXmlDocument doc(text.c_str());
  const CXmlNode node = doc.GetRoot();
  ASSERT_TRUE(node.IsValid()) << doc.GetLastErrorMessage();
  EXPECT_EQ(node.GetAttributeCount(), 64);
  EXPECT_EQ(Str(node.GetAttributeValue(L"a64")), L"64");
  EXPECT_EQ(node.GetAttributeValue(L"a65"), nullptr);
}

TEST(XmlDocumentTest, UnclosedRootAtTheVeryEndLoads) {
  CXmlDocument doc(L"<Window size=\"1,2\">\n  <Control name=\"a\"/>\n  <Label>open text");
  const CXmlNode root = doc.GetRoot();
  ASSERT_TRUE(root.IsValid()) << doc.GetLastErrorMessage();
  EXPECT_EQ(Str(root.GetAttributeValue(L"size")), L"1,2");
  EXPECT_EQ(Str(root.GetFirstChild().GetNextSibling().GetValue()), L"open text");
}

TEST(XmlDocumentTest, ErrorsLeaveNoDocument) {
  struct Case {
    const wchar_t* text;
    const wchar_t* message;
  } cases[] = {
      {L"<Window><A></B></Window>", L"Unmatched closing tag"},
      {L"<Window><A></A ></Window  >", nullptr},
      {L"<Window><A></Ab></Window>", L"Unmatched closing tag"},
      {L"<Window></Window x>", L"Unmatched closing tag"},
      {L"text<Window/>", L"Expected start tag"},
      {L"<Window><A><B/>", L"Expected start tag"},
      {L"<Window><A><B>text", L"Expected end-tag start"},
      {L"<Window", L"Error parsing element name"},
      {L"<Window a='1'/>", L"Expected attribute value"},
      {L"<Window a=\"1/>", L"Error while parsing attribute string"},
      {L"<Window a/>", L"Error while parsing attributes"},
      {L"<Window -a=\"1\"/>", L"Error while parsing attributes"},
      {L"<Window / >", L"Expected start-tag closing"},
      {L"<Window a=\"1\"", L"Expected start-tag closing"},
  };
  for (const Case& c : cases) {
    CXmlDocument doc(c.text);
    if (!c.message) {
      EXPECT_TRUE(doc.GetRoot().IsValid()) << Str(c.text) << ": " << doc.GetLastErrorMessage();
      continue;
    }
    EXPECT_FALSE(doc.GetRoot().IsValid()) << Str(c.text);
    EXPECT_EQ(doc.GetLastErrorMessage(), c.message) << Str(c.text);
  }
}

TEST(XmlDocumentTest, DeepNestingIsRefusedAndLongErrorLocationsAreCut) {
  std::wstring deep;
  for (int i = 0; i < 1000; ++i) deep += L"<A>";
  CXmlDocument doc(deep.c_str());
  EXPECT_FALSE(doc.GetRoot().IsValid());
  EXPECT_EQ(doc.GetLastErrorMessage(), L"Elements nested too deeply");
  EXPECT_EQ(doc.GetLastErrorLocation().size(), 49u);
}

TEST(XmlDocumentTest, ElementTableGrowsByHalfPlusFiveHundred) {
  std::wstring text = L"<Window>";
  for (int i = 0; i < 600; ++i) text += L"<C/>";
  text += L"</Window>";
  CXmlDocument doc(text.c_str());
  ASSERT_TRUE(doc.GetRoot().IsValid());
  EXPECT_EQ(doc.GetElementCapacity(), 500u + 250u + 500u);
}

TEST(XmlDocumentTest, MemoryEncodings) {
  const std::string utf8 = "\xEF\xBB\xBF<Label text=\"\xC3\xA9t\xC3\xA9\"/>";
  std::string le = "\xFF\xFE" + encoding::WideToUtf16Le(L"<Label text=\"\u00e9t\u00e9\"/>");
  std::string be = le;
  be[0] = '\xFE';
  be[1] = '\xFF';
  for (size_t i = 2; i + 1 < be.size(); i += 2) std::swap(be[i], be[i + 1]);
  struct Case {
    std::string bytes;
    int encoding;
  } cases[] = {{utf8, kXmlEncodingUtf8}, {le, kXmlEncodingUtf16}, {be, kXmlEncodingUtf16}};
  for (const Case& c : cases) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromMem(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size(), c.encoding))
        << doc.GetLastErrorMessage();
    EXPECT_EQ(Str(doc.GetRoot().GetAttributeValue(L"text")), L"\u00e9t\u00e9");
  }
  CXmlDocument doc;
  const std::string noMark = le.substr(2);
  EXPECT_FALSE(doc.LoadFromMem(reinterpret_cast<const uint8_t*>(noMark.data()), noMark.size(), kXmlEncodingUtf16));
}

// Reads everything a node offers, recursively; returns the number of elements seen.
int WalkAll(const CXmlNode& node, int depth = 0) {
  int seen = 0;
  for (CXmlNode n = node; n.IsValid(); n = n.GetNextSibling()) {
    ++seen;
    EXPECT_NE(n.GetName(), nullptr);
    EXPECT_NE(n.GetValue(), nullptr);
    EXPECT_LE(n.GetAttributeCount(), CXmlNode::kMaxAttributes);
    for (int i = 0; i < n.GetAttributeCount(); ++i) {
      EXPECT_NE(std::wstring(n.GetAttributeName(i)), L"");
      EXPECT_EQ(n.GetAttributeValue(n.GetAttributeName(i)) != nullptr, true);
      (void)wcslen(n.GetAttributeValue(i));
    }
    if (depth < 64) seen += WalkAll(n.GetFirstChild(), depth + 1);
  }
  return seen;
}

TEST(XmlDocumentTest, EveryTruncationAndMarkupCharacterInEveryPlaceIsHandled) {
  const std::wstring skin =
      L"<?xml version=\"1.0\"?><Window size=\"278,131\" caption=\"0,0,0,30\">"
      L"<!-- <Label text=\"old\"/> --><Font id=\"0\" name=\"Tahoma\" size=\"12\"/>"
      L"<VerticalLayout inset=\"1,1,1,1\"><Button text=\"Yes &gt;&gt;\" tooltip=\"a&amp;b\"/>"
      L"<Text>two &lt;lines&gt;</Text><Control/></VerticalLayout></Window>";
  const wchar_t marks[] = {L'<', L'>', L'/', L'"', L'=', L'&', L' ', L'!', L'?', L'-'};
  int loaded = 0;
  auto check = [&loaded](const std::wstring& text) {
    CXmlDocument doc;
    const bool ok = doc.Load(text.c_str());
    if (!ok) {
      EXPECT_FALSE(doc.GetRoot().IsValid());
      EXPECT_FALSE(doc.GetLastErrorMessage().empty()) << text;
      return;
    }
    ++loaded;
    WalkAll(doc.GetRoot());
  };
  for (size_t length = 0; length <= skin.size(); ++length) check(skin.substr(0, length));
  for (size_t i = 0; i < skin.size(); ++i) {
    for (wchar_t mark : marks) {
      std::wstring mutated = skin;
      mutated[i] = mark;
      check(mutated);
    }
  }
  // The untouched skin and the many harmless changes load; the walk found no fault in them.
  EXPECT_GT(loaded, 100);
}

// Skin files read from disk or from the skin archive.
class SkinFileTest : public ::testing::Test {
 protected:
  void TearDown() override { ResetSkinSource(); }
  testsupport::TempFolder folder_{L"skin"};
};

// A valid skin of exactly `size` bytes.
std::string SkinOfSize(size_t size) {
  std::string text = "<Window>";
  const std::string tail = "</Window>";
  text.append(size - text.size() - tail.size(), ' ');
  return text + tail;
}

TEST_F(SkinFileTest, FourMebibytesLoadFromDiskAndArchiveOneByteMoreDoesNot) {
  const std::string exact = SkinOfSize(CXmlDocument::kMaxSkinFileSize);
  const std::string over = SkinOfSize(CXmlDocument::kMaxSkinFileSize + 1);
  testsupport::WriteFileBytes(folder_.path() + L"exact.xml", exact);
  testsupport::WriteFileBytes(folder_.path() + L"over.xml", over);
  testsupport::WriteFileBytes(folder_.path() + L"empty.xml", "");
  SetSkinResourcePath(folder_.path().c_str());

  for (int fromArchive = 0; fromArchive < 2; ++fromArchive) {
    if (fromArchive) {
      const std::string zip = ZipBuilder().File("exact.xml", exact).File("over.xml", over).Build();
      ASSERT_TRUE(SetSkinArchiveMemory(zip.data(), zip.size()));
    }
    CXmlDocument doc;
    EXPECT_TRUE(doc.LoadFromFile(L"exact.xml")) << doc.GetLastErrorMessage();
    EXPECT_FALSE(doc.LoadFromFile(L"over.xml"));
    EXPECT_EQ(doc.GetLastErrorMessage(), L"File too large");
    EXPECT_FALSE(doc.GetRoot().IsValid());
  }
}

TEST_F(SkinFileTest, DiskErrors) {
  testsupport::WriteFileBytes(folder_.path() + L"empty.xml", "");
  SetSkinResourcePath(folder_.path().c_str());
  CXmlDocument doc;
  EXPECT_FALSE(doc.LoadFromFile(L"empty.xml"));
  EXPECT_EQ(doc.GetLastErrorMessage(), L"File is empty");
  EXPECT_FALSE(doc.LoadFromFile(L"missing.xml"));
  EXPECT_EQ(doc.GetLastErrorMessage(), L"Error opening file");
}

TEST_F(SkinFileTest, BackslashAndSlashPathsReachTheSameArchiveEntry) {
  const std::string zip = ZipBuilder()
                              .Folder("skin/")
                              .File("skin/home.xml", "<Window><Control name=\"home\"/></Window>")
                              .File("skin/empty.xml", "", ZipBuilder::Method::kStored)
                              .Build();
  ASSERT_TRUE(SetSkinArchiveMemory(zip.data(), zip.size()));
  EXPECT_EQ(GetSkinArchiveName(), L"membuffer");
  // A second archive does not replace the first one.
  const std::string other = ZipBuilder().File("other.xml", "<Window/>").Build();
  EXPECT_TRUE(SetSkinArchiveMemory(other.data(), other.size()));

  for (const wchar_t* name : {L"skin\\home.xml", L"skin/home.xml", L"SKIN\\Home.XML"}) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromFile(name)) << Str(name) << ": " << doc.GetLastErrorMessage();
    EXPECT_EQ(Str(doc.GetRoot().GetFirstChild().GetAttributeValue(L"name")), L"home") << Str(name);
  }
  CXmlDocument doc;
  EXPECT_FALSE(doc.LoadFromFile(L"other.xml"));
  EXPECT_EQ(doc.GetLastErrorMessage(), L"Could not find ziped file");
  EXPECT_FALSE(doc.LoadFromFile(L"skin/empty.xml"));
  EXPECT_EQ(doc.GetLastErrorMessage(), L"File is empty");
}

TEST_F(SkinFileTest, ArchiveFileOnDiskCachedOrOpenedPerLookup) {
  const std::string zip = ZipBuilder().File("main.xml", "<Window/>").Build();
  testsupport::WriteFileBytes(folder_.path() + L"skin.zip", zip);
  SetSkinResourcePath(folder_.path().c_str());
  for (bool cached : {true, false}) {
    SetSkinArchiveCached(cached);
    ASSERT_TRUE(SetSkinArchiveFile(L"skin.zip"));
    CXmlDocument doc;
    EXPECT_TRUE(doc.LoadFromFile(L"main.xml")) << doc.GetLastErrorMessage();
  }
  SetSkinArchiveCached(false);
  ASSERT_TRUE(SetSkinArchiveFile(L"missing.zip"));  // not opened until a lookup
  CXmlDocument doc;
  EXPECT_FALSE(doc.LoadFromFile(L"main.xml"));
  EXPECT_EQ(doc.GetLastErrorMessage(), L"Error opening zip file");
}

}  // namespace
