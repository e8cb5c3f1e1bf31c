#include "skin_ui/preview/PreviewReport.h"

#include <sstream>

#include "Window/flow/DialogRules.h"

namespace preview {
namespace {

std::vector<std::wstring> Fields(const std::wstring& line) {
  std::vector<std::wstring> fields;
  size_t start = 0;
  for (size_t tab = line.find(L'\t'); tab != std::wstring::npos; tab = line.find(L'\t', start)) {
    fields.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
  fields.push_back(line.substr(start));
  return fields;
}

// A signed decimal number of at most six digits: coordinates, never anything larger.
std::optional<int> Number(const std::wstring& text) {
  const bool negative = !text.empty() && text[0] == L'-';
  const std::wstring digits = text.substr(negative ? 1 : 0);
  if (digits.empty() || digits.size() > 6) return std::nullopt;
  int value = 0;
  for (wchar_t c : digits) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + (c - L'0');
  }
  return negative ? -value : value;
}

// "WxH"
bool ParseSize(const std::wstring& text, int& width, int& height) {
  const size_t x = text.find(L'x');
  if (x == std::wstring::npos) return false;
  const auto w = Number(text.substr(0, x));
  const auto h = Number(text.substr(x + 1));
  if (!w || !h) return false;
  width = *w;
  height = *h;
  return true;
}

}  // namespace

const std::vector<TextBinding>& TextBindings() {
  // The installation path is the 32-bit setup's Program Files folder on 64-bit Windows; the disk
  // dialog's drive is the widest letter.
  static const std::vector<TextBinding> bindings = {
      {L"main", L"btn_install", TextShape::kLine, L"{STR_INSTALL}"},
      {L"main", L"btn_start", TextShape::kLine, L"{STR_START}"},
      {L"main", L"btn_lisence", TextShape::kLine, L"{STR_LISENCE}"},
      {L"main", L"chk_fold", TextShape::kLine, L"{STR_CUSTOMIZE_INSTALL}"},
      {L"main", L"label_path", TextShape::kLine, L"{STR_INSTALL_PATH}"},
      {L"main", L"label_tip", TextShape::kLine, L"{STR_PATH_INVALID}"},
      {L"main", L"edit_path", TextShape::kLine, L"C:\\Program Files (x86)\\"},
      {L"main", L"btn_browse", TextShape::kLine, L"{STR_BROWSE}"},
      {L"main", L"label_install", TextShape::kLine, L"{STR_INSTALLING}"},
      {L"main", L"label_progress", TextShape::kLine, L"100 %"},
      {L"main", L"btn_stop", TextShape::kLine, L"{STR_BTN_STOP_Text}"},
      {L"WinMessageBox", L"label_title", TextShape::kShort24, L"W: Drive {STR_MSB_Title}"},
      {L"WinMessageBox", L"edit_path_msb", TextShape::kLine, L"W:\\"},
      {L"WinMessageBox", L"btn_browse_msb", TextShape::kLine, L"{STR_BROWSE}"},
      {L"WinMessageBox", L"btn_install_msb", TextShape::kLine, L"{STR_INSTALL}"},
      {L"WinStopInstallBox", L"stop_lab_context", TextShape::kWrapped, L"{STR_MSG_Context}"},
      {L"WinStopInstallBox", L"btn_stop_ok", TextShape::kLine, L"{STR_MSG_BtnYesText}"},
      {L"WinStopInstallBox", L"btn_stop_no", TextShape::kLine, L"{STR_MSG_BtnNoText}"},
  };
  return bindings;
}

std::wstring ShownText(const TextBinding& binding, const std::function<std::wstring(const std::wstring&)>& text) {
  const std::wstring pattern = binding.pattern;
  std::wstring shown;
  for (size_t at = 0; at < pattern.size();) {
    const size_t open = pattern.find(L"{STR_", at);
    const size_t close = open == std::wstring::npos ? open : pattern.find(L'}', open);
    if (close == std::wstring::npos) {
      shown += pattern.substr(at);
      break;
    }
    shown += pattern.substr(at, open - at) + text(pattern.substr(open + 1, close - open - 1));
    at = close + 1;
  }
  return binding.shape == TextShape::kShort24 ? ShortenMessageLine(shown).text : shown;
}

bool Fits(int needed, int room) { return static_cast<long long>(needed) * (100 + kFitMarginPercent) <= room * 100LL; }

std::wstring FormatControlLine(const ControlLine& line) {
  std::wostringstream out;
  out << L"control\t" << line.name << L'\t' << line.kind << L'\t' << line.box.left << L'\t' << line.box.top << L'\t'
      << line.box.right << L'\t' << line.box.bottom << L'\t' << (line.visible ? L"shown" : L"hidden");
  return out.str();
}

std::optional<ControlLine> ParseControlLine(const std::wstring& text) {
  const auto fields = Fields(text);
  if (fields.size() != 8 || fields[0] != L"control" || fields[1].empty()) return std::nullopt;
  if (fields[7] != L"shown" && fields[7] != L"hidden") return std::nullopt;
  int edges[4];
  for (int i = 0; i < 4; ++i) {
    const auto value = Number(fields[3 + i]);
    if (!value) return std::nullopt;
    edges[i] = *value;
  }
  return ControlLine{fields[1], fields[2], Box{edges[0], edges[1], edges[2], edges[3]}, fields[7] == L"shown"};
}

std::wstring FormatFitLine(const FitLine& line) {
  std::wostringstream out;
  out << L"fit\t" << line.control << L'\t' << line.neededWidth << L'x' << line.neededHeight << L"\tin\t"
      << line.roomWidth << L'x' << line.roomHeight << L'\t' << (line.fits ? L"ok" : L"CUT") << L'\t' << line.text;
  return out.str();
}

std::optional<FitLine> ParseFitLine(const std::wstring& text) {
  const auto fields = Fields(text);
  if (fields.size() < 7 || fields[0] != L"fit" || fields[3] != L"in") return std::nullopt;
  if (fields[5] != L"ok" && fields[5] != L"CUT") return std::nullopt;
  FitLine line;
  line.control = fields[1];
  if (!ParseSize(fields[2], line.neededWidth, line.neededHeight) ||
      !ParseSize(fields[4], line.roomWidth, line.roomHeight))
    return std::nullopt;
  line.fits = fields[5] == L"ok";
  // The text is the rest of the line, tabs and all.
  size_t at = 0;
  for (int i = 0; i < 6; ++i) at = text.find(L'\t', at) + 1;
  line.text = text.substr(at);
  return line;
}

}  // namespace preview
