#include "skin_ui/MarkupLayout.h"

#include <algorithm>

#include "skin_ui/MarkupTokenizer.h"
#include "skin_ui/TextFormat.h"
#include "skin_ui/ValueSyntax.h"

namespace SkinUI {

namespace {

// Characters a word break never separates from their neighbours: letters and digits of the
// alphabetic scripts. A break may follow anything else: spaces, punctuation, and each
// ideograph, kana or Hangul syllable.
bool IsWordCharacter(wchar_t ch) {
  if ((ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z') || (ch >= L'0' && ch <= L'9')) return true;
  if (ch < 0x80) return false;
  if (ch >= 0x2000 && ch <= 0x206F) return false;  // general punctuation
  if (ch >= 0x2E80 && ch <= 0x9FFF) return false;  // CJK symbols, kana, ideographs
  if (ch >= 0xAC00 && ch <= 0xD7AF) return false;  // Hangul syllables
  if (ch >= 0xF900 && ch <= 0xFAFF) return false;  // CJK compatibility ideographs
  if (ch >= 0xFF00 && ch <= 0xFFEF) return false;  // full-width forms
  return true;
}

bool IsHighSurrogate(wchar_t ch) { return ch >= 0xD800 && ch <= 0xDBFF; }

CUIString Trimmed(const wchar_t* text, size_t length) {
  while (length > 0 && *text == L' ') ++text, --length;
  while (length > 0 && text[length - 1] == L' ') --length;
  return CUIString(text, static_cast<int>(length));
}

// The words of a tag's parameters, separated by spaces.
std::vector<CUIString> Words(const CUIString& text) {
  std::vector<CUIString> words;
  for (int at = 0; at < text.GetLength();) {
    const int space = text.Find(L' ', at);
    const int end = space < 0 ? text.GetLength() : space;
    if (end > at) words.push_back(text.Mid(at, end - at));
    at = end + 1;
  }
  return words;
}

bool StartsWithNumber(const CUIString& text) {
  const wchar_t first = text.GetAt(0);
  const wchar_t digit = first == L'-' || first == L'+' ? text.GetAt(1) : first;
  return digit >= L'0' && digit <= L'9';
}

constexpr wchar_t kEllipsis[] = L"...";

// A paragraph runs the way its first letter is written, tags left aside: an Arabic sentence
// with a coloured link in it places its pieces from the right, as its reader reads them.
bool IsRightToLeftParagraph(const wchar_t* text, size_t length) {
  CMarkupTokenizer tokenizer(text, length);
  bool raw = false;
  for (MarkupToken token = tokenizer.Next(raw); token.kind != MarkupTokenKind::kEnd; token = tokenizer.Next(raw)) {
    if (token.kind == MarkupTokenKind::kOpenTag || token.kind == MarkupTokenKind::kCloseTag) {
      if (token.tag == L'r') raw = token.kind == MarkupTokenKind::kOpenTag;
      continue;
    }
    if (token.kind != MarkupTokenKind::kText) continue;
    const TextDirection direction = FirstLetterDirection(token.text, token.length);
    if (direction != TextDirection::kNone) return direction == TextDirection::kRightToLeft;
  }
  return false;
}

class LayoutEngine {
 public:
  LayoutEngine(IMarkupMeasure& measure, const MarkupOptions& options)
      : measure_(measure),
        options_(options),
        rect_(options.rect),
        singleLine_((options.style & kTextSingleLine) != 0),
        wordBreak_((options.style & kTextWordBreak) != 0 && !singleLine_),
        ellipsis_((options.style & kTextEndEllipsis) != 0),
        alignLines_(!singleLine_ && (options.style & kTextCalcRect) == 0 &&
                    (options.style & (kTextCenter | kTextRight)) != 0) {
    fonts_.push_back(options.font);
    colors_.push_back(options.textColor);
    valigns_.push_back(MarkupVAlign::kBottom);
    lineTop_ = rect_.top;
    lastBottom_ = rect_.top;
  }

  MarkupLayout Run(const wchar_t* text, size_t length) {
    rightToLeft_ = IsRightToLeftParagraph(text, length);
    out_.rightToLeft = rightToLeft_;
    StartLine();
    CMarkupTokenizer tokenizer(text, length);
    bool raw = false;
    while (!done_) {
      const MarkupToken token = tokenizer.Next(raw);
      if (token.kind == MarkupTokenKind::kEnd) break;
      switch (token.kind) {
        case MarkupTokenKind::kText:
          PlaceText(token.text, static_cast<int>(token.length));
          break;
        case MarkupTokenKind::kLineBreak:
          if (!singleLine_) NewLine();
          break;
        case MarkupTokenKind::kOpenTag:
          if (token.tag == L'r')
            raw = true;
          else
            OpenTag(token.tag, Trimmed(token.text, token.length));
          break;
        case MarkupTokenKind::kCloseTag:
          if (token.tag == L'r')
            raw = false;
          else
            CloseTag(token.tag);
          break;
        case MarkupTokenKind::kEnd:
          break;
      }
    }
    if (!done_ && lineHasContent_) EndLine();
    FinishLinks();
    out_.bounds = UIRect{rect_.left, rect_.top, Saturate(rect_.left + widest_), Saturate(lastBottom_)};
    return std::move(out_);
  }

 private:
  struct OpenLink {
    CUIString target;
    size_t firstRun;
    bool pushedFont;
  };
  struct ClosedLink {
    size_t firstRun;
    size_t endRun;
  };

  int Font() const { return fonts_.back(); }

  int32_t LineMinimum() {
    return Saturate(int64_t{measure_.GetLineHeight(Font())} + (paragraphs_.empty() ? 0 : paragraphs_.back()));
  }

  void StartLine() {
    x_ = rect_.left;
    lineStart_ = out_.runs.size();
    lineHasContent_ = false;
    lineHeight_ = LineMinimum();
  }

  // Places the line's pieces now that its height is known, and moves down.
  void EndLine() {
    const int64_t height = lineHeight_;
    int64_t width = std::max<int64_t>(0, x_ - rect_.left);
    int64_t shift = 0;
    if (alignLines_) {
      const int64_t room = int64_t{rect_.Width()} - width;
      shift = std::max<int64_t>(0, (options_.style & kTextCenter) ? room / 2 : room);
    }
    for (size_t i = lineStart_; i < out_.runs.size(); ++i) {
      MarkupRun& run = out_.runs[i];
      const int64_t h = run.box.Height();
      int64_t top = lineTop_ + height - h;
      if (run.valign == MarkupVAlign::kTop) top = lineTop_;
      if (run.valign == MarkupVAlign::kCenter) top = lineTop_ + (height - h) / 2;
      run.box.top = Saturate(top);
      run.box.bottom = Saturate(top + h);
      if (rightToLeft_) {  // the pieces were placed from the left: turn them round in the line
        const int64_t w = run.box.Width();
        const int64_t left = rect_.left + (x_ - run.box.right);
        run.box.left = Saturate(left);
        run.box.right = Saturate(left + w);
      }
      run.box.Offset(shift, 0);
      run.lineTop = Saturate(lineTop_);
      run.lineBottom = Saturate(lineTop_ + height);
    }
    widest_ = std::max(widest_, width);
    lastBottom_ = lineTop_ + height;
    lineTop_ += height;
    if (lineTop_ >= rect_.bottom) done_ = true;
  }

  void NewLine() {
    EndLine();
    if (!done_) StartLine();
  }

  // Places the line in progress as the last one.
  void Finish() {
    EndLine();
    done_ = true;
  }

  // True when the line in progress is the last one the rectangle takes.
  bool IsLastLine(int32_t pieceHeight) const {
    return singleLine_ || lineTop_ + std::max(lineHeight_, pieceHeight) >= rect_.bottom;
  }

  void AddRun(MarkupRun run, int32_t width, int32_t height) {
    run.box = UIRect{Saturate(x_), 0, Saturate(x_ + width), height};
    run.valign = valigns_.back();
    out_.runs.push_back(std::move(run));
    lineHeight_ = std::max(lineHeight_, height);
    x_ += width;
    lineHasContent_ = true;
  }

  void AddText(const wchar_t* text, int length, const wchar_t* suffix = nullptr) {
    MarkupRun run;
    run.text.Assign(text, length);
    if (suffix) run.text += suffix;
    run.font = Font();
    run.color = colors_.back();
    run.selectedBackground = selected_;
    const int32_t width = measure_.MeasureText(Font(), run.text, run.text.GetLength());
    AddRun(std::move(run), width, measure_.GetLineHeight(Font()));
  }

  // Where a run that does not fit into `width` is cut: after the last space or other break
  // opportunity that fits when breaking words, else after the last character that fits. Zero
  // moves the whole run to the next line.
  int CutPosition(const wchar_t* text, int length, int fit) const {
    int cut = fit;
    if (wordBreak_) {
      int brk = 0;
      if (fit < length && text[fit] == L' ') {
        brk = fit + 1;  // the space itself may overhang
      } else {
        for (int i = fit; i > 0 && brk == 0; --i)
          if (!IsWordCharacter(text[i - 1])) brk = i;
      }
      cut = brk > 0 ? brk : (lineHasContent_ ? 0 : fit);
    }
    if (cut > 0 && cut < length && IsHighSurrogate(text[cut - 1])) --cut;  // never split a pair
    if (cut == 0 && !lineHasContent_) cut = std::min(length, IsHighSurrogate(text[0]) ? 2 : 1);
    return cut;
  }

  void PlaceText(const wchar_t* text, int length) {
    while (length > 0 && !done_) {
      const int32_t room = Saturate(std::max<int64_t>(0, rect_.right - x_));
      if (measure_.MeasureText(Font(), text, length) <= room) {
        AddText(text, length);
        return;
      }
      const int fit = measure_.FitText(Font(), text, length, room);
      const bool lastLine = IsLastLine(measure_.GetLineHeight(Font()));
      if (ellipsis_ && lastLine) {
        const int32_t ellipsisWidth = measure_.MeasureText(Font(), kEllipsis, 3);
        const int keep = measure_.FitText(Font(), text, length, std::max(0, room - ellipsisWidth));
        AddText(text, keep > 0 && IsHighSurrogate(text[keep - 1]) ? keep - 1 : keep, kEllipsis);
        Finish();
        return;
      }
      const int cut = CutPosition(text, length, fit);
      if (cut > 0) AddText(text, cut);
      if (lastLine) {
        Finish();
        return;
      }
      text += cut;
      length -= cut;
      NewLine();
    }
  }

  void PlaceImage(const CUIString& params) {
    UIImageDescription image;
    int rest = 0;
    const int lastQuote = [&params] {
      int at = -1;
      for (int i = params.Find(L'\''); i >= 0; i = params.Find(L'\'', i + 1)) at = i;
      return at;
    }();
    if (lastQuote >= 0) {
      ParseImageDescription(params.Left(lastQuote + 1), image);
      rest = lastQuote + 1;
    } else {
      const int space = params.Find(L' ');
      rest = space < 0 ? params.GetLength() : space;
      image.name = params.Left(rest);
    }
    int32_t numbers[2] = {1, 0};
    const CUIString tail = params.Mid(rest);
    if (ParseNumberList(tail, numbers, 2) == 0) numbers[0] = 1;
    const int32_t frames = std::max(1, numbers[0]);
    const int32_t frame = numbers[1] >= 0 && numbers[1] < frames ? numbers[1] : 0;

    UISize size;
    if (!measure_.GetImageSize(image, size) || size.cx <= 0 || size.cy <= 0) return;
    const int32_t frameWidth = size.cx / frames;
    if (!singleLine_ && lineHasContent_ && x_ + frameWidth > rect_.right) NewLine();
    if (done_) return;
    MarkupRun run;
    run.isImage = true;
    run.image = image;
    run.imageSource = UIRect{Saturate(int64_t{frame} * frameWidth), 0, Saturate(int64_t{frame + 1} * frameWidth),
                             size.cy};
    AddRun(std::move(run), frameWidth, size.cy);
  }

  void PushFont(int font) {
    fonts_.push_back(font);
    lineHeight_ = std::max(lineHeight_, measure_.GetLineHeight(font));
  }

  void PushVariant(bool bold, bool underline, bool italic) {
    UIFontStyle style = measure_.GetFontStyle(Font());
    style.bold |= bold;
    style.underline |= underline;
    style.italic |= italic;
    PushFont(measure_.FindOrAddFont(style));
  }

  void PushNamedFont(const CUIString& params) {
    if (StartsWithNumber(params)) {
      PushFont(ParseNumber(params));
      return;
    }
    const std::vector<CUIString> words = Words(params);
    if (words.empty()) {
      PushFont(Font());  // keeps the closing tag balanced
      return;
    }
    UIFontStyle style;
    style.face = words[0];
    style.size = 10;
    for (size_t i = 1; i < words.size(); ++i) {
      if (StartsWithNumber(words[i]))
        style.size = ParseNumber(words[i]);
      else if (words[i] == L"bold")
        style.bold = true;
      else if (words[i] == L"underline")
        style.underline = true;
      else if (words[i] == L"italic")
        style.italic = true;
    }
    PushFont(measure_.FindOrAddFont(style));
  }

  void PopFont() {
    if (fonts_.size() < 2) return;
    const bool wasItalic = measure_.GetFontStyle(Font()).italic;
    const int left = Font();
    fonts_.pop_back();
    if (wasItalic && !measure_.GetFontStyle(Font()).italic) x_ += measure_.GetSpaceTrailing(left) / 2;
    lineHeight_ = std::max(lineHeight_, measure_.GetLineHeight(Font()));
  }

  void PopColor() {
    if (colors_.size() > 1) colors_.pop_back();
  }

  void OpenTag(wchar_t tag, const CUIString& params) {
    switch (tag) {
      case L'a': {
        const bool hovered = !params.IsEmpty() && params == options_.hoveredLink;
        colors_.push_back(hovered ? options_.linkHoverColor : options_.linkColor);
        const bool underlined = measure_.GetFontStyle(Font()).underline;
        if (!underlined) PushVariant(false, true, false);
        links_.push_back(OpenLink{params, out_.runs.size(), !underlined});
        break;
      }
      case L'b':
        PushVariant(true, false, false);
        break;
      case L'c':
        colors_.push_back(ParseColor(params));
        break;
      case L'f':
        PushNamedFont(params);
        break;
      case L'i':
        if (params.IsEmpty())
          PushVariant(false, false, true);
        else
          PlaceImage(params);
        break;
      case L'n':
        if (!singleLine_) NewLine();
        break;
      case L'p':
        if (!singleLine_ && lineHasContent_) NewLine();
        paragraphs_.push_back(std::max(0, ParseNumber(params)));
        lineHeight_ = std::max(lineHeight_, LineMinimum());
        break;
      case L's':
        selected_ = !selected_;
        break;
      case L'u':
        PushVariant(false, true, false);
        break;
      case L'v':
        valigns_.push_back(params == L"center" ? MarkupVAlign::kCenter
                           : params == L"top"  ? MarkupVAlign::kTop
                                               : MarkupVAlign::kBottom);
        break;
      case L'x':
        x_ += ParseNumber(params);
        break;
      case L'y':
        lineHeight_ = std::max(0, ParseNumber(params));
        break;
      default:
        break;  // a tag this toolkit does not know
    }
  }

  void CloseTag(wchar_t tag) {
    switch (tag) {
      case L'a':
        if (!links_.empty()) {
          const OpenLink link = links_.back();
          links_.pop_back();
          closed_.push_back(ClosedLink{link.firstRun, out_.runs.size()});
          out_.links.push_back(MarkupLink{UIRect{Saturate(x_), Saturate(lineTop_), Saturate(x_), Saturate(lineTop_)},
                                          link.target});
          PopColor();
          if (link.pushedFont) PopFont();
        }
        break;
      case L'b':
      case L'f':
      case L'i':
      case L'u':
        PopFont();
        break;
      case L'c':
        PopColor();
        break;
      case L'p':
        if (!paragraphs_.empty()) paragraphs_.pop_back();
        if (!singleLine_) NewLine();
        break;
      case L's':
        selected_ = !selected_;
        break;
      case L'v':
        if (valigns_.size() > 1) valigns_.pop_back();
        break;
      default:
        break;
    }
  }

  // Each link's rectangle covers its pieces, now that every line is placed. A link without a
  // piece keeps the empty rectangle where it ended.
  void FinishLinks() {
    for (size_t i = 0; i < closed_.size(); ++i) {
      UIRect rect;
      for (size_t r = closed_[i].firstRun; r < closed_[i].endRun && r < out_.runs.size(); ++r) {
        const MarkupRun& run = out_.runs[r];
        rect.Join(UIRect{run.box.left, run.lineTop, run.box.right, run.lineBottom});
      }
      if (!rect.IsEmpty()) out_.links[i].rect = rect;
    }
  }

  IMarkupMeasure& measure_;
  const MarkupOptions& options_;
  const UIRect rect_;
  const bool singleLine_;
  const bool wordBreak_;
  const bool ellipsis_;
  const bool alignLines_;

  std::vector<int> fonts_;
  std::vector<UIColor> colors_;
  std::vector<int32_t> paragraphs_;
  std::vector<MarkupVAlign> valigns_;
  std::vector<OpenLink> links_;
  std::vector<ClosedLink> closed_;
  MarkupLayout out_;

  int64_t x_ = 0;
  int64_t lineTop_ = 0;
  int32_t lineHeight_ = 0;
  size_t lineStart_ = 0;
  bool lineHasContent_ = false;
  bool selected_ = false;
  bool done_ = false;
  bool rightToLeft_ = false;
  int64_t widest_ = 0;
  int64_t lastBottom_ = 0;
};

}  // namespace

MarkupLayout LayoutMarkup(IMarkupMeasure& measure, const wchar_t* text, size_t length, const MarkupOptions& options) {
  MarkupOptions placed = options;
  const uint32_t style = options.style;
  const bool singleLine = (style & kTextSingleLine) != 0;
  if ((style & kTextCalcRect) == 0 && (style & (kTextCenter | kTextRight | kTextVCenter | kTextBottom)) != 0) {
    MarkupOptions probe = options;
    probe.style |= kTextCalcRect;
    probe.rect = singleLine ? UIRect{0, 0, 9999, 100} : UIRect{0, 0, options.rect.Width(), options.rect.Height()};
    const UIRect measured = LayoutEngine(measure, probe).Run(text, length).bounds;
    UIRect& rect = placed.rect;
    if (singleLine) {
      // Narrowed to the text, never widened: text wider than the rectangle keeps its ellipsis.
      const int32_t width = std::min(measured.Width(), rect.Width());
      if (style & kTextCenter) rect.left = Saturate(rect.left + int64_t{rect.Width() - width} / 2);
      if (style & kTextRight) rect.left = Saturate(int64_t{rect.right} - width);
      if (style & (kTextCenter | kTextRight)) rect.right = Saturate(int64_t{rect.left} + width);
    }
    if (style & kTextVCenter)
      rect.top = Saturate(rect.top + (int64_t{rect.Height()} - measured.Height()) / 2);
    else if (style & kTextBottom)
      rect.top = Saturate(int64_t{rect.bottom} - measured.Height());
  }
  return LayoutEngine(measure, placed).Run(text, length);
}

const CUIString* FindHoveredLink(UIPoint point, const UIRect* rects, const CUIString* targets, int count) {
  if (!rects || !targets) return nullptr;
  for (int i = 0; i < count; ++i)
    if (rects[i].Contains(point)) return &targets[i];
  return nullptr;
}

}  // namespace SkinUI
