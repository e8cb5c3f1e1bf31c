#pragma once
// A rich-text box (markup "RichEdit"): the platform's windowless rich-text services draw into
// the skinned window's paint and get the control's input through a window message filter
// (RichTextHost.h). The stop dialog uses a read-only, centred one for its question.

#include <cstdint>
#include <memory>

#include "skin_ui/ContainerUI.h"
#include "skin_ui/NotifyPump.h"
#include "skin_ui/RichTextHost.h"

namespace SkinUI {

class CRichEditUI : public CContainerUI, public IMessageFilterUI {
 public:
  CRichEditUI();
  ~CRichEditUI() override;

  const wchar_t* GetClass() const override { return L"RichEdit"; }
  void* GetInterface(const wchar_t* name) override;
  uint32_t GetControlTraits() const override;
  const CUIString& GetText() const override;
  void SetText(const wchar_t* text) override;
  void SetPos(UIRect rect, bool invalidate = true) override;
  void Move(UISize offset, bool invalidate = true) override;
  void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true) override;
  void InitControl() override;
  void HandleEvent(UIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  UISize MeasureSize(UISize available) override { return CControlUI::MeasureSize(available); }
  // The services draw themselves as the control's text layer.
  void PaintText(NativeDC dc) override;

  // The window's messages, before the manager routes them: the control's mouse and keyboard
  // input goes to the services.
  intptr_t MessageHandler(uint32_t message, uintptr_t wParam, intptr_t lParam, bool& handled) override;
  // A message to the services; an Enter key-down they are not to have becomes "return".
  virtual bool TxSendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result);
  // A notification of the services; true when the control took it ("textchanged"), else the
  // host passes it to the window.
  virtual bool OnTxNotify(uint32_t code);

  uint32_t GetWindowStyle() const { return style_; }
  bool IsReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  bool IsWantTab() const { return wantTab_; }
  void SetWantTab(bool want) { wantTab_ = want; }
  bool IsWantReturn() const { return wantReturn_; }
  void SetWantReturn(bool want) { wantReturn_ = want; }
  bool IsWantCtrlReturn() const { return wantCtrlReturn_; }
  void SetWantCtrlReturn(bool want) { wantCtrlReturn_ = want; }
  bool IsTransparent() const { return transparent_; }
  void SetTransparent(bool transparent) { ChangeAndInvalidate(transparent_, transparent); }
  bool IsRich() const { return rich_; }
  void SetRich(bool rich) { rich_ = rich; }
  int GetFont() const { return font_; }
  // Font and colour changes reach text services that already exist.
  void SetFont(int index);
  UIColor GetTextColor() const { return textColor_; }
  void SetTextColor(UIColor color);
  int32_t GetLimitText() const { return limitText_; }
  UIRect GetTextPadding() const { return textPadding_; }
  void SetTextPadding(UIRect padding);
  // Where the services lay out the text: the item minus the text padding.
  UIRect GetTextRect() const;
  // Whether the services exist (they may be missing from the system).
  bool HasTextServices() const { return host_ != nullptr; }

 private:
  std::unique_ptr<IRichTextHost> host_;
  CWindowManagerUI* filtering_ = nullptr;  // the manager this control filters messages of
  mutable CUIString servicesText_;
  bool wantTab_ = true;
  bool wantReturn_ = true;
  bool wantCtrlReturn_ = true;
  bool transparent_ = false;
  bool rich_ = true;
  bool readOnly_ = false;
  bool initialised_ = false;
  int font_ = -1;
  UIColor textColor_ = 0;
  int32_t limitText_ = 32767;
  uint32_t style_ = 0x4;  // multi-line
  UIRect textPadding_;
};

}  // namespace SkinUI
