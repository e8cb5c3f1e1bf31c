#pragma once
// What a rich edit asks of the platform's windowless rich-text services: a host object that
// creates them, hands them the control's messages, text and rectangle, and lets them draw into
// the skinned window's paint. Windows hosts "msftedit.dll" (win32/TxtWinHost.cpp); the portable
// build, like a system without the services, has no host and the control keeps its text alone.

#include <cstdint>
#include <memory>

#include "skin_ui/UIDefs.h"
#include "skin_ui/UIString.h"

namespace SkinUI {

class CRichEditUI;

class IRichTextHost {
 public:
  virtual ~IRichTextHost() = default;
  // Passes a window message to the services; false when they did not handle it.
  virtual bool Send(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) = 0;
  // Selects everything and replaces it with `text`.
  virtual void SetText(const wchar_t* text) = 0;
  virtual CUIString GetText() = 0;
  virtual void SetReadOnly(bool readOnly) = 0;
  // Takes the owner's font and text colour again, for the text there is and the text to come.
  virtual void RefreshCharFormat() = 0;
  // The rectangle the text is laid out in, in window client coordinates.
  virtual void SetTextRect(const UIRect& rect) = 0;
  // Draws the text into `dc` within the text rectangle, as far as it meets `dirty`.
  virtual void Draw(NativeDC dc, const UIRect& dirty) = 0;
  // The services set the cursor for a point of the text; false when they did not.
  virtual bool SetCursor(UIPoint point) = 0;
  // The services hold the mouse (a drag selection).
  virtual bool HasCapture() const = 0;
  virtual void SetFocused(bool focused) = 0;
  // Puts the caret back where the text is after the window changed.
  virtual void RefreshCaret() = 0;
  virtual void Timer(uint32_t id) = 0;
};

// The services over `owner`, made from its style, font, colour and text; null when the
// services cannot be had (the reason is logged).
std::unique_ptr<IRichTextHost> CreateRichTextHost(CRichEditUI& owner);

}  // namespace SkinUI
