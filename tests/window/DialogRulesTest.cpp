// The disk-space dialog's text rules and the download address the preparation chooses.

#include <gtest/gtest.h>

#include <string>

#include "Window/flow/DialogRules.h"
#include "Window/flow/DownloadAddress.h"

namespace {

TEST(DiskDialogLine, ShortenedToTwentyFourCharactersWithTheWholeLineAsTooltip) {
  // Fifteen characters: with "C: Drive " the line is exactly 24 long.
  const std::wstring cjk = L"\u78c1\u76d8\u7a7a\u95f4\u4e0d\u8db3\uff0c\u8bf7\u66f4\u6362\u78c1\u76d8\u4e0b\u8f7d\u3002";
  // An emoji is two UTF-16 units; cut between them, the line would end in half a character.
  const std::wstring pair = L"\xD83D\xDE00";
  const struct {
    std::wstring line;
    std::wstring text;
    bool tooltip;
  } cases[] = {
      {std::wstring(23, L'a'), std::wstring(23, L'a'), false},
      {std::wstring(24, L'a'), std::wstring(24, L'a'), false},
      {std::wstring(25, L'a'), std::wstring(24, L'a') + L"...", true},
      {L"C: Drive " + cjk, L"C: Drive " + cjk, false},  // 24 characters, however wide
      {L"C: Drive " + cjk + L"!", L"C: Drive " + cjk + L"...", true},
      {std::wstring(23, L'a') + pair + L"b", std::wstring(23, L'a') + L"...", true},
      {std::wstring(22, L'a') + pair + L"b", std::wstring(22, L'a') + pair + L"...", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.line));
    const ShortenedLine shortened = ShortenMessageLine(c.line);
    EXPECT_EQ(shortened.text, c.text);
    EXPECT_EQ(shortened.tooltip.has_value(), c.tooltip);
    if (shortened.tooltip) {
      EXPECT_EQ(*shortened.tooltip, c.line);
    }
  }
}

TEST(DiskDialogLine, DriveAndTitle) {
  const std::wstring title = L"Insufficient disk space, please replace the disk download";
  EXPECT_EQ(DriveOfPath(L"C:\\Program Files\\"), L"C:");
  EXPECT_EQ(DriveOfPath(L"d:"), L"d:");
  EXPECT_EQ(DriveOfPath(L"\\\\server\\share\\"), L"");
  const std::wstring line = DiskMessageLine(DriveOfPath(L"C:\\Program Files\\"), title);
  EXPECT_EQ(line, L"C: Drive " + title);
  EXPECT_EQ(ShortenMessageLine(line).text, L"C: Drive Insufficient di...");
}

TEST(DiskDialogProposal, FirstOtherDriveOrTheLastOneWithoutSeparator) {
  constexpr std::uint32_t C = 1u << 2, D = 1u << 3, Z = 1u << 25;
  const struct {
    const wchar_t* current;
    std::uint32_t drives;
    const wchar_t* proposal;
  } cases[] = {
      {L"C:", C | D, L"D:\\"}, {L"D:", C | D, L"C:\\"}, {L"c:", C | D, L"D:\\"}, {L"C:", C, L"C:"},
      {L"", C | D, L"C:\\"},   {L"C:", C | Z, L"Z:\\"}, {L"Z:", C | Z, L"C:\\"}, {L"C:", 0, L""},
      {L"Q:", C, L"C:\\"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProposeOtherDrive(c.current, c.drives), c.proposal)
        << testing::PrintToString(std::wstring(c.current)) << " drives " << std::hex << c.drives;
  }
}

TEST(DownloadAddress, RedirectAnswersAgainstTheConfiguredAndAlternativeAddresses) {
  const std::wstring configured = L"https://dl.nexvale.example/data-recovery/vandrel-for-win.exe";
  const std::wstring alternative = L"https://api.nexvale.example/producturl?key=download&pid=16&custom=com_english";
  const struct {
    const char* what;
    bool answered;
    std::wstring answer;
    std::wstring address;
  } cases[] = {
      {"request failed", false, L"https://mirror.nexvale.example/x.exe", configured},
      {"no answer: the address unchanged", true, configured, configured},
      {"empty target", true, L"", configured},
      {"absolute target", true, L"http://mirror.nexvale.example/v.exe?s=1", L"http://mirror.nexvale.example/v.exe?s=1"},
      {"absolute path", true, L"/data-recovery/v2.exe", L"https://api.nexvale.example/data-recovery/v2.exe"},
      {"relative name", true, L"v3.exe", L"https://api.nexvale.example/v3.exe"},
      {"dot segments", true, L"/a/b/../c.exe", L"https://api.nexvale.example/a/c.exe"},
      {"scheme-relative", true, L"//cdn.nexvale.example/v.exe", L"https://cdn.nexvale.example/v.exe"},
      {"query only", true, L"?key=other", L"https://api.nexvale.example/producturl?key=other"},
      {"not http", true, L"ftp://files.nexvale.example/v.exe", configured},
      {"no host", true, L"https:///v.exe", configured},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const DownloadAddressChoice choice = ChooseDownloadAddress(configured, alternative, c.answered, c.answer);
    EXPECT_EQ(choice.address, c.address);
    EXPECT_EQ(choice.redirected, c.address != configured);
  }
}

}  // namespace
