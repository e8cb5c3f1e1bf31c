#pragma once
// Rich text draws every character with its format's face alone (the text services' automatic
// font switching is off), while labels reach the system's linked faces when theirs lacks a
// character. So a rich edit showing a language whose script the skin's face lacks gets a face
// that carries it.

#include <string>

#include "skin_ui/WindowManagerUI.h"

// The rich edit `control` of `manager` gets the first installed face of the language's script
// (ScriptFaces.h) at its own font's size and styles. Nothing changes for scripts the skin's face
// carries, without such a control, or when no face of the script is installed (logged).
void GiveRichTextTheScriptFace(SkinUI::CWindowManagerUI& manager, const wchar_t* control,
                               const std::wstring& languageFolder);
