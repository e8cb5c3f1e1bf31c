// skin_preview: builds one window of the embedded skin archive with the toolkit's real controls,
// gives it the texts the setup sets in the chosen language, applies the asked-for states, paints
// it offscreen into a PNG and prints every named control's rectangle and how each text fits.
// The configuration archive the setup carries is extracted into the temporary folder, so the
// texts come through the setup's own LanguageManager.

#include <windows.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "Window/flow/ProgressDisplay.h"
#include "common/Encoding.h"
#include "Window/RichTextFace.h"
#include "common/LanguageManager.h"
#include "skin_ui/ContainerUI.h"
#include "skin_ui/DialogBuilder.h"
#include "skin_ui/EditUI.h"
#include "skin_ui/NativeDrawOps.h"
#include "skin_ui/OptionUI.h"
#include "skin_ui/ProgressUI.h"
#include "skin_ui/RichEditUI.h"
#include "skin_ui/SkinRenderer.h"
#include "skin_ui/TextFormat.h"
#include "skin_ui/WindowManagerUI.h"
#include "skin_ui/preview/PreviewReport.h"
#include "skin_ui/preview/PreviewRequest.h"
#include "skin_ui/preview/win32/EmbeddedArchives.h"

namespace {

using namespace SkinUI;
using namespace preview;

// The customise panel grows the window by its height, as the setup window does.
constexpr int kPanelHeight = 75;

void PrintLine(const std::wstring& line) {
  const std::string bytes = encoding::WideToUtf8(line) + "\n";
  fwrite(bytes.data(), 1, bytes.size(), stdout);
}

int Fail(const std::wstring& why) {
  PrintLine(L"skin_preview: " + why);
  return 2;
}

template <class T>
T* Find(CWindowManagerUI& manager, const wchar_t* name) {
  return dynamic_cast<T*>(manager.FindControl(name));
}

void SendPointer(CControlUI* control, int type) {
  const UIRect& pos = control->GetPos();
  UIEvent event;
  event.type = type;
  event.sender = control;
  event.mouse = UIPoint{(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2};
  event.timestamp = GetTickCount();
  control->Event(event);
}

void SetVisible(CWindowManagerUI& manager, const wchar_t* name, bool visible) {
  if (CControlUI* control = manager.FindControl(name)) control->SetVisible(visible);
}

void OpenPanel(CWindowManagerUI& manager, UISize& size) {
  CControlUI* panel = manager.FindControl(L"bottomLayout");
  if (!panel || panel->IsVisible()) return;
  panel->SetVisible(true);
  if (auto* fold = Find<CCheckBoxUI>(manager, L"chk_fold")) fold->Selected(true, false);
  size.cy += kPanelHeight;
}

// The states that change what is shown; those of the pointer need the layout and come after it.
bool ApplyShownStates(const PreviewRequest& request, const LanguageManager& language, CWindowManagerUI& manager,
                      UISize& size, std::wstring& error) {
  for (const StateChange& state : request.states) {
    switch (state.kind) {
      case StateKind::kProgress: {
        const ProgressView view = ViewOfProgress(state.percent, language.IsRightToLeft());
        if (auto* bar = Find<CProgressUI>(manager, L"progress_download")) bar->SetValue(view.barValue);
        if (CControlUI* label = manager.FindControl(L"label_progress")) label->SetText(view.label.c_str());
        break;
      }
      case StateKind::kDisabled:
        if (CControlUI* control = manager.FindControl(state.control.c_str())) {
          control->SetEnabled(false);
        } else {
          error = L"no control named " + state.control;
          return false;
        }
        break;
      case StateKind::kError:
        // The main window shows a refused path under its open panel, the disk dialog on its
        // message line, whole.
        if (CControlUI* tip = manager.FindControl(L"label_tip")) {
          tip->SetText(language.GetLangText(L"STR_PATH_INVALID").c_str());
          tip->SetVisible(true);
        } else if (CControlUI* line = manager.FindControl(L"label_title")) {
          line->SetText(language.GetLangText(L"STR_PATH_INVALID").c_str());
        }
        OpenPanel(manager, size);
        break;
      case StateKind::kPanel:
        OpenPanel(manager, size);
        break;
      case StateKind::kTip:
        SetVisible(manager, L"control_tip", true);
        break;
      case StateKind::kFinish:
        SetVisible(manager, L"btn_install", false);
        SetVisible(manager, L"btn_start", true);
        for (const wchar_t* name : {L"lineLayout", L"customLayout", L"control_tip"}) SetVisible(manager, name, false);
        break;
      case StateKind::kHot:
      case StateKind::kPushed:
        if (!manager.FindControl(state.control.c_str())) {
          error = L"no control named " + state.control;
          return false;
        }
        break;
    }
  }
  return true;
}

void ApplyPointerStates(const PreviewRequest& request, CWindowManagerUI& manager) {
  for (const StateChange& state : request.states) {
    if (state.kind != StateKind::kHot && state.kind != StateKind::kPushed) continue;
    CControlUI* control = manager.FindControl(state.control.c_str());
    SendPointer(control, kEventMouseEnter);
    if (state.kind == StateKind::kPushed) SendPointer(control, kEventButtonDown);
  }
}

// What the setup sets when the window is ready: the texts, the installation tips picture of
// `control_tip`, the face of the language's script for the stop question, the licence box
// ticked and the customise box not.
void SetUpWindow(const std::wstring& window, const LanguageManager& language, CWindowManagerUI& manager) {
  const auto text = [&](const std::wstring& key) { return language.GetLangText(key); };
  for (const TextBinding& binding : TextBindings()) {
    if (window != binding.window) continue;
    if (CControlUI* control = manager.FindControl(binding.control))
      control->SetText(ShownText(binding, text).c_str());
  }
  if (CControlUI* tip = manager.FindControl(L"control_tip")) {
    const std::wstring picture = language.GetBasePath() + language.GetLanguage() + L"\\install_tips.png";
    if (GetFileAttributesW(picture.c_str()) != INVALID_FILE_ATTRIBUTES)
      tip->SetAttribute(L"bkimage", (L"file='" + picture + L"'").c_str());
  }
  GiveRichTextTheScriptFace(manager, L"stop_lab_context", language.GetLanguage());
  if (auto* agree = Find<CCheckBoxUI>(manager, L"chk_agree")) agree->Selected(true, false);
  if (auto* fold = Find<CCheckBoxUI>(manager, L"chk_fold")) fold->Selected(false, false);
}

void ReportControls(CControlUI* control, bool shown) {
  shown = shown && control->IsVisible();
  if (!control->GetName().IsEmpty()) {
    const UIRect& pos = control->GetPos();
    PrintLine(FormatControlLine(ControlLine{control->GetName().GetData(), control->GetClass(),
                                            Box{pos.left, pos.top, pos.right, pos.bottom}, shown}));
  }
  if (auto* container = dynamic_cast<CContainerUI*>(control))
    for (int i = 0; i < container->GetCount(); ++i) ReportControls(container->GetItemAt(i), shown);
}

UIRect Deflated(UIRect rect, const UIRect& padding) {
  return UIRect{rect.left + padding.left, rect.top + padding.top, rect.right - padding.right,
                rect.bottom - padding.bottom};
}

struct TextRoom {
  UIRect rect;
  int font = -1;
  bool markup = false;
};

TextRoom RoomOf(CControlUI* control) {
  if (auto* label = dynamic_cast<CLabelUI*>(control))
    return {Deflated(control->GetPos(), label->GetTextPadding()), label->GetFont(), label->IsShowHtml()};
  if (auto* edit = dynamic_cast<CEditUI*>(control))
    return {Deflated(control->GetPos(), edit->GetTextPadding()), edit->GetFont(), false};
  if (auto* rich = dynamic_cast<CRichEditUI*>(control))
    return {Deflated(control->GetPos(), rich->GetTextPadding()), rich->GetFont(), false};
  return {control->GetPos(), -1, false};
}

bool IsShown(const CControlUI* control) {
  for (; control; control = control->GetParent())
    if (!control->IsVisible()) return false;
  return true;
}

// How each text the setup sets fits the control that shows it; hidden controls have no room.
void ReportFit(const std::wstring& window, CWindowManagerUI& manager) {
  for (const TextBinding& binding : TextBindings()) {
    if (window != binding.window) continue;
    CControlUI* control = manager.FindControl(binding.control);
    if (!control || !IsShown(control)) continue;
    const TextRoom room = RoomOf(control);
    const std::wstring text = control->GetText().GetData();
    FitLine line;
    line.control = binding.control;
    line.roomWidth = room.rect.Width();
    line.roomHeight = room.rect.Height();
    if (binding.shape == TextShape::kWrapped) {
      // Wrapped at the width the margin leaves, the lines must fit the height.
      const int width = line.roomWidth * 100 / (100 + kFitMarginPercent);
      const UIRect needed = CSkinRenderer::MeasureText(manager, UIRect{0, 0, width, 10000}, text.c_str(), room.font,
                                                       kTextWordBreak, room.markup);
      line.neededWidth = needed.Width();
      line.neededHeight = needed.Height();
      line.fits = line.neededHeight <= line.roomHeight;
    } else {
      const UIRect needed = CSkinRenderer::MeasureText(manager, UIRect{0, 0, 10000, line.roomHeight}, text.c_str(),
                                                       room.font, kTextSingleLine, room.markup);
      line.neededWidth = needed.Width();
      line.neededHeight = needed.Height();
      line.fits = Fits(line.neededWidth, line.roomWidth) && line.neededHeight <= line.roomHeight;
    }
    line.text = text;
    PrintLine(FormatFitLine(line));
  }
}

bool WritePng(const std::wstring& path, int width, int height, const uint32_t* pixels) {
  std::vector<uint8_t> rgb;
  rgb.reserve(static_cast<size_t>(width) * height * 3);
  for (int i = 0; i < width * height; ++i)
    rgb.insert(rgb.end(), {static_cast<uint8_t>(pixels[i] >> 16), static_cast<uint8_t>(pixels[i] >> 8),
                           static_cast<uint8_t>(pixels[i])});
  std::string png;
  const auto append = [](void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<size_t>(size));
  };
  if (!stbi_write_png_to_func(append, &png, width, height, 3, rgb.data(), width * 3)) return false;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr) && written == png.size();
  return CloseHandle(file) && ok;
}

