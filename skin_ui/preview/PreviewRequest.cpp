#include "skin_ui/preview/PreviewRequest.h"

#include <optional>

namespace preview {
namespace {

// A whole decimal number within [low, high], or nothing.
std::optional<int> WholeNumber(const std::wstring& text, int low, int high) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  int value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + (c - L'0');
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

struct NamedState {
  const wchar_t* name;
  StateKind kind;
  bool takesControl;
};

const NamedState kNamedStates[] = {
    {L"hot", StateKind::kHot, true},        {L"pushed", StateKind::kPushed, true},
    {L"disabled", StateKind::kDisabled, true}, {L"panel", StateKind::kPanel, false},
    {L"error", StateKind::kError, false},   {L"tip", StateKind::kTip, false},
    {L"finish", StateKind::kFinish, false},
};

std::optional<StateChange> ParseState(const std::wstring& text, std::wstring& error) {
  const size_t equals = text.find(L'=');
  const std::wstring name = text.substr(0, equals);
  const std::wstring value = equals == std::wstring::npos ? L"" : text.substr(equals + 1);
  if (name == L"progress") {
    const auto percent = WholeNumber(value, 0, 100);
    if (!percent) {
      error = L"progress takes a percent from 0 to 100: " + text;
      return std::nullopt;
    }
    return StateChange{StateKind::kProgress, L"", *percent};
  }
  for (const NamedState& state : kNamedStates) {
    if (name != state.name) continue;
    if (state.takesControl && value.empty()) {
      error = L"the state names a control: " + text;
      return std::nullopt;
    }
    if (!state.takesControl && equals != std::wstring::npos) {
      error = L"the state takes no value: " + text;
      return std::nullopt;
    }
    return StateChange{state.kind, value, 0};
  }
  error = L"unknown state: " + text;
  return std::nullopt;
}

}  // namespace

ParsedArguments ParseArguments(const std::vector<std::wstring>& arguments) {
  ParsedArguments parsed;
  PreviewRequest& request = parsed.request;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::wstring& option = arguments[i];
    if (i + 1 == arguments.size()) {
      parsed.error = L"missing value after " + option;
      return parsed;
    }
    const std::wstring& value = arguments[++i];
    if (option == L"--window") {
      request.window = value;
    } else if (option == L"--language") {
      request.language = value;
    } else if (option == L"--page") {
      const auto page = WholeNumber(value, 0, 99);
      if (!page) {
        parsed.error = L"--page takes a page number: " + value;
        return parsed;
      }
      request.page = *page;
    } else if (option == L"--state") {
      const auto state = ParseState(value, parsed.error);
      if (!state) return parsed;
      request.states.push_back(*state);
    } else if (option == L"--png") {
      request.output = value;
    } else {
      parsed.error = L"unknown option " + option;
      return parsed;
    }
  }
  if (request.window.empty() || request.language.empty()) {
    parsed.error = L"--window names the skin to show";
    return parsed;
  }
  parsed.ok = true;
  return parsed;
}

const wchar_t* Usage() {
  return L"usage: skin_preview --window NAME [--language NAME] [--page N] [--state STATE]... [--png FILE]\n"
         L"  NAME: main, WinMessageBox or WinStopInstallBox (\"_rtl\" is chosen by the language)\n"
         L"  STATE: progress=PERCENT, hot=CONTROL, pushed=CONTROL, disabled=CONTROL, panel, error, tip, finish\n";
}

}  // namespace preview
