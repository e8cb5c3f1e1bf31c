// Inline markup on any text: the tokenizer over an exactly sized buffer without terminator
// (every token must lie inside it and consume something), then the whole layout with a simple
// measure, in a rectangle and with style flags taken from the first bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "skin_ui/MarkupLayout.h"
#include "skin_ui/MarkupTokenizer.h"
#include "skin_ui/TextFormat.h"

namespace {

using namespace SkinUI;

class SimpleMeasure : public IMarkupMeasure {
 public:
  UIFontStyle GetFontStyle(int font) override {
    return font >= 0 && static_cast<std::size_t>(font) < fonts_.size() ? fonts_[font] : fonts_[0];
  }
  int FindOrAddFont(const UIFontStyle& style) override {
    if (fonts_.size() < 64) fonts_.push_back(style);
    return static_cast<int>(fonts_.size() - 1);
  }
  int32_t GetLineHeight(int font) override { return 4 + (GetFontStyle(font).size & 31); }
  int32_t MeasureText(int, const wchar_t*, int length) override { return length * 5; }
  int FitText(int, const wchar_t*, int length, int32_t width) override { return width / 5 < length ? width / 5 : length; }
  int32_t GetSpaceTrailing(int font) override { return GetFontStyle(font).italic ? -3 : 1; }
  bool GetImageSize(const UIImageDescription& image, UISize& size) override {
    if (image.name.IsEmpty()) return false;
    size = UISize{7 * (1 + image.name.GetLength() % 5), 3};
    return true;
  }

 private:
  std::vector<UIFontStyle> fonts_{UIFontStyle{L"Sans", 12}};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const uint32_t style = (data[0] & 0x3F) | ((data[0] & 0x40) ? kTextEndEllipsis : 0) | ((data[0] & 0x80) ? kTextCalcRect : 0);
  const UIRect rect{0, 0, data[1] * 4, data[2] * 2};
  std::vector<wchar_t> text(data + 3, data + size);

  for (bool raw : {false, true}) {
    CMarkupTokenizer tokenizer(text.data(), text.size());
    std::size_t tokens = 0;
    for (MarkupToken t = tokenizer.Next(raw); t.kind != MarkupTokenKind::kEnd; t = tokenizer.Next(raw)) {
      if (t.text && (t.text < text.data() || t.text + t.length > text.data() + text.size())) std::abort();
      if (++tokens > text.size()) std::abort();
    }
  }

  SimpleMeasure measure;
  MarkupOptions options;
  options.rect = rect;
  options.style = style;
  const MarkupLayout layout = LayoutMarkup(measure, text.data(), text.size(), options);
  for (const MarkupRun& run : layout.runs)
    if (run.box.right < run.box.left || run.box.bottom < run.box.top) std::abort();
  return 0;
}
