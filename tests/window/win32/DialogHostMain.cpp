// dialog_host: an owner window that opens the disk-space or the stop dialog on its own UI thread,
// as the setup window does, for the dialogs' tests to drive with real input. It prints, as
// UTF-8 lines of tab-separated fields:
//   log FILE                         the log the dialog writes, this run's own
//   drives MASK                      the logical drives the dialog sees (bit 0 is A:)
//   shown LEFT TOP RIGHT BOTTOM      the dialog is shown and in front (screen rectangle)
//   rect NAME LEFT TOP RIGHT BOTTOM  each named control in the dialog's client area
//   owner enabled=0|1 [focused=0|1] while the dialog runs, and after it
//   text NAME TEXT TOOLTIP           a named control's text or tooltip, at first and whenever
//                                    either changed
//   tooltip TEXT                     the tooltip window shown with this text
//   keyboard CLASS                   the native class of the window with the keyboard focus
//                                    ("EditWnd" while the path field is open), on each change
//   result N                         what the modal loop returned
//   buffer TEXT                      the disk dialog's path buffer afterwards
// Usage: dialog_host disk LANGUAGE PATH SIZE_MB | dialog_host stop LANGUAGE
#include <windows.h>
#include <commctrl.h>

#include <fcntl.h>
#include <io.h>
#include <objbase.h>

#include <cstdio>
#include <cwchar>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "Window/WinMessBox.h"
#include "Window/WinStopBox.h"
#include "common/Encoding.h"
#include "log/Logger.h"
#include "skin_ui/ContainerUI.h"
#include "skin_ui/WindowManagerUI.h"
#include "skin_ui/preview/win32/EmbeddedArchives.h"
#include "tests/skin_ui/win32/RealInput.h"

namespace {

using SkinUI::CControlUI;
using SkinUI::CWindowManagerUI;

void PrintLine(const std::wstring& line) {
  const std::string bytes = encoding::WideToUtf8(line) + "\n";
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

std::wstring Field(int value) { return L"\t" + std::to_wstring(value); }

// What the host reports while the dialog runs, from a timer of the UI thread.
class DialogWatcher {
 public:
  DialogWatcher(SkinUI::WindowImplBase& dialog, HWND owner) : dialog_(dialog), owner_(owner) {
    self_ = this;
    timer_ = SetTimer(nullptr, 0, 50, &DialogWatcher::Tick);
  }
  ~DialogWatcher() {
    KillTimer(nullptr, timer_);
    self_ = nullptr;
  }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (self_) self_->Look();
  }

  void Look() {
    HWND window = static_cast<HWND>(dialog_.GetNativeWindow());
    if (!window || !IsWindowVisible(window)) return;
    if (!shown_) {
      if (GetForegroundWindow() != window) return;
      shown_ = true;
      RECT r{};
      GetWindowRect(window, &r);
      PrintLine(L"shown" + Field(r.left) + Field(r.top) + Field(r.right) + Field(r.bottom));
      ReportRects(dialog_.GetManager().GetRoot());
      PrintLine(L"owner\tenabled=" + std::to_wstring(IsWindowEnabled(owner_) ? 1 : 0));
    }
    ReportTexts(dialog_.GetManager().GetRoot());
    ReportTooltip();
    ReportKeyboardFocus();
  }

  void ReportKeyboardFocus() {
    wchar_t name[64] = {};
    if (HWND focus = GetFocus()) GetClassNameW(focus, name, 64);
    if (keyboard_ == name) return;
    keyboard_ = name;
    PrintLine(L"keyboard\t" + keyboard_);
  }

  void ReportRects(CControlUI* control) {
    if (!control) return;
    if (!control->GetName().IsEmpty()) {
      const SkinUI::UIRect& pos = control->GetPos();
      PrintLine(std::wstring(L"rect\t") + control->GetName().GetData() + Field(pos.left) + Field(pos.top) +
                Field(pos.right) + Field(pos.bottom));
    }
    if (auto* container = dynamic_cast<SkinUI::CContainerUI*>(control))
      for (int i = 0; i < container->GetCount(); ++i) ReportRects(container->GetItemAt(i));
  }

  void ReportTexts(CControlUI* control) {
    if (!control) return;
    const std::wstring name = control->GetName().GetData();
    if (!name.empty()) {
      const std::wstring line = std::wstring(L"text\t") + name + L"\t" + control->GetText().GetData() + L"\t" +
                                control->GetToolTip().GetData();
      std::wstring& last = texts_[name];
      if (line != last) PrintLine(last = line);
    }
    if (auto* container = dynamic_cast<SkinUI::CContainerUI*>(control))
      for (int i = 0; i < container->GetCount(); ++i) ReportTexts(container->GetItemAt(i));
  }

  static BOOL CALLBACK FindTooltip(HWND window, LPARAM data) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (_wcsicmp(name, TOOLTIPS_CLASSW) != 0 || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(data) = window;
    return FALSE;
  }

  void ReportTooltip() {
    HWND tooltip = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindTooltip, reinterpret_cast<LPARAM>(&tooltip));
    if (!tooltip) {
      tooltip_.clear();
      return;
    }
    // The toolkit's tooltip window has one tool, shown by tracking rather than as the current one.
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    if (!SendMessageW(tooltip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&info))) return;
    wchar_t text[1024] = {};
    info.lpszText = text;
    SendMessageW(tooltip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&info));
    if (tooltip_ == text) return;
    tooltip_ = text;
    PrintLine(L"tooltip\t" + tooltip_);
  }

  static DialogWatcher* self_;
  SkinUI::WindowImplBase& dialog_;
  HWND owner_;
  UINT_PTR timer_ = 0;
  bool shown_ = false;
  std::map<std::wstring, std::wstring> texts_;
  std::wstring tooltip_;
  std::wstring keyboard_ = L"-";
};

