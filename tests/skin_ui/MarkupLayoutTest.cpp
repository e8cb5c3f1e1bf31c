// Inline markup: the tokenizer, and the layout through a measuring stand-in whose characters
// are all as wide as half the font size and whose lines are the font size plus 4 high.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "skin_ui/MarkupLayout.h"
#include "skin_ui/MarkupTokenizer.h"
#include "skin_ui/TextFormat.h"

namespace {

using namespace SkinUI;

// Font 0 is the window's default: "Sans" 12, characters 6 wide, lines 16 high. Bold characters
// are one pixel wider; italic faces have a trailing space of -4.
class FakeMeasure : public IMarkupMeasure {
 public:
  FakeMeasure() {
    fonts_.push_back(UIFontStyle{L"Sans", 12});
    fonts_.push_back(UIFontStyle{L"Sans", 12, true});
    fonts_.push_back(UIFontStyle{L"Serif", 20});
  }
  UIFontStyle GetFontStyle(int font) override { return fonts_[Index(font)]; }
  int FindOrAddFont(const UIFontStyle& style) override {
    for (size_t i = 0; i < fonts_.size(); ++i) {
      const UIFontStyle& f = fonts_[i];
      if (f.face == style.face && f.size == style.size && f.bold == style.bold && f.underline == style.underline &&
          f.italic == style.italic)
        return static_cast<int>(i);
    }
    fonts_.push_back(style);
    return static_cast<int>(fonts_.size() - 1);
  }
  int32_t GetLineHeight(int font) override { return GetFontStyle(font).size + 4; }
  int32_t MeasureText(int font, const wchar_t*, int length) override { return length * CharWidth(font); }
  int FitText(int font, const wchar_t*, int length, int32_t width) override {
    return std::min(length, width / CharWidth(font));
  }
  int32_t GetSpaceTrailing(int font) override { return GetFontStyle(font).italic ? -4 : 2; }
  bool GetImageSize(const UIImageDescription& image, UISize& size) override {
    const std::map<std::wstring, UISize> images = {{L"icon.png", {20, 10}}, {L"frames.png", {60, 12}},
                                                   {L"tall.png", {10, 30}}};
    auto it = images.find(image.name.GetData());
    if (it == images.end()) return false;
    size = it->second;
    return true;
  }
  std::vector<UIFontStyle> fonts_;

