// The skin preview's portable parts: its command line, the texts it sets and its report lines.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/Encoding.h"
#include "skin_ui/preview/PreviewReport.h"
#include "skin_ui/preview/PreviewRequest.h"
#include "tests/support/TestFiles.h"

namespace {

using namespace preview;

ParsedArguments Parse(std::vector<std::wstring> arguments) { return ParseArguments(arguments); }

TEST(PreviewArgumentsTest, EveryStateAndOption) {
  const ParsedArguments parsed =
      Parse({L"--window", L"main", L"--language", L"Arabic", L"--page", L"1", L"--state", L"progress=45", L"--state",
             L"hot=btn_stop", L"--state", L"pushed=btn_stop", L"--state", L"disabled=btn_install", L"--state",
             L"panel", L"--state", L"error", L"--state", L"tip", L"--state", L"finish", L"--png", L"C:\\out.png"});
  ASSERT_TRUE(parsed.ok) << encoding::WideToUtf8(parsed.error);
  const PreviewRequest& r = parsed.request;
  EXPECT_EQ(r.window, L"main");
  EXPECT_EQ(r.language, L"Arabic");
  EXPECT_EQ(r.page, 1);
  EXPECT_EQ(r.output, L"C:\\out.png");
  const std::vector<std::pair<StateKind, std::wstring>> expected = {
      {StateKind::kProgress, L""},          {StateKind::kHot, L"btn_stop"}, {StateKind::kPushed, L"btn_stop"},
      {StateKind::kDisabled, L"btn_install"}, {StateKind::kPanel, L""},       {StateKind::kError, L""},
      {StateKind::kTip, L""},               {StateKind::kFinish, L""}};
  ASSERT_EQ(r.states.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(r.states[i].kind, expected[i].first) << i;
    EXPECT_EQ(r.states[i].control, expected[i].second) << i;
  }
  EXPECT_EQ(r.states[0].percent, 45);

  const ParsedArguments plain = Parse({L"--window", L"WinStopInstallBox"});
  ASSERT_TRUE(plain.ok);
  EXPECT_EQ(plain.request.language, L"English");
  EXPECT_EQ(plain.request.page, 0);
  EXPECT_TRUE(plain.request.output.empty());
}

TEST(PreviewArgumentsTest, MistakesAreRefusedWithTheReason) {
  const struct {
    std::vector<std::wstring> arguments;
    const wchar_t* reason;
  } cases[] = {
      {{}, L"--window names"},
      {{L"--language", L"English"}, L"--window names"},
      {{L"--window"}, L"missing value after --window"},
      {{L"--window", L"main", L"--colour", L"red"}, L"unknown option --colour"},
      {{L"--window", L"main", L"--page", L"-1"}, L"--page takes"},
      {{L"--window", L"main", L"--page", L"1x"}, L"--page takes"},
      {{L"--window", L"main", L"--state", L"progress=101"}, L"progress takes"},
      {{L"--window", L"main", L"--state", L"progress="}, L"progress takes"},
      {{L"--window", L"main", L"--state", L"progress=99999999999"}, L"progress takes"},
      {{L"--window", L"main", L"--state", L"hot"}, L"names a control"},
      {{L"--window", L"main", L"--state", L"hot="}, L"names a control"},
      {{L"--window", L"main", L"--state", L"panel=yes"}, L"takes no value"},
      {{L"--window", L"main", L"--state", L"sleepy"}, L"unknown state"},
  };
  for (const auto& c : cases) {
    const ParsedArguments parsed = ParseArguments(c.arguments);
    EXPECT_FALSE(parsed.ok) << encoding::WideToUtf8(c.reason);
    EXPECT_NE(parsed.error.find(c.reason), std::wstring::npos) << encoding::WideToUtf8(parsed.error);
  }
}

// The preview sets the texts the measuring script and the skin test know of, with the same shapes.
TEST(PreviewTextsTest, TheBindingsAreThoseTheTextFitTableLists) {
  std::map<std::wstring, std::wstring> listed;  // window + control -> shape and pattern
  std::istringstream lines(testsupport::ReadFileBytes(
      encoding::Utf8ToWide(std::string(NEXVALE_SOURCE_DIR) + "/tests/skin_ui/skin_texts.tsv")));
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::wstring> cells;
    std::istringstream fields(line);
    for (std::string cell; std::getline(fields, cell, '\t');) cells.push_back(encoding::Utf8ToWide(cell));
    ASSERT_EQ(cells.size(), 4u) << line;
    listed[cells[0] + L"/" + cells[1]] = cells[2] + L" " + cells[3];
  }
  ASSERT_EQ(listed.size(), TextBindings().size());
  for (const TextBinding& binding : TextBindings()) {
    const std::wstring shape = binding.shape == TextShape::kLine      ? L"line"
                               : binding.shape == TextShape::kShort24 ? L"short24"
                                                                      : L"wrap=";
    const std::wstring key = std::wstring(binding.window) + L"/" + binding.control;
    ASSERT_EQ(listed.count(key), 1u) << encoding::WideToUtf8(key);
    const std::wstring& row = listed[key];
    EXPECT_EQ(row.substr(0, shape.size()), shape) << encoding::WideToUtf8(key);
    EXPECT_EQ(row.substr(row.find(L' ') + 1), binding.pattern) << encoding::WideToUtf8(key);
  }
}

