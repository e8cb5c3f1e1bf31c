#pragma once
// The base of every skinned top-level window: on creation it sets up the skin archive, builds
// the skin into its window manager and routes the notifications to itself; it makes the whole
// window client area and gives it the borderless behaviour (caption and resize borders from
// the skin, round corners, maximising, the standard buttons, Escape to close).

#include <cstdint>

#include "skin_ui/DialogBuilder.h"
#include "skin_ui/NotifyPump.h"
#include "skin_ui/WindowManagerUI.h"
#include "skin_ui/win32/WindowWnd.h"

namespace SkinUI {

// Where a window's skin comes from.
enum class SkinSourceKind : int {
  kFiles = 1,          // files on disk, or the archive already set up
  kArchiveFile = 2,    // a ZIP file named by GetSkinArchiveName
  kXmlResource = 3,    // the skin file name is the id of a resource of type "xml"
  kArchiveResource = 4 // a ZIP archive in the resource GetSkinResourceId of type "ZIPRES"
};

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback {
  UI_DECLARE_MESSAGE_MAP()

 public:
  WindowImplBase() = default;
  ~WindowImplBase() override = default;

  CWindowManagerUI& GetManager() { return manager_; }

  void Notify(UINotify& msg) override { DispatchNotification(msg); }
  // The key filter: Enter and Escape go to HandleDefaultKey; the key is not consumed.
  intptr_t MessageHandler(uint32_t message, uintptr_t wParam, intptr_t lParam, bool& handled) override;
  CControlUI* CreateControl(const wchar_t*) override { return nullptr; }

 protected:
  virtual void OnSkinReady() {}
  // "closebtn" closes with 1; "minbtn", "maxbtn" and "restorebtn" minimise, maximise, restore.
  virtual void OnClick(UINotify& msg);
  virtual const wchar_t* GetSkinSubfolder() const { return L""; }
  virtual const wchar_t* GetSkinFileName() const = 0;
  // Enter is ignored; Escape closes the window with 1.
  virtual void HandleDefaultKey(uintptr_t key);
  virtual SkinSourceKind GetSkinSourceKind() const { return SkinSourceKind::kFiles; }
  virtual const wchar_t* GetSkinArchiveName() const { return L""; }
  virtual uint32_t GetSkinResourceId() const { return 0; }

  // The message handlers, each with `handled` preset to true.
  virtual intptr_t OnClose(uintptr_t wParam, intptr_t lParam, bool& handled);
  virtual intptr_t OnDestroy(uintptr_t wParam, intptr_t lParam, bool& handled);
  virtual intptr_t OnNcActivate(uintptr_t wParam, intptr_t lParam, bool& handled);
  virtual intptr_t OnNcCalcSize(uintptr_t wParam, intptr_t lParam, bool& handled);
  virtual intptr_t OnNcPaint(uintptr_t wParam, intptr_t lParam, bool& handled);
  virtual intptr_t OnNcHitTest(uintptr_t wParam, intptr_t lParam, bool& handled);
  virtual intptr_t OnGetMinMaxInfo(uintptr_t wParam, intptr_t lParam, bool& handled);
  virtual intptr_t OnMouseWheel(uintptr_t wParam, intptr_t lParam, bool& handled);
  virtual intptr_t OnMouseHover(uintptr_t wParam, intptr_t lParam, bool& handled);
  virtual intptr_t OnSize(uintptr_t wParam, intptr_t lParam, bool& handled);
  virtual intptr_t OnChar(uintptr_t wParam, intptr_t lParam, bool& handled);
  virtual intptr_t OnSysCommand(uintptr_t wParam, intptr_t lParam, bool& handled);
  virtual intptr_t OnCreate(uintptr_t wParam, intptr_t lParam, bool& handled);
  virtual intptr_t OnKeyDown(uintptr_t wParam, intptr_t lParam, bool& handled);
  virtual intptr_t OnKillFocus(uintptr_t wParam, intptr_t lParam, bool& handled);
  virtual intptr_t OnSetFocus(uintptr_t wParam, intptr_t lParam, bool& handled);
  virtual intptr_t OnLButtonDown(uintptr_t wParam, intptr_t lParam, bool& handled);
  virtual intptr_t OnLButtonUp(uintptr_t wParam, intptr_t lParam, bool& handled);
  virtual intptr_t OnMouseMove(uintptr_t wParam, intptr_t lParam, bool& handled);
  // Messages of the application itself; `handled` starts false.
  virtual intptr_t HandleAppMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, bool& handled);
  // The window style without a caption.
  virtual uint32_t GetStyle() const;

  uint32_t GetNativeClassStyle() const override { return 8; }  // double clicks
  intptr_t HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  void OnWindowGone() override;

  CWindowManagerUI manager_;

 private:
  bool SetUpSkinSource();
  void ShowStandardButtons();
};

}  // namespace SkinUI
