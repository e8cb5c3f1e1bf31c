// Text with GDI: plain text through DrawTextW, and inline markup laid out by MarkupLayout with
// the window's fonts measured in the device context, then drawn run by run.

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "skin_ui/MarkupLayout.h"
#include "skin_ui/SkinRenderer.h"
#include "skin_ui/TextFormat.h"
#include "skin_ui/WindowManagerUI.h"
#include "skin_ui/win32/GdiSupport.h"

namespace SkinUI {

namespace {

HFONT FontHandle(CWindowManagerUI& manager, int font) {
  if (NativeFont handle = manager.GetFont(font)) return static_cast<HFONT>(handle);
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// The window's fonts measured in the device context being drawn on. The font selected last
// stays selected until the measure ends.
class GdiMarkupMeasure : public IMarkupMeasure {
 public:
  GdiMarkupMeasure(HDC dc, CWindowManagerUI& manager)
      : dc_(dc), manager_(manager), previousFont_(GetCurrentObject(dc, OBJ_FONT)) {}
  GdiMarkupMeasure(const GdiMarkupMeasure&) = delete;
  GdiMarkupMeasure& operator=(const GdiMarkupMeasure&) = delete;
  ~GdiMarkupMeasure() override { SelectObject(dc_, previousFont_); }

  void Select(int font) { SelectObject(dc_, FontHandle(manager_, font)); }

  UIFontStyle GetFontStyle(int font) override {
    if (const UIFontInfo* info = manager_.GetFontInfo(font))
      return UIFontStyle{info->face, info->size, info->bold, info->underline, info->italic};
    // No font in the window at all: the system's GUI font, as the text is drawn in it.
    LOGFONTW lf{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    return UIFontStyle{lf.lfFaceName, std::abs(static_cast<int32_t>(lf.lfHeight)), lf.lfWeight >= FW_BOLD,
                       lf.lfUnderline != 0, lf.lfItalic != 0};
  }

  int FindOrAddFont(const UIFontStyle& style) override {
    return manager_.FindOrAddFont(style.face, style.size, style.bold, style.underline, style.italic);
  }

  int32_t GetLineHeight(int font) override {
    auto it = heights_.find(font);
    if (it != heights_.end()) return it->second;
    Select(font);
    TEXTMETRICW metrics{};
    const int32_t height = GetTextMetricsW(dc_, &metrics) ? metrics.tmHeight : 0;
    heights_[font] = height;
    return height;
  }

  int32_t MeasureText(int font, const wchar_t* text, int length) override {
    Select(font);
    SIZE size{};
    return GetTextExtentPoint32W(dc_, text, length, &size) ? size.cx : 0;
  }

  int FitText(int font, const wchar_t* text, int length, int32_t width) override {
    Select(font);
    int fit = 0;
    SIZE size{};
    return GetTextExtentExPointW(dc_, text, length, width, &fit, nullptr, &size) ? std::clamp(fit, 0, length) : 0;
  }

  int32_t GetSpaceTrailing(int font) override {
    Select(font);
    ABC abc{};
    return GetCharABCWidthsW(dc_, L' ', L' ', &abc) ? abc.abcC : 0;
  }

  bool GetImageSize(const UIImageDescription& image, UISize& size) override {
    const UIImagePtr picture = manager_.LookupImage(image.name, image.type, image.mask, image.hsl);
    if (!picture) return false;
    size = UISize{picture->width, picture->height};
    return true;
  }

 private:
  HDC dc_;
  CWindowManagerUI& manager_;
  HGDIOBJ previousFont_;
  std::map<int, int32_t> heights_;
};

// Right-to-left runs keep their leading and trailing spaces and punctuation at the reader's end.
void DrawRun(HDC dc, CWindowManagerUI& manager, GdiMarkupMeasure& measure, const MarkupRun& run, const UIRect& clip,
             UINT reading) {
  if (run.isImage) {
    const UIImagePtr image = manager.LookupImage(run.image.name, run.image.type, run.image.mask, run.image.hsl);
    if (image)
      CSkinRenderer::DrawImageBitmap(dc, *image, run.box, clip, run.imageSource, UIRect{}, image->hasAlpha,
                                     run.image.fade, false, false, false);
    return;
  }
  measure.Select(run.font);
  SetTextColor(dc, gdi::ToColorRef(run.color));
  if (run.selectedBackground) {
    const COLORREF previous = SetBkColor(dc, gdi::ToColorRef(manager.GetDefaultSelectedBkColor()));
    const RECT box = gdi::ToRECT(run.box);
    ExtTextOutW(dc, run.box.left, run.box.top, ETO_OPAQUE | reading, &box, run.text, static_cast<UINT>(run.text.GetLength()),
                nullptr);
    SetBkColor(dc, previous);
  } else {
    ExtTextOutW(dc, run.box.left, run.box.top, reading, nullptr, run.text, static_cast<UINT>(run.text.GetLength()),
                nullptr);
  }
}

}  // namespace

static_assert(kTextCenter == DT_CENTER && kTextRight == DT_RIGHT && kTextWordBreak == DT_WORDBREAK &&
              kTextSingleLine == DT_SINGLELINE && kTextEndEllipsis == DT_END_ELLIPSIS &&
              kTextRtlReading == DT_RTLREADING);

void CSkinRenderer::DrawPlainText(NativeDC dc, CWindowManagerUI& manager, UIRect& rect, const wchar_t* text,
                                  UIColor color, int font, uint32_t style) {
  if (!dc || !text) return;
  HDC target = gdi::ToDC(dc);
  const CUIString shown = ExpandMultiLanguageTokens(text, CWindowManagerUI::GetMultiLanguageString);
  const int previousMode = SetBkMode(target, TRANSPARENT);
  const COLORREF previousColor = SetTextColor(target, gdi::ToColorRef(color));
  HGDIOBJ previousFont = SelectObject(target, FontHandle(manager, font));
  RECT r = gdi::ToRECT(rect);
  if (FirstLetterDirection(shown, static_cast<size_t>(shown.GetLength())) == TextDirection::kRightToLeft)
    style |= kTextRtlReading;
  DrawTextW(target, shown, shown.GetLength(), &r, style | DT_NOPREFIX);
  if (style & kTextCalcRect) rect = UIRect{r.left, r.top, r.right, r.bottom};
  SelectObject(target, previousFont);
  SetTextColor(target, previousColor);
  SetBkMode(target, previousMode);
}

UIRect CSkinRenderer::MeasureText(CWindowManagerUI& manager, const UIRect& rect, const wchar_t* text, int font,
                                  uint32_t style, bool markup) {
  UIRect measured{rect.left, rect.top, rect.left, rect.top};
  if (!text || !*text || rect.IsEmpty()) return measured;
  HWND window = static_cast<HWND>(manager.GetNativeWindow());
  HDC dc = GetDC(window);
  if (!dc) return measured;
  measured = rect;
  if (markup) {
    int noLinks = 0;
    DrawMarkupText(dc, manager, measured, text, 0, nullptr, nullptr, noLinks, font, style | kTextCalcRect);
  } else {
    DrawPlainText(dc, manager, measured, text, 0, font, style | kTextCalcRect);
  }
  ReleaseDC(window, dc);
  return measured;
}

void CSkinRenderer::DrawMarkupText(NativeDC dc, CWindowManagerUI& manager, UIRect& rect, const wchar_t* text,
                                   UIColor color, UIRect* links, CUIString* targets, int& linkCount, int font,
                                   uint32_t style) {
  const int slots = links && targets ? std::max(0, linkCount) : 0;
  linkCount = 0;
  if (!dc || !text || rect.IsEmpty()) return;
  HDC target = gdi::ToDC(dc);
  const CUIString shown = ExpandMultiLanguageTokens(text, CWindowManagerUI::GetMultiLanguageString);

  MarkupOptions options;
  options.rect = rect;
  options.textColor = color;
  options.font = font;
  options.style = style;
  options.linkColor = manager.GetDefaultLinkFontColor();
  options.linkHoverColor = manager.GetDefaultLinkHoverFontColor();
  if (const CUIString* hovered = FindHoveredLink(manager.GetMousePos(), links, targets, slots))
    options.hoveredLink = *hovered;

  const int previousMode = SetBkMode(target, TRANSPARENT);
  const COLORREF previousColor = GetTextColor(target);
  MarkupLayout layout;
  {
    GdiMarkupMeasure measure(target, manager);
    layout = LayoutMarkup(measure, shown, static_cast<size_t>(shown.GetLength()), options);
    if (style & kTextCalcRect) {
      rect = layout.bounds;
    } else {
      CRenderClip clip(dc, rect);
      const UINT reading = layout.rightToLeft ? ETO_RTLREADING : 0;
      for (const MarkupRun& run : layout.runs) DrawRun(target, manager, measure, run, rect, reading);
    }
  }
  SetTextColor(target, previousColor);
  SetBkMode(target, previousMode);

  // The slots not filled now are cleared, so no link of an earlier text is found hovered later.
  for (int i = 0; i < slots; ++i) {
    const bool used = static_cast<size_t>(i) < layout.links.size();
    links[i] = used ? layout.links[i].rect : UIRect{};
    targets[i] = used ? layout.links[i].target : CUIString();
  }
  linkCount = std::min(slots, static_cast<int>(layout.links.size()));
}

}  // namespace SkinUI
