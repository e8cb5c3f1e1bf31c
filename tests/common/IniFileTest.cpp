#include <gtest/gtest.h>

#include "common/Encoding.h"
#include "common/IniFile.h"
#include "tests/support/TestFiles.h"

namespace {

TEST(IniFile, ReadsSectionsTheWayTheProfileFunctionsDo) {
  const std::wstring text =
      L"; comment\r\n[Other]\r\nKEY=other\r\n"
      L"[url]\r\n"
      L"  STR_DOWN_URL =  https://h/x?a=1&b=2  \r\n"
      L"NOEQUALS\r\n"
      L"DUP=first\r\n"
      L"\r\n"
      L"DUP=second\r\n"
      L"EMPTY=\r\n"
      L"[Next]\r\nKEY=next\r\n";
  const ini::SectionTable table = ini::ParseSectionText(ini::SectionText(text, L"URL"));
  const ini::SectionTable expected = {
      {L"STR_DOWN_URL", L"https://h/x?a=1&b=2"}, {L"NOEQUALS", L""}, {L"DUP", L"second"}, {L"EMPTY", L""}};
  EXPECT_EQ(table, expected);
  EXPECT_TRUE(ini::ParseSectionText(ini::SectionText(text, L"Missing")).empty());
}

TEST(IniFile, SectionReadsStopAtTheirCapacity) {
  std::wstring text = L"[S]\r\n";
  for (int i = 0; i < 1000; ++i) text += L"K" + std::to_wstring(i) + L"=value\r\n";
  const std::wstring section = ini::SectionText(text, L"S");
  EXPECT_EQ(section.size(), ini::kSectionCapacity - 2);
  const ini::SectionTable table = ini::ParseSectionText(section);
  EXPECT_EQ(table.count(L"K0"), 1u);
  EXPECT_EQ(table.count(L"K999"), 0u);
}

TEST(IniFile, ValuesByKeyAreCappedAndFallBack) {
  const std::wstring text = L"[Language]\r\n1033 = English\r\n1025=Arabic\r\n1025=Later\r\nLONG=" +
                            std::wstring(400, L'x') + L"\r\n";
  EXPECT_EQ(ini::ValueText(text, L"language", L"1033", L""), L"English");
  EXPECT_EQ(ini::ValueText(text, L"Language", L"1025", L""), L"Arabic");
  EXPECT_EQ(ini::ValueText(text, L"Language", L"2057", L"fallback"), L"fallback");
  EXPECT_EQ(ini::ValueText(text, L"Language", L"LONG", L"").size(), ini::kValueCapacity - 1);
}

TEST(IniFile, FilesInBothEncodings) {
  testsupport::TempFolder folder(L"ini");
  testsupport::WriteFileBytes(folder.path() + L"a.ini", "[Language]\r\n1031=German\r\n");
  testsupport::WriteFileBytes(folder.path() + L"w.ini", testsupport::Utf16IniBytes(L"[LANSTR]\r\nSTR_INSTALL = Installer \u00e9\u4e2d\r\n"));
  EXPECT_EQ(ini::ReadValue(folder.path() + L"a.ini", L"Language", L"1031", L""), L"German");
  EXPECT_EQ(ini::ReadSection(folder.path() + L"w.ini", L"LANSTR").at(L"STR_INSTALL"), L"Installer \u00e9\u4e2d");
  EXPECT_TRUE(ini::ReadSection(folder.path() + L"missing.ini", L"LANSTR").empty());
  EXPECT_EQ(ini::ReadValue(folder.path() + L"missing.ini", L"Language", L"1031", L"d"), L"d");
}

}  // namespace