// Paints the laid-out window on white, as the window's own background would show through.
bool Paint(CWindowManagerUI& manager, UISize size, const std::wstring& output) {
  uint32_t* pixels = nullptr;
  NativeBitmap bitmap = native::CreatePixelBitmap(size.cx, size.cy, &pixels);
  if (!bitmap) return false;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, static_cast<HBITMAP>(bitmap));
  const UIRect all{0, 0, size.cx, size.cy};
  CSkinRenderer::DrawColor(dc, all, 0xFFFFFFFF);
  manager.GetRoot()->Paint(dc, all, nullptr);
  GdiFlush();
  const bool written = WritePng(output, size.cx, size.cy, pixels);
  SelectObject(dc, previous);
  DeleteDC(dc);
  native::DeletePixelBitmap(bitmap);
  return written;
}

int Run(const PreviewRequest& request) {
  LanguageManager language;
  std::wstring error;
  if (!LoadEmbeddedArchives(request.language, L"nexvale_skin_preview", language, error)) return Fail(error);

  const std::wstring file = request.window + (language.IsRightToLeft() ? L"_rtl" : L"") + L".xml";
  CWindowManagerUI manager;
  manager.Init(nullptr);
  CDialogBuilder builder;
  CControlUI* root = builder.Create(file.c_str(), nullptr, nullptr, &manager);
  if (!root) return Fail(file + L" does not build: " + builder.GetLastErrorMessage());
  if (!manager.AttachRoot(root)) return Fail(file + L": the controls could not be attached");
  // The builder gives the window element's attributes (size, colours) to a native window only.
  const CXmlNode window = builder.GetMarkup().GetRoot();
  for (int i = 0; i < window.GetAttributeCount(); ++i)
    manager.SetWindowAttribute(window.GetAttributeName(i), window.GetAttributeValue(i));
  UISize size = manager.GetInitSize();

  if (auto* pages = Find<CTabLayoutUI>(manager, L"switch")) {
    if (!pages->SelectItem(request.page, false)) return Fail(L"no page " + std::to_wstring(request.page));
  } else if (request.page != 0) {
    return Fail(file + L" has no pages");
  }
  SetUpWindow(request.window, language, manager);
  if (!ApplyShownStates(request, language, manager, size, error)) return Fail(error);
  manager.UpdateLayout(UIRect{0, 0, size.cx, size.cy});
  ApplyPointerStates(request, manager);

  PrintLine(L"window\t" + file + L"\t" + std::to_wstring(size.cx) + L"\t" + std::to_wstring(size.cy));
  ReportControls(root, true);
  ReportFit(request.window, manager);
  if (!request.output.empty() && !Paint(manager, size, request.output))
    return Fail(L"cannot write " + request.output);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // The report's lines end in a line feed alone, the same on every system that reads them.
  _setmode(_fileno(stdout), _O_BINARY);
  const ParsedArguments parsed = ParseArguments(std::vector<std::wstring>(argv + 1, argv + argc));
  if (!parsed.ok) {
    PrintLine(L"skin_preview: " + parsed.error);
    PrintLine(Usage());
    return 1;
  }
  const int result = Run(parsed.request);
  CWindowManagerUI::ResetSharedResources();
  return result;
}
