#pragma once
// A skinned window for the window-host tests: its skin is XML text, its controls include a
// control that takes the focus by Tab ("Probe") and one of class "Button" that clicks when
// released over it ("Clicker"), and it records the notifications it gets.

#include <windows.h>

#include <string>
#include <vector>

#include "skin_ui/ControlUI.h"
#include "skin_ui/win32/WindowImplBase.h"

namespace skintest {

class ProbeUI : public SkinUI::CControlUI {
 public:
  uint32_t GetControlTraits() const override { return SkinUI::kControlTraitTabStop; }
};

class ClickerUI : public SkinUI::CControlUI {
 public:
  const wchar_t* GetClass() const override { return L"Button"; }
  void HandleEvent(SkinUI::UIEvent& event) override {
    if (event.type == SkinUI::kEventButtonUp && GetPos().Contains(event.mouse)) SendNotify(SkinUI::kNotifyClick);
    if (event.type == SkinUI::kEventButtonDown || event.type == SkinUI::kEventButtonUp) return;
    CControlUI::HandleEvent(event);
  }
};

class SkinTestWindow : public SkinUI::WindowImplBase {
 public:
  explicit SkinTestWindow(std::wstring skin) : skin_(std::move(skin)) {}
  SkinUI::CControlUI* CreateControl(const wchar_t* name) override {
    if (std::wstring(name) == L"Probe") return new ProbeUI;
    if (std::wstring(name) == L"Clicker") return new ClickerUI;
    return nullptr;
  }
  void Notify(SkinUI::UINotify& msg) override {
    seen.push_back(std::wstring(msg.type) + L":" + (msg.sender ? msg.sender->GetName().GetData() : L""));
    WindowImplBase::Notify(msg);
  }
  HWND Hwnd() const { return static_cast<HWND>(GetNativeWindow()); }
  HWND CreateAt(HWND owner, int x, int y) {
    return static_cast<HWND>(Create(owner, L"skin test", WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, 0, x, y, 100, 100));
  }
  // Notifications of `type` in order, as "type:sender".
  std::vector<std::wstring> Seen(const std::wstring& type) const {
    std::vector<std::wstring> out;
    for (const std::wstring& s : seen)
      if (s.rfind(type + L":", 0) == 0) out.push_back(s);
    return out;
  }
  std::vector<std::wstring> seen;

 protected:
  const wchar_t* GetNativeClassName() const override { return L"SkinTestWindow"; }
  const wchar_t* GetSkinFileName() const override { return skin_.c_str(); }

 private:
  std::wstring skin_;
};

}  // namespace skintest
