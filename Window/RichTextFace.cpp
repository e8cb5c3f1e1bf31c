#include "Window/RichTextFace.h"

#include <windows.h>

#include "Window/flow/ScriptFaces.h"
#include "log/Logger.h"
#include "skin_ui/RichEditUI.h"

namespace {

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// Installed faces and the ones the system substitutes an installed face for.
bool IsFaceInstalled(const std::wstring& face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(wanted.lfFaceName, face.c_str(), LF_FACESIZE);
  HDC screen = GetDC(nullptr);
  bool found = false;
  EnumFontFamiliesExW(screen, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

}  // namespace

void GiveRichTextTheScriptFace(SkinUI::CWindowManagerUI& manager, const wchar_t* control,
                               const std::wstring& languageFolder) {
  const std::vector<std::wstring> faces = ScriptFacesOf(languageFolder);
  if (faces.empty()) return;
  SkinUI::CControlUI* found = manager.FindControl(control);
  auto* richEdit = found ? static_cast<SkinUI::CRichEditUI*>(found->GetInterface(L"RichEdit")) : nullptr;
  if (!richEdit) return;
  for (const std::wstring& face : faces) {
    if (!IsFaceInstalled(face)) continue;
    const SkinUI::UIFontInfo* font = manager.GetFontInfo(richEdit->GetFont());
    if (!font) return;
    richEdit->SetFont(manager.FindOrAddFont(face.c_str(), font->size, font->bold, font->underline, font->italic));
    return;
  }
  LOG_PRINTW(kLog_Warn, L"no face of the %s script is installed: %s keeps the skin's face", languageFolder.c_str(),
             control);
}
