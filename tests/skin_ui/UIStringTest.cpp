#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin_ui/UIString.h"
#include "skin_ui/ValueSyntax.h"

namespace {

using namespace SkinUI;

TEST(UIStringTest, MovesToTheHeapPastSixtyThreeCharactersAndKeepsItsText) {
  const std::wstring text63(63, L'a');
  CUIString s(text63.c_str());
  EXPECT_TRUE(s.IsInline());
  s += L'b';
  EXPECT_FALSE(s.IsInline());
  EXPECT_EQ(std::wstring(s.GetData()), text63 + L"b");
  CUIString copy(s);
  copy.Append(copy.GetData(), 10);  // appending a part of itself
  EXPECT_EQ(copy.GetLength(), 74);
  EXPECT_EQ(std::wstring(copy.Mid(64)), std::wstring(10, L'a'));
  copy.Empty();
  EXPECT_TRUE(copy.IsInline());
  EXPECT_TRUE(copy.IsEmpty());
}

TEST(UIStringTest, ComparesExactlyUnlessAskedAndReplacesEveryOccurrence) {
  CUIString s(L"Tip<n>Second<n>Third");
  EXPECT_NE(s.Compare(L"tip<n>second<n>third"), 0);
  EXPECT_EQ(s.CompareNoCase(L"tip<n>second<n>third"), 0);
  EXPECT_EQ(s.Replace(L"<n>", L"\r\n"), 2);
  EXPECT_EQ(std::wstring(s), L"Tip\r\nSecond\r\nThird");
  EXPECT_EQ(s.Find(L'\n'), 4);
  EXPECT_EQ(s.Find(L"Third"), 13);
  EXPECT_EQ(std::wstring(s.Left(3)), L"Tip");
  EXPECT_EQ(std::wstring(s.Right(5)), L"Third");
  EXPECT_EQ(std::wstring(s.Mid(40)), L"");
}

TEST(UIPtrArrayTest, FirstGrowthMakesRoomForElevenThenDoubles) {
  CUIPtrArray array;
  std::vector<int> values(50);
  std::vector<int> capacities;
  for (int& v : values) {
    array.Add(&v);
    if (capacities.empty() || capacities.back() != array.GetCapacity()) capacities.push_back(array.GetCapacity());
  }
  EXPECT_EQ(capacities, (std::vector<int>{11, 22, 44, 88}));
  EXPECT_EQ(array.GetAt(49), &values[49]);
  EXPECT_TRUE(array.InsertAt(0, &values[10]));
  EXPECT_EQ(array.Find(&values[10]), 0);
  EXPECT_TRUE(array.Remove(0));
  EXPECT_EQ(array.Find(&values[10]), 10);
  EXPECT_FALSE(array.InsertAt(52, &values[0]));
  EXPECT_EQ(array.GetAt(50), nullptr);
}

TEST(UIStringMapTest, HashRunsFromTheLastCharacterToTheFirst) {
  // "ab": h = 'b', then h * 33 + 'a'.
  EXPECT_EQ(CUIStringMap::Hash(L"ab"), 98u * 33u + 97u);
  EXPECT_EQ(CUIStringMap::Hash(L""), 0u);
}

TEST(UIStringMapTest, InsertRefusesSetReplacesAndLookupsAreExact) {
  CUIStringMap map;
  int a = 1, b = 2;
  EXPECT_TRUE(map.Insert(L"okbtn", &a));
  EXPECT_FALSE(map.Insert(L"okbtn", &b));
  EXPECT_EQ(map.Find(L"okbtn"), &a);
  EXPECT_EQ(map.Find(L"OKBTN"), nullptr);
  EXPECT_EQ(map.Set(L"okbtn", &b), &a);
  EXPECT_EQ(map.Set(L"other", &a), nullptr);
  EXPECT_EQ(map.GetSize(), 2);
  EXPECT_TRUE(map.Remove(L"okbtn"));
  EXPECT_FALSE(map.Remove(L"okbtn"));
  EXPECT_EQ(map.GetSize(), 1);
}

TEST(UIStringMapTest, NewAndFoundEntriesGoToTheFrontOfTheirBucket) {
  // Keys of one bucket: single characters whose codes differ by 83.
  const wchar_t k1[] = {wchar_t(L'A'), 0}, k2[] = {wchar_t(L'A' + 83), 0}, k3[] = {wchar_t(L'A' + 166), 0};
  CUIStringMap map;
  int v = 0;
  map.Insert(k1, &v);
  map.Insert(k2, &v);
  map.Insert(k3, &v);
  // Walking order is bucket order, front first.
  EXPECT_EQ(std::wstring(map.GetKeyAt(0)), std::wstring(k3));
  EXPECT_EQ(std::wstring(map.GetKeyAt(2)), std::wstring(k1));
  map.Find(k1);
  EXPECT_EQ(std::wstring(map.GetKeyAt(0)), std::wstring(k1));
  map.Find(k2, false);
  EXPECT_EQ(std::wstring(map.GetKeyAt(0)), std::wstring(k1));
  EXPECT_EQ(map.GetKeyAt(3), nullptr);
}

TEST(ValueSyntaxTest, Numbers) {
  struct Case {
    const wchar_t* text;
    int32_t value;
  } cases[] = {
      {L"12", 12}, {L"  -7px", -7}, {L"+3", 3}, {L"", 0}, {L"abc", 0}, {L"99999999999", INT32_MAX},
      {L"-99999999999", INT32_MIN},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseNumber(c.text), c.value) << c.text;
}

TEST(ValueSyntaxTest, NumberListsTakeAnySingleSeparatorAndStopAtTheEnd) {
  struct Case {
    const wchar_t* text;
    UIRect rect;
  } cases[] = {
      {L"10,250,640,270", {10, 250, 640, 270}},
      {L"1 2 3 4", {1, 2, 3, 4}},
      {L"1,2", {1, 2, 0, 0}},
      {L"5", {5, 0, 0, 0}},
      {L"", {0, 0, 0, 0}},
      {L"1,,3,4", {1, 0, 3, 4}},
      {L"1;-2;3;-4", {1, -2, 3, -4}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseRect(c.text), c.rect) << c.text;
  const UISize size = ParseSize(L"8,8,8,8");
  EXPECT_EQ(size.cx, 8);
  EXPECT_EQ(size.cy, 8);
}

TEST(ValueSyntaxTest, BooleansAndColours) {
  EXPECT_TRUE(ParseBool(L"true"));
  for (const wchar_t* text : {L"ture", L"1", L"TRUE", L"true ", L"", L"tru"}) EXPECT_FALSE(ParseBool(text)) << text;
  EXPECT_TRUE(ParseBool(L"TRUE", true));
  EXPECT_TRUE(ParseBool(L"True", true));
  EXPECT_FALSE(ParseBool(L"ture", true));

  EXPECT_EQ(ParseColor(L"#FF4858EC"), 0xFF4858ECu);
  EXPECT_EQ(ParseColor(L"FF4858EC"), 0xFF4858ECu);
  EXPECT_EQ(ParseColor(L"#00CCCCCC"), 0x00CCCCCCu);
  EXPECT_EQ(ParseColor(L"#ffffff"), 0x00FFFFFFu);
  EXPECT_EQ(ParseColor(L"#123456789"), 0xFFFFFFFFu);  // too many digits saturate
  EXPECT_EQ(ParseColor(L"#zz"), 0u);
}

TEST(ValueSyntaxTest, FractionsForFloatRatios) {
  double f[4];
  ParseFractions(L"0.5,0.25,1,0", f);
  EXPECT_DOUBLE_EQ(f[0], 0.5);
  EXPECT_DOUBLE_EQ(f[1], 0.25);
  EXPECT_DOUBLE_EQ(f[2], 1.0);
  ParseFractions(L"0.5,nan,inf", f);
  EXPECT_DOUBLE_EQ(f[0], 0.5);
  EXPECT_DOUBLE_EQ(f[1], 0.0);
  EXPECT_DOUBLE_EQ(f[2], 0.0);
  EXPECT_DOUBLE_EQ(f[3], 0.0);
}

}  // namespace