 private:
  size_t Index(int font) const { return font >= 0 && static_cast<size_t>(font) < fonts_.size() ? font : 0; }
  int32_t CharWidth(int font) { return GetFontStyle(font).size / 2 + (GetFontStyle(font).bold ? 1 : 0); }
};

constexpr UIColor kText = 0xFF101010;
constexpr UIColor kLink = 0xFF0000FF;
constexpr UIColor kLinkHover = 0xFFD3215F;

MarkupOptions Options(UIRect rect, uint32_t style = 0) {
  MarkupOptions options;
  options.rect = rect;
  options.textColor = kText;
  options.font = 0;
  options.style = style;
  options.linkColor = kLink;
  options.linkHoverColor = kLinkHover;
  return options;
}

MarkupLayout Layout(FakeMeasure& measure, const std::wstring& text, const MarkupOptions& options) {
  return LayoutMarkup(measure, text.c_str(), text.size(), options);
}

// Each run as text@left,top (pictures as [name]@left,top), separated by '|'.
std::wstring Runs(const MarkupLayout& layout) {
  std::wstring out;
  for (const MarkupRun& run : layout.runs) {
    if (!out.empty()) out += L"|";
    out += run.isImage ? L"[" + std::wstring(run.image.name) + L"]" : std::wstring(run.text);
    out += L"@" + std::to_wstring(run.box.left) + L"," + std::to_wstring(run.box.top);
  }
  return out;
}

std::wstring Tokens(const std::wstring& text, bool raw = false) {
  CMarkupTokenizer tokenizer(text.c_str(), text.size());
  std::wstring out;
  for (MarkupToken t = tokenizer.Next(raw); t.kind != MarkupTokenKind::kEnd; t = tokenizer.Next(raw)) {
    if (!out.empty()) out += L" ";
    switch (t.kind) {
      case MarkupTokenKind::kText:
        out += L"T[" + std::wstring(t.text, t.length) + L"]";
        break;
      case MarkupTokenKind::kLineBreak:
        out += L"LF";
        break;
      case MarkupTokenKind::kOpenTag:
        out += std::wstring(L"<") + t.tag + L":" + std::wstring(t.text, t.length) + L">";
        break;
      case MarkupTokenKind::kCloseTag:
        out += std::wstring(L"</") + t.tag + L">";
        break;
      case MarkupTokenKind::kEnd:
        break;
    }
  }
  return out;
}

TEST(MarkupTokenizerTest, SplitsTextTagsEscapesAndLineFeeds) {
  const struct {
    const wchar_t* text;
    const wchar_t* tokens;
  } cases[] = {
      {L"plain {c #FF4858EC}three{/c}!", L"T[plain ] <c:#FF4858EC> T[three] </c> T[!]"},
      {L"<b>bold</b><u>u}", L"<b:> T[bold] </b> <u:> T[u}]"},
      {L"{a http://x.example/?q=1}go{/a}", L"<a:http://x.example/?q=1> T[go] </a>"},
      {L"{c #1>mixed closers}", L"<c:#1> T[mixed closers}]"},
      {L"{<}b{>} <{>x<}>", L"T[<] T[b] T[>] T[ ] T[{] T[x] T[}]"},
      {L"a <br> b {B} {1} {/1} { a}", L"T[a <br> b {B} {1} {/1} { a}]"},
      {L"unclosed {a http://x", L"T[unclosed {a http://x]"},
      {L"{/cx yz} {/", L"</c> T[ {/]"},
      {L"one\r\ntwo\nthree\rfour", L"T[one] LF T[two] LF T[three] LF T[four]"},
      {L"{n}{p 4}", L"<n:> <p:4>"},
      {L"{x", L"T[{x]"},
  };
  for (const auto& c : cases) EXPECT_EQ(Tokens(c.text), c.tokens) << c.text;
  EXPECT_EQ(Tokens(L"{b}<{>{/b}</r>tail", true), L"T[{b}<{>{/b}] </r> T[tail]");
  EXPECT_EQ(Tokens(L"a{/r}", true), L"T[a] </r>");
}

TEST(MarkupTokenizerTest, StaysInsideEveryTruncationOfTheText) {
  const std::wstring full = L"x{c #FF00FF00}y{/c}{a t}z{/a}<{>{<}{>}<}>{r}{b}{/r}\r\n{i icon.png 3 1}{/i}{f Serif 2}";
  for (size_t n = 0; n <= full.size(); ++n) {
    // No terminator and an exact size: the address sanitizer stops any read past the end.
    std::vector<wchar_t> text(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
    for (bool raw : {false, true}) {
      CMarkupTokenizer tokenizer(text.data(), text.size());
      size_t steps = 0;
      for (MarkupToken t = tokenizer.Next(raw); t.kind != MarkupTokenKind::kEnd; t = tokenizer.Next(raw)) {
        if (t.text) {
          EXPECT_GE(t.text, text.data());
          EXPECT_LE(t.text + t.length, text.data() + text.size());
        }
        ASSERT_LE(++steps, n);  // every token consumes something
      }
    }
  }
}

TEST(MarkupTokenizerTest, MultiLanguageTokensAreReplacedWhereAStringExists) {
  const MultiLanguageLookup lookup = [](int id) -> const wchar_t* { return id == 7 ? L"Seven" : nullptr; };
  EXPECT_EQ(std::wstring(ExpandMultiLanguageTokens(L"a%{7}b%{8}c%{x}%{7%{99999999999}%", lookup)),
            L"aSevenb%{8}c%{x}%{7%{99999999999}%");
  EXPECT_EQ(std::wstring(ExpandMultiLanguageTokens(nullptr, lookup)), L"");
}

TEST(MarkupLayoutTest, ColourTagWordsShareTheLineOfThePlainWords) {
  FakeMeasure measure;
  const MarkupLayout layout =
      Layout(measure, L"Plain words {c #FF4858EC}three more words{/c} end", Options({10, 20, 400, 60}));
  EXPECT_EQ(Runs(layout), L"Plain words @10,20|three more words@82,20| end@178,20");
  ASSERT_EQ(layout.runs.size(), 3u);
  EXPECT_EQ(layout.runs[0].color, kText);
  EXPECT_EQ(layout.runs[1].color, 0xFF4858ECu);
  EXPECT_EQ(layout.runs[2].color, kText);
  EXPECT_EQ(Runs(Layout(measure, L"{<}b{>}", Options({0, 0, 100, 20}))), L"<@0,0|b@6,0|>@12,0");
}

TEST(MarkupLayoutTest, WordBreakCutAndEllipsis) {
  const uint32_t single = kTextSingleLine;
  const uint32_t wrap = kTextWordBreak;
  const uint32_t ellipsis = kTextEndEllipsis;
  const struct {
    const wchar_t* text;
    uint32_t style;
    UIRect rect;  // 10 characters wide
    const wchar_t* runs;
  } cases[] = {
      {L"aaa bbb ccc ddd", wrap, {0, 0, 60, 100}, L"aaa bbb @0,0|ccc ddd@0,16"},
      {L"aaa bbb ccc ddd", 0, {0, 0, 60, 100}, L"aaa bbb cc@0,0|c ddd@0,16"},
      {L"aaaaaaaaa bb", wrap, {0, 0, 60, 100}, L"aaaaaaaaa @0,0|bb@0,16"},
      {L"one-two-three", wrap, {0, 0, 60, 100}, L"one-two-@0,0|three@0,16"},
      // A word longer than the line is cut where it stops fitting.
      {L"abcdefghijklmnop", wrap, {0, 0, 60, 100}, L"abcdefghij@0,0|klmnop@0,16"},
      // A word that does not fit after other text moves to the next line whole.
      {L"aaaa{c #FF0000FF}bbbbbbbbb{/c}", wrap, {0, 0, 60, 100}, L"aaaa@0,0|bbbbbbbbb@0,16"},
      {L"\x4E2D\x6587\x4E2D\x6587\x4E2D\x6587\x4E2D\x6587\x4E2D\x6587\x4E2D", wrap, {0, 0, 60, 100},
       L"\x4E2D\x6587\x4E2D\x6587\x4E2D\x6587\x4E2D\x6587\x4E2D\x6587@0,0|\x4E2D@0,16"},
      {L"abcdefghijklmnop", single, {0, 0, 60, 100}, L"abcdefghij@0,0"},
      {L"abcdefghijklmnop", single | ellipsis, {0, 0, 60, 100}, L"abcdefg...@0,0"},
      {L"abc{n}def\nghi", single, {0, 0, 60, 100}, L"abc@0,0|def@18,0|ghi@36,0"},
      // On the last line the rectangle takes, the ellipsis ends the text.
      {L"aaa bbb ccc ddd eee fff", wrap | ellipsis, {0, 0, 60, 32}, L"aaa bbb @0,0|ccc ddd...@0,16"},
      {L"aaa bbb ccc ddd eee fff", wrap, {0, 0, 60, 32}, L"aaa bbb @0,0|ccc ddd @0,16"},
      // A line that would start below the bottom is not laid out.
      {L"l1{n}l2{n}l3{n}l4", 0, {0, 0, 60, 40}, L"l1@0,0|l2@0,16|l3@0,32"},
  };
  for (const auto& c : cases) {
    FakeMeasure measure;
    EXPECT_EQ(Runs(Layout(measure, c.text, Options(c.rect, c.style))), c.runs) << c.text;
  }
}

TEST(MarkupLayoutTest, LinksGetTheirColourUnderlineAndRectangle) {
  FakeMeasure measure;
  MarkupOptions options = Options({0, 0, 60, 100}, kTextWordBreak);
  const wchar_t* text = L"go {a first}here{/a}{n}go {a second}two words{/a} end";
  MarkupLayout layout = Layout(measure, text, options);
  EXPECT_EQ(Runs(layout), L"go @0,0|here@18,0|go @0,16|two @18,16|words@0,32| end@30,32");
  ASSERT_EQ(layout.links.size(), 2u);
  EXPECT_EQ(std::wstring(layout.links[0].target), L"first");
  EXPECT_EQ(layout.links[0].rect, (UIRect{18, 0, 42, 16}));
  // A link broken over two lines: its rectangle covers both pieces, each to its line's height.
  EXPECT_EQ(std::wstring(layout.links[1].target), L"second");
  EXPECT_EQ(layout.links[1].rect, (UIRect{0, 16, 42, 48}));
  const MarkupRun& here = layout.runs[1];
  EXPECT_EQ(here.color, kLink);
  EXPECT_TRUE(measure.GetFontStyle(here.font).underline);
  EXPECT_EQ(layout.runs[2].color, kText);
  EXPECT_FALSE(measure.GetFontStyle(layout.runs[2].font).underline);

  options.hoveredLink = L"second";
  layout = Layout(measure, text, options);
  EXPECT_EQ(layout.runs[1].color, kLink);
  EXPECT_EQ(layout.runs[3].color, kLinkHover);
  EXPECT_EQ(layout.runs[4].color, kLinkHover);
  EXPECT_EQ(layout.runs[5].color, kText);

  // Underline around a link around a word: underlined, in the link colour; both close cleanly.
  layout = Layout(measure, L"{u}{a t}word{/a}{/u} after", options);
  ASSERT_EQ(layout.runs.size(), 2u);
  EXPECT_EQ(layout.runs[0].color, kLink);
  EXPECT_TRUE(measure.GetFontStyle(layout.runs[0].font).underline);
  EXPECT_EQ(layout.runs[1].font, 0);
  EXPECT_EQ(layout.runs[1].color, kText);

  const UIRect rects[] = {{0, 0, 10, 10}, {20, 0, 30, 10}};
  const CUIString targets[] = {L"a", L"b"};
  EXPECT_EQ(FindHoveredLink({25, 5}, rects, targets, 2), &targets[1]);
  EXPECT_EQ(FindHoveredLink({15, 5}, rects, targets, 2), nullptr);
  EXPECT_EQ(FindHoveredLink({25, 5}, rects, targets, 1), nullptr);
}

TEST(MarkupLayoutTest, FontTagsFindOrMakeTheirFontAndPopBack) {
  FakeMeasure measure;
  const MarkupLayout layout =
      Layout(measure, L"{b}B{/b}{i}I{/i}J{f 2}F{/f}{f Serif 20 bold}G{/f}{f Mono}H{/f}K{/b}",
             Options({0, 0, 400, 100}));
  ASSERT_EQ(layout.runs.size(), 7u);
  EXPECT_EQ(layout.runs[0].font, 1);  // the existing bold font
  const UIFontStyle italic = measure.GetFontStyle(layout.runs[1].font);
  EXPECT_TRUE(italic.italic);
  EXPECT_EQ(std::wstring(italic.face), L"Sans");
  // Leaving italic moves the pen by half the italic face's trailing space (-4).
  EXPECT_EQ(layout.runs[2].box.left, 13 - 2);
  EXPECT_EQ(layout.runs[3].font, 2);
  const UIFontStyle serifBold = measure.GetFontStyle(layout.runs[4].font);
  EXPECT_EQ(std::wstring(serifBold.face), L"Serif");
  EXPECT_EQ(serifBold.size, 20);
  EXPECT_TRUE(serifBold.bold);
  EXPECT_EQ(measure.GetFontStyle(layout.runs[5].font).size, 10);  // a face without a size
  EXPECT_EQ(layout.runs[6].font, 0);  // an unmatched close leaves the call's font
  // One line, as high as its tallest font; every run sits on its bottom.
  for (const MarkupRun& run : layout.runs) EXPECT_EQ(run.box.bottom, 24) << std::wstring(run.text);
}

TEST(MarkupLayoutTest, ParagraphsBreaksPenMovesAlignmentSelectionAndRawText) {
  FakeMeasure measure;
  const UIRect rect{0, 0, 200, 200};
  EXPECT_EQ(Runs(Layout(measure, L"a{p 6}b{/p}c", Options(rect))), L"a@0,0|b@0,22|c@0,38");
  EXPECT_EQ(Runs(Layout(measure, L"a{n}{n}b", Options(rect))), L"a@0,0|b@0,32");
  EXPECT_EQ(Runs(Layout(measure, L"a{x 5}b{y 30}c", Options(rect))), L"a@0,14|b@11,14|c@17,14");
  EXPECT_EQ(Runs(Layout(measure, L"t{v top}a{v center}b{/v}c{i tall.png}", Options(rect))),
            L"t@0,14|a@6,0|b@12,7|c@18,0|[tall.png]@24,0");
  EXPECT_EQ(Runs(Layout(measure, L"{r}{b}x{/b}</r>y", Options(rect))), L"{b}x{/b}@0,0|y@48,0");
  const MarkupLayout selected = Layout(measure, L"a{s}b{/s}c", Options(rect));
  ASSERT_EQ(selected.runs.size(), 3u);
  EXPECT_FALSE(selected.runs[0].selectedBackground);
  EXPECT_TRUE(selected.runs[1].selectedBackground);
  EXPECT_FALSE(selected.runs[2].selectedBackground);
}

TEST(MarkupLayoutTest, InlinePicturesShowTheirFrameAndWrap) {
  FakeMeasure measure;
  const MarkupLayout layout =
      Layout(measure, L"{i frames.png 3 1}{i file='frames.png' 3 7}{i missing.png}{i icon.png}{i icon.png}",
             Options({0, 0, 70, 100}));
  EXPECT_EQ(Runs(layout), L"[frames.png]@0,4|[frames.png]@20,4|[icon.png]@40,6|[icon.png]@0,22");
  EXPECT_EQ(layout.runs[0].imageSource, (UIRect{20, 0, 40, 12}));
  EXPECT_EQ(layout.runs[1].imageSource, (UIRect{0, 0, 20, 12}));  // frame 7 of 3: the first
  EXPECT_EQ(layout.runs[3].box, (UIRect{0, 22, 20, 32}));
}

TEST(MarkupLayoutTest, CalculationAndAlignment) {
  FakeMeasure measure;
  MarkupLayout layout = Layout(measure, L"aaa bbb ccc", Options({5, 5, 65, 500}, kTextWordBreak | kTextCalcRect));
  EXPECT_EQ(layout.bounds, (UIRect{5, 5, 53, 37}));
  EXPECT_EQ(Layout(measure, L"", Options({5, 5, 65, 500}, kTextCalcRect)).bounds, (UIRect{5, 5, 5, 5}));

  const struct {
    uint32_t style;
    const wchar_t* runs;
  } cases[] = {
      {kTextSingleLine | kTextCenter, L"abcd@38,0"},
      {kTextSingleLine | kTextRight, L"abcd@76,0"},
      {kTextSingleLine | kTextVCenter, L"abcd@0,12"},
      {kTextSingleLine | kTextBottom | kTextRight, L"abcd@76,24"},
      // Multi-line: each line is centred or right-aligned on its own.
      {kTextCenter, L"abcd@38,0|ef@44,16"},
      {kTextRight | kTextBottom, L"abcd@76,8|ef@88,24"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Runs(Layout(measure, c.style & kTextSingleLine ? L"abcd" : L"abcd{n}ef", Options({0, 0, 100, 40}, c.style))),
              c.runs)
        << c.style;
  }
  // Too wide for a centred single line: the rectangle is not widened, so the ellipsis shows.
  EXPECT_EQ(Runs(Layout(measure, L"abcdefghijklmnop", Options({0, 0, 60, 20}, kTextSingleLine | kTextCenter | kTextEndEllipsis))),
            L"abcdefg...@0,0");
}

TEST(TextDirectionTest, TheFirstLetterDecides) {
  const struct {
    const wchar_t* text;
    TextDirection direction;
  } cases[] = {
      {L"", TextDirection::kNone},
      {L"12, 3.5% - ...", TextDirection::kNone},
      {L"12 abc \x0627", TextDirection::kLeftToRight},
      {L"(12) \x0627 abc", TextDirection::kRightToLeft},
      {L"\x05D0", TextDirection::kRightToLeft},      // Hebrew
      {L"\xFEFB", TextDirection::kRightToLeft},      // an Arabic presentation form
      {L"\x3001\x65E5", TextDirection::kLeftToRight},  // CJK punctuation, then an ideograph
      {L"\x0E04", TextDirection::kLeftToRight},      // Thai
  };
  for (const auto& c : cases)
    EXPECT_EQ(FirstLetterDirection(c.text, wcslen(c.text)), c.direction) << testing::PrintToString(std::wstring(c.text));
}

// A paragraph whose first letter is Arabic places its pieces from the right, line by line; tag
// parameters, digits and punctuation decide nothing, and a Latin paragraph stays as it was.
TEST(MarkupLayoutTest, RightToLeftParagraphsPlaceTheirPiecesFromTheRight) {
  FakeMeasure measure;
  const std::wstring arabic = L"12 \x0644\x0642 {c #FF4858EC}\x0627\x062A{/c} \x0648";
  const struct {
    std::wstring text;
    UIRect rect;
    uint32_t style;
    std::wstring runs;
  } cases[] = {
      {arabic, {0, 0, 200, 40}, kTextSingleLine,
       L"12 \x0644\x0642 @24,0|\x0627\x062A@12,0| \x0648@0,0"},
      {arabic, {0, 0, 200, 40}, kTextSingleLine | kTextRight,
       L"12 \x0644\x0642 @164,0|\x0627\x062A@152,0| \x0648@140,0"},
      // Broken into lines, each line is turned round on its own.
      {arabic, {0, 0, 40, 40}, kTextWordBreak,
       L"12 \x0644\x0642 @0,0|\x0627\x062A@12,16| \x0648@0,16"},
      {L"ab {c #FF0000FF}\x0627{/c}", {0, 0, 200, 40}, kTextSingleLine, L"ab @0,0|\x0627@18,0"},
  };
  for (const auto& c : cases) EXPECT_EQ(Runs(Layout(measure, c.text, Options(c.rect, c.style))), c.runs) << c.style;
}

}  // namespace