DialogWatcher* DialogWatcher::self_ = nullptr;

HWND CreateOwner() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = L"DialogHostOwner";
  RegisterClassW(&wc);
  return CreateWindowExW(0, wc.lpszClassName, L"dialog host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 150, 700, 450,
                         nullptr, nullptr, wc.hInstance, nullptr);
}

int Usage() {
  PrintLine(L"usage: dialog_host disk LANGUAGE PATH SIZE_MB | dialog_host stop LANGUAGE");
  return 2;
}

int Run(int argc, wchar_t** argv) {
  const std::wstring kind = argc > 1 ? argv[1] : L"";
  if (!((kind == L"disk" && argc == 5) || (kind == L"stop" && argc == 3))) return Usage();
  // The dialog's log lines go where the test can read them; first, as the first set-up counts.
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring logFolder = std::wstring(temp) + L"nexvale_dialog_host\\Log";
  const std::wstring logName = L"dialog_host-" + std::to_wstring(GetCurrentProcessId()) + L".log";
  InitLogger(logName.c_str(), logFolder.c_str());
  PrintLine(L"log\t" + logFolder + L"\\" + logName);
  LanguageManager language;
  std::wstring error;
  if (!LoadEmbeddedArchives(argv[2], L"nexvale_dialog_host", language, error)) {
    PrintLine(L"dialog_host: " + error);
    return 2;
  }
  // The setup's UI thread initialises COM for the folder chooser before any dialog runs.
  if (FAILED(OleInitialize(nullptr))) {
    PrintLine(L"dialog_host: OleInitialize failed");
    return 2;
  }
  CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
  HWND owner = CreateOwner();
  if (!owner || !realinput::WaitForeground(owner, 5000)) {
    PrintLine(L"dialog_host: the owner window did not come to the front");
    return 2;
  }
  PrintLine(L"drives\t" + std::to_wstring(GetLogicalDrives()));

  wchar_t path[MAX_PATH] = {};
  std::unique_ptr<SkinUI::WindowImplBase> dialog;
  if (kind == L"disk") {
    wcsncpy(path, argv[3], MAX_PATH - 1);
    auto box = std::make_unique<WinMessBox>(path, language.GetLangText(L"STR_MSB_Title"),
                                            language.GetLangText(L"STR_SELECT_FOLDER"), _wtoi(argv[4]));
    if (!box->Create(owner, language)) return 2;
    dialog = std::move(box);
  } else {
    auto box = std::make_unique<WinStopBox>(language);
    if (!box->Create(owner)) return 2;
    dialog = std::move(box);
  }
  intptr_t result = -1;
  {
    realinput::Watchdog watchdog("the dialog", 60);
    DialogWatcher watcher(*dialog, owner);
    result = dialog->ShowModal();
  }
  PrintLine(L"result\t" + std::to_wstring(result));
  if (kind == L"disk") PrintLine(std::wstring(L"buffer\t") + path);
  PrintLine(std::wstring(L"owner\tenabled=") + (IsWindowEnabled(owner) ? L"1" : L"0") + L"\tfocused=" +
            (GetFocus() == owner ? L"1" : L"0"));
  dialog.reset();
  DestroyWindow(owner);
  OleUninitialize();
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  const int code = Run(argc, argv);
  CWindowManagerUI::ResetSharedResources();
  return code;
}
