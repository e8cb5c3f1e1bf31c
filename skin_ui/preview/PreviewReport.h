#pragma once
// What the skin preview shows and prints, apart from drawing: the texts the setup's code sets in
// each window (keys filled from the language, the disk dialog's line shortened as the dialog
// does), and the report lines, one per named control and one per text, in a tab-separated form
// that tests read back with ParseControlLine and ParseFitLine.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace preview {

enum class TextShape {
  kLine,     // one line
  kWrapped,  // wrapped at the control's width
  kShort24,  // the disk dialog's message line: 24 characters and "..." at most
};

// A text the code sets: `pattern` with {KEY} standing for the language's text of KEY.
struct TextBinding {
  const wchar_t* window;
  const wchar_t* control;
  TextShape shape;
  const wchar_t* pattern;
};

const std::vector<TextBinding>& TextBindings();

// The binding's text as the window shows it, keys looked up through `text`.
std::wstring ShownText(const TextBinding& binding, const std::function<std::wstring(const std::wstring&)>& text);

struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

struct ControlLine {
  std::wstring name;
  std::wstring kind;  // the control's class
  Box box;
  bool visible = false;
};

// Whether the room a control gives its text holds the text measured on this system, with a
// margin for the wider metrics of other systems' faces.
inline constexpr int kFitMarginPercent = 10;
bool Fits(int needed, int room);

struct FitLine {
  std::wstring control;
  int neededWidth = 0, neededHeight = 0;
  int roomWidth = 0, roomHeight = 0;
  bool fits = false;
  std::wstring text;
};

// "control\tNAME\tCLASS\tLEFT\tTOP\tRIGHT\tBOTTOM\tshown|hidden"
std::wstring FormatControlLine(const ControlLine& line);
std::optional<ControlLine> ParseControlLine(const std::wstring& line);

// "fit\tCONTROL\tWxH\tin\tWxH\tok|CUT\tTEXT": the size the text needs, the room it has, and the
// verdict of Fits for width and height.
std::wstring FormatFitLine(const FitLine& line);
std::optional<FitLine> ParseFitLine(const std::wstring& line);

}  // namespace preview
