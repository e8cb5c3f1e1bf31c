#pragma once
// Laying out inline-markup text (the `showhtml` texts): tags for colour, fonts, links, pictures,
// line and paragraph breaks, and the text runs between them, placed line by line into a
// rectangle with word break, ellipsis and alignment. Text is measured through an interface, so
// the layout is plain arithmetic; the renderer draws the runs it returns.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "skin_ui/ImageDescription.h"
#include "skin_ui/UIDefs.h"
#include "skin_ui/UIString.h"

namespace SkinUI {

struct UIFontStyle {
  CUIString face;
  int32_t size = 0;
  bool bold = false;
  bool underline = false;
  bool italic = false;
};

// What the layout asks of the window it draws in. Fonts are the window's font ids; -1 and ids
// the window does not have stand for its default font.
class IMarkupMeasure {
 public:
  virtual ~IMarkupMeasure() = default;
  virtual UIFontStyle GetFontStyle(int font) = 0;
  // The id of a window font of this style; one is made and added when there is none.
  virtual int FindOrAddFont(const UIFontStyle& style) = 0;
  virtual int32_t GetLineHeight(int font) = 0;
  virtual int32_t MeasureText(int font, const wchar_t* text, int length) = 0;
  // How many of the first `length` characters fit into `width` together.
  virtual int FitText(int font, const wchar_t* text, int length, int32_t width) = 0;
  // The space character's trailing spacing in this font.
  virtual int32_t GetSpaceTrailing(int font) = 0;
  // The pixel size of an inline picture; false when it cannot be loaded.
  virtual bool GetImageSize(const UIImageDescription& image, UISize& size) = 0;
};

enum class MarkupVAlign { kBottom, kTop, kCenter };

// One piece to draw: a run of text in one font and colour, or a picture (a frame of it).
struct MarkupRun {
  UIRect box;                 // where it is drawn
  int32_t lineTop = 0;        // its line, for link rectangles
  int32_t lineBottom = 0;
  MarkupVAlign valign = MarkupVAlign::kBottom;
  bool isImage = false;
  CUIString text;
  int font = -1;
  UIColor color = 0;
  bool selectedBackground = false;  // opaque background in the window's selected colour
  UIImageDescription image;
  UIRect imageSource;  // the frame shown, in image pixels
};

struct MarkupLink {
  UIRect rect;  // covers every piece of the link, each to the height of its line
  CUIString target;
};

struct MarkupLayout {
  std::vector<MarkupRun> runs;
  std::vector<MarkupLink> links;  // in the order of the text
  // The rectangle's left-top, to the right of the widest line and down to the last line's
  // bottom: what a calculating call returns.
  UIRect bounds;
  bool rightToLeft = false;  // the paragraph's first letter is written right to left
};

struct MarkupOptions {
  UIRect rect;
  UIColor textColor = 0;
  int font = -1;
  uint32_t style = 0;  // kText... flags of TextFormat.h
  UIColor linkColor = 0;
  UIColor linkHoverColor = 0;
  CUIString hoveredLink;  // the target of the link under the mouse, or empty
};

// Lays out `length` characters of `text` (multi-language tokens already replaced). With
// alignment flags and without kTextCalcRect the text is measured first and the rectangle moved
// as the flags say.
MarkupLayout LayoutMarkup(IMarkupMeasure& measure, const wchar_t* text, size_t length, const MarkupOptions& options);

// The target of the first of `count` link rectangles that holds `point`, or null.
const CUIString* FindHoveredLink(UIPoint point, const UIRect* rects, const CUIString* targets, int count);

}  // namespace SkinUI
