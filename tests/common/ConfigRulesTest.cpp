#include <gtest/gtest.h>

#include "common/ConfigExtraction.h"
#include "common/ConfigRules.h"

namespace {

TEST(ConfigRules, PlaceholdersAreReplacedWithoutRescanningInsertedText) {
  EXPECT_EQ(ReplacePlaceholder(L"PRODUCT Setup", L"PRODUCT", L""), L" Setup");
  EXPECT_EQ(ReplacePlaceholder(L"COLORS", L"COLOR", L"#4858EC"), L"#4858ECS");
  // A value containing its own placeholder is not replaced again.
  EXPECT_EQ(ReplacePlaceholder(L"PRODUCT and PRODUCT", L"PRODUCT", L"PRODUCT X"), L"PRODUCT X and PRODUCT X");
  EXPECT_EQ(ReplacePlaceholder(L"PRODUCTS", L"PRODUCT", L"App"), L"AppS");
}

TEST(ConfigRules, CustomCodeOnlyOnAddressesWithAKey) {
  const struct {
    const wchar_t* address;
    const wchar_t* domain;
    const wchar_t* expected;
  } cases[] = {
      {L"https://h/p?key=license&lang=english", L"com_english",
       L"https://h/p?key=license&lang=english&custom=com_english"},
      {L"https://h/license.html", L"com_english", L"https://h/license.html"},
      {L"https://h/p?key=a&custom=x", L"c", L"https://h/p?key=a&custom=x&custom=c"},
      {L"https://h/p?key=a", L"", L"https://h/p?key=a"},
      {L"", L"c", L""},
      {L"https://h/p?KEY=a", L"c", L"https://h/p?KEY=a"},
  };
  for (const auto& c : cases) EXPECT_EQ(ApplyCustomCode(c.address, c.domain), c.expected) << c.address;
}

TEST(ConfigRules, DomainResourceParsing) {
  EXPECT_EQ(ParseDomainResource("com_english\r\n").code, L"com_english");
  EXPECT_EQ(ParseDomainResource("com_english\r\n").asRead, "com_english\r\n");
  EXPECT_EQ(ParseDomainResource("abc").code, L"abc");
  EXPECT_EQ(ParseDomainResource("a\rb\nc\r\n").code, L"a\rb\nc");
  EXPECT_EQ(ParseDomainResource(std::string("ab\0cd", 5)).code, L"ab");
  EXPECT_EQ(ParseDomainResource("").code, L"");

  const DomainResource longOne = ParseDomainResource(std::string(300, 'd'));
  EXPECT_TRUE(longOne.truncated);
  EXPECT_EQ(longOne.code, std::wstring(255, L'd'));
  EXPECT_FALSE(ParseDomainResource(std::string(255, 'd')).truncated);
}

TEST(ConfigRules, EntryNamesThatLeaveTheTargetAreUnsafe) {
  for (const wchar_t* name : {L"language.ini", L"English/text.ini", L"English/", L"a..b/c", L"..x"}) {
    EXPECT_TRUE(IsSafeEntryName(name)) << name;
  }
  for (const wchar_t* name : {L"../evil.dll", L"a/../../evil", L"English/..", L"/etc/x", L"\\windows\\x",
                              L"C:/x", L"C:x", L"a\\..\\..\\b", L"file.txt:stream", L""}) {
    EXPECT_FALSE(IsSafeEntryName(name)) << name;
  }
}

}  // namespace
