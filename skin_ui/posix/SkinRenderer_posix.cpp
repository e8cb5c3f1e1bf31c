// The portable build has no device to draw on: every drawing call leaves its target alone and
// no link is collected. A picture "draws" when it can be had, so that the controls' choices
// between their pictures run as they do on Windows. Text is measured in the stand-in fonts
// (posix/StandInWindow.h): plain text as a row of equal characters, markup through the layout
// the Windows build uses. Which path the renderer would take is "its own", as no graphics
// library exists here.

#include <algorithm>

#include "skin_ui/MarkupLayout.h"
#include "skin_ui/SkinRenderer.h"
#include "skin_ui/TextFormat.h"
#include "skin_ui/WindowManagerUI.h"
#include "skin_ui/posix/StandInWindow.h"

namespace SkinUI {

namespace {

const native::StandInFont* StandInFontOf(CWindowManagerUI& manager, int font) {
  return static_cast<const native::StandInFont*>(manager.GetFont(font));
}

// The stand-in fonts' metrics for the markup layout; a window without fonts measures nothing.
class StandInMarkupMeasure : public IMarkupMeasure {
 public:
  explicit StandInMarkupMeasure(CWindowManagerUI& manager) : manager_(manager) {}

  UIFontStyle GetFontStyle(int font) override {
    const UIFontInfo* info = manager_.GetFontInfo(font);
    return info ? UIFontStyle{info->face, info->size, info->bold, info->underline, info->italic} : UIFontStyle{};
  }
  int FindOrAddFont(const UIFontStyle& style) override {
    return manager_.FindOrAddFont(style.face, style.size, style.bold, style.underline, style.italic);
  }
  int32_t GetLineHeight(int font) override {
    const native::StandInFont* standIn = StandInFontOf(manager_, font);
    return standIn ? standIn->LineHeight() : 0;
  }
  int32_t MeasureText(int font, const wchar_t*, int length) override { return length * CharWidth(font); }
  int FitText(int font, const wchar_t*, int length, int32_t width) override {
    const int32_t each = CharWidth(font);
    return each > 0 ? std::clamp(width / each, 0, length) : length;
  }
  int32_t GetSpaceTrailing(int) override { return 0; }
  bool GetImageSize(const UIImageDescription& image, UISize& size) override {
    const UIImagePtr picture = manager_.LookupImage(image.name, image.type, image.mask, image.hsl);
    if (!picture) return false;
    size = UISize{picture->width, picture->height};
    return true;
  }

 private:
  int32_t CharWidth(int font) {
    const native::StandInFont* standIn = StandInFontOf(manager_, font);
    return standIn ? standIn->CharWidth() : 0;
  }
  CWindowManagerUI& manager_;
};

}  // namespace

RenderPath CSkinRenderer::GetBlendPath() { return RenderPath::kOwn; }
RenderPath CSkinRenderer::GetGradientPath() { return RenderPath::kOwn; }
void CSkinRenderer::DrawColor(NativeDC, const UIRect&, UIColor) {}
void CSkinRenderer::DrawGradient(NativeDC, const UIRect&, UIColor, UIColor, bool, int) {}
void CSkinRenderer::DrawLine(NativeDC, const UIRect&, int32_t, UIColor, int32_t) {}
void CSkinRenderer::DrawRect(NativeDC, const UIRect&, int32_t, UIColor, int32_t) {}
void CSkinRenderer::DrawRoundRect(NativeDC, const UIRect&, int32_t, int32_t, int32_t, UIColor, int32_t) {}
bool CSkinRenderer::DrawImage(NativeDC, CWindowManagerUI& manager, const UIRect&, const UIRect&, UIDrawInfo& info,
                              const UIDrawAdjust&) {
  return info.Resolve(manager) != nullptr;
}
void CSkinRenderer::DrawImageBitmap(NativeDC, const UIImageInfo&, const UIRect&, const UIRect&, const UIRect&,
                                    const UIRect&, bool, uint8_t, bool, bool, bool) {}
void CSkinRenderer::DrawPlainText(NativeDC, CWindowManagerUI&, UIRect&, const wchar_t*, UIColor, int, uint32_t) {}
UIRect CSkinRenderer::MeasureText(CWindowManagerUI& manager, const UIRect& rect, const wchar_t* text, int font,
                                  uint32_t style, bool markup) {
  UIRect measured{rect.left, rect.top, rect.left, rect.top};
  const native::StandInFont* standIn = StandInFontOf(manager, font);
  if (!text || !*text || rect.IsEmpty() || !standIn) return measured;
  const CUIString shown = ExpandMultiLanguageTokens(text, CWindowManagerUI::GetMultiLanguageString);
  if (markup) {
    StandInMarkupMeasure measure(manager);
    MarkupOptions options;
    options.rect = rect;
    options.font = font;
    options.style = style | kTextCalcRect;
    return LayoutMarkup(measure, shown, static_cast<size_t>(shown.GetLength()), options).bounds;
  }
  const int64_t characters = shown.GetLength();
  const int64_t perLine = (style & kTextWordBreak) && !(style & kTextSingleLine)
                              ? std::max<int64_t>(1, rect.Width() / standIn->CharWidth())
                              : characters;
  const int64_t lines = (characters + perLine - 1) / perLine;
  measured.right = Saturate(rect.left + std::min(characters, perLine) * standIn->CharWidth());
  measured.bottom = Saturate(rect.top + lines * standIn->LineHeight());
  return measured;
}

void CSkinRenderer::DrawMarkupText(NativeDC, CWindowManagerUI&, UIRect&, const wchar_t*, UIColor, UIRect*, CUIString*,
                                   int& linkCount, int, uint32_t) {
  linkCount = 0;
}
NativeBitmap CSkinRenderer::CaptureBitmap(CWindowManagerUI&, const UIRect&, CControlUI*, UIColor) { return nullptr; }

CRenderClip::CRenderClip(NativeDC, const UIRect&) {}
CRenderClip::CRenderClip(NativeDC, const UIRect&, const UIRect&, int32_t, int32_t) {}
CRenderClip::~CRenderClip() = default;

}  // namespace SkinUI
