#pragma once
// What the skin preview is asked for on its command line: a window's skin, the language whose
// texts it shows, the page, the states applied before painting and where the picture goes.

#include <string>
#include <vector>

namespace preview {

enum class StateKind {
  kProgress,  // the download's percent on the bar and its label
  kHot,       // the pointer over a named control
  kPushed,    // the left button held down on a named control
  kDisabled,  // a named control disabled
  kPanel,     // the customise panel open
  kError,     // the path error shown (which opens the panel, as the window does)
  kTip,       // `control_tip` shown, though the skin keeps it hidden
  kFinish,    // page 0 as the finished state leaves it: Start instead of Install, no licence row
};

struct StateChange {
  StateKind kind = StateKind::kPanel;
  std::wstring control;  // hot, pushed and disabled
  int percent = 0;       // progress
};

struct PreviewRequest {
  std::wstring window;  // skin file without ".xml" and "_rtl": "main", "WinMessageBox", ...
  std::wstring language = L"English";
  int page = 0;
  std::vector<StateChange> states;
  std::wstring output;  // the PNG; empty paints nothing
};

struct ParsedArguments {
  bool ok = false;
  std::wstring error;  // what was wrong, for the usage message
  PreviewRequest request;
};

// Arguments after the program name:
//   --window NAME [--language NAME] [--page N] [--state STATE]... [--png FILE]
// STATE is one of progress=PERCENT, hot=CONTROL, pushed=CONTROL, disabled=CONTROL, panel, error,
// tip, finish.
ParsedArguments ParseArguments(const std::vector<std::wstring>& arguments);

const wchar_t* Usage();

}  // namespace preview