TEST(PreviewTextsTest, KeysAreFilledAndTheDiskLineIsShortened) {
  const std::map<std::wstring, std::wstring> texts = {
      {L"STR_INSTALL", L"Install"},
      {L"STR_MSB_Title", L"Insufficient disk space, please replace the disk download"},
      {L"STR_MSG_Context", L"Stop?"}};
  const auto text = [&](const std::wstring& key) {
    const auto found = texts.find(key);
    return found == texts.end() ? std::wstring() : found->second;
  };
  std::map<std::wstring, std::wstring> shown;
  for (const TextBinding& binding : TextBindings()) shown[binding.control] = ShownText(binding, text);
  EXPECT_EQ(shown[L"btn_install"], L"Install");
  EXPECT_EQ(shown[L"btn_install_msb"], L"Install");
  EXPECT_EQ(shown[L"label_title"], L"W: Drive Insufficient di...");
  EXPECT_EQ(shown[L"edit_path"], L"C:\\Program Files (x86)\\");
  EXPECT_EQ(shown[L"stop_lab_context"], L"Stop?");
  EXPECT_EQ(shown[L"btn_stop"], L"");  // a key the language lacks shows nothing
}

TEST(PreviewReportTest, LinesReadBackAsWritten) {
  const ControlLine control{L"btn_install", L"Button", Box{-3, 200, 610, 248}, true};
  const std::wstring controlText = FormatControlLine(control);
  EXPECT_EQ(controlText, L"control\tbtn_install\tButton\t-3\t200\t610\t248\tshown");
  const auto readControl = ParseControlLine(controlText);
  ASSERT_TRUE(readControl);
  EXPECT_EQ(readControl->name, control.name);
  EXPECT_EQ(readControl->kind, control.kind);
  EXPECT_EQ(readControl->box.left, -3);
  EXPECT_EQ(readControl->box.bottom, 248);
  EXPECT_TRUE(readControl->visible);

  const FitLine fit{L"btn_lisence", 301, 17, 330, 20, true, L"I've read\tand agreed"};
  const std::wstring fitText = FormatFitLine(fit);
  EXPECT_EQ(fitText, L"fit\tbtn_lisence\t301x17\tin\t330x20\tok\tI've read\tand agreed");
  const auto readFit = ParseFitLine(fitText);
  ASSERT_TRUE(readFit);
  EXPECT_EQ(readFit->control, fit.control);
  EXPECT_EQ(readFit->neededWidth, 301);
  EXPECT_EQ(readFit->roomHeight, 20);
  EXPECT_TRUE(readFit->fits);
  EXPECT_EQ(readFit->text, fit.text);

  for (const wchar_t* bad : {L"", L"control\tx\tButton\t1\t2\t3\t4", L"control\tx\tButton\t1\t2\t3\tfour\tshown",
                             L"control\t\tButton\t1\t2\t3\t4\tshown", L"control\tx\tButton\t1\t2\t3\t4\tmaybe",
                             L"control\tx\tButton\t1\t2\t3\t12345678\tshown"})
    EXPECT_FALSE(ParseControlLine(bad)) << encoding::WideToUtf8(bad);
  for (const wchar_t* bad : {L"fit\tx\t1x2\tin\t3x4\tfine\tt", L"fit\tx\t1y2\tin\t3x4\tok\tt", L"fit\tx\t1x2\tof\t3x4\tok\tt",
                             L"fit\tx\t1x2\tin\t3x4\tok"})
    EXPECT_FALSE(ParseFitLine(bad)) << encoding::WideToUtf8(bad);
}

TEST(PreviewReportTest, FitKeepsTheMarginForOtherMetrics) {
  EXPECT_TRUE(Fits(100, 110));
  EXPECT_FALSE(Fits(100, 109));
  EXPECT_TRUE(Fits(0, 0));
  EXPECT_FALSE(Fits(2000000, 2199999));  // no overflow for large figures
}

}  // namespace
