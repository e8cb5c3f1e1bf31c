// The host of the windowless rich-text services of "msftedit.dll": the services ask it for the
// skinned window's device context, caret, timers, capture, formats and properties, and tell it
// what changed; it hands them the rich edit's messages and lets them draw into the window's
// paint. The services and their identifier are both taken from the library at run time (no
// import library defines the identifier).
//
// On i386 the services call the host's methods as thiscall, which is how this compiler calls
// plain virtual methods there too; the three methods of IUnknown are stdcall, as declared.

#include <windows.h>

#include <imm.h>
#include <ole2.h>
#include <richedit.h>
#include <textserv.h>

#include <memory>
#include <string>

#include "log/Logger.h"
#include "skin_ui/EditRules.h"
#include "skin_ui/RichEditUI.h"
#include "skin_ui/RichTextHost.h"
#include "skin_ui/WindowManagerUI.h"
#include "skin_ui/win32/GdiSupport.h"

namespace SkinUI {

namespace {

// The services' character and paragraph formats from the control's font, colour and style.
CHARFORMAT2W CharFormatOf(HFONT font, UIColor color) {
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof(cf);
  LOGFONTW lf{};
  GetObjectW(font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), sizeof(lf), &lf);
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  cf.dwMask = CFM_SIZE | CFM_OFFSET | CFM_FACE | CFM_CHARSET | CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE;
  cf.yHeight = MulDiv(lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight, 1440, dpi);  // twips
  cf.crTextColor = gdi::ToColorRef(color);
  if (lf.lfWeight >= FW_BOLD) cf.dwEffects |= CFE_BOLD;
  if (lf.lfItalic) cf.dwEffects |= CFE_ITALIC;
  if (lf.lfUnderline) cf.dwEffects |= CFE_UNDERLINE;
  cf.bCharSet = lf.lfCharSet;
  cf.bPitchAndFamily = lf.lfPitchAndFamily;
  lstrcpynW(cf.szFaceName, lf.lfFaceName, LF_FACESIZE);
  return cf;
}

PARAFORMAT2 ParaFormatOf(uint32_t style) {
  PARAFORMAT2 pf{};
  pf.cbSize = sizeof(pf);
  pf.dwMask = PFM_ALL;
  pf.wAlignment = (style & kEditStyleCenter) ? PFA_CENTER : (style & kEditStyleRight) ? PFA_RIGHT : PFA_LEFT;
  pf.cTabCount = 1;
  pf.rgxTabs[0] = 720;  // half an inch, in twips
  return pf;
}

struct TextServicesLibrary {
  PCreateTextServices create = nullptr;
  const IID* iid = nullptr;
};

const TextServicesLibrary& Library() {
  static const TextServicesLibrary library = [] {
    TextServicesLibrary found;
    HMODULE module = LoadLibraryW(L"msftedit.dll");
    if (!module) {
      LOG_PRINT(kLog_Error, "rich edit: msftedit.dll cannot be loaded (error %lu): rich edits keep their text only",
                GetLastError());
      return found;
    }
    found.create = reinterpret_cast<PCreateTextServices>(
        reinterpret_cast<void*>(GetProcAddress(module, "CreateTextServices")));
    found.iid = reinterpret_cast<const IID*>(reinterpret_cast<void*>(GetProcAddress(module, "IID_ITextServices")));
    if (!found.create || !found.iid)
      LOG_PRINT(kLog_Error, "rich edit: msftedit.dll offers no %s", found.create ? "IID_ITextServices" : "CreateTextServices");
    return found;
  }();
  return library;
}

}  // namespace

class CTxtWinHost : public ITextHost, public IRichTextHost {
 public:
  explicit CTxtWinHost(CRichEditUI& owner) : owner_(owner) {}
  ~CTxtWinHost() override {
    if (!services_) return;
    services_->OnTxInPlaceDeactivate();
    services_->Release();
  }

  bool Init();

  // IRichTextHost
  bool Send(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) override;
  void SetText(const wchar_t* text) override;
  CUIString GetText() override;
  void SetReadOnly(bool readOnly) override;
  void RefreshCharFormat() override;
  void SetTextRect(const UIRect& rect) override;
  void Draw(NativeDC dc, const UIRect& dirty) override;
  bool SetCursor(UIPoint point) override;
  bool HasCapture() const override { return captured_; }
  void SetFocused(bool focused) override;
  void RefreshCaret() override { Message(EM_SCROLLCARET, 0, 0); }
  void Timer(uint32_t id) override { Message(WM_TIMER, id, 0); }

  // IUnknown: the rich edit owns the host; the count only answers the services.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (IsEqualIID(riid, IID_IUnknown)) {
      *object = static_cast<ITextHost*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return references_ > 1 ? --references_ : 1; }

  // ITextHost
  // Without a window (a control painted offscreen) the services still measure and lay out
  // their text, on the screen's context.
  HDC TxGetDC() override { return GetDC(Window()); }
  INT TxReleaseDC(HDC dc) override { return ReleaseDC(Window(), dc); }
  // No scroll bars are shown: the text rectangle keeps its width.
  WINBOOL TxShowScrollBar(INT, WINBOOL) override { return FALSE; }
  WINBOOL TxEnableScrollBar(INT, INT) override { return FALSE; }
  WINBOOL TxSetScrollRange(INT, LONG, INT, WINBOOL) override { return FALSE; }
  WINBOOL TxSetScrollPos(INT, INT, WINBOOL) override { return FALSE; }
  void TxInvalidateRect(LPCRECT rect, WINBOOL) override {
    CWindowManagerUI* manager = owner_.GetManager();
    if (!manager) return;
    manager->Invalidate(rect ? UIRect{rect->left, rect->top, rect->right, rect->bottom} : textRect_);
  }
  void TxViewChange(WINBOOL update) override {
    if (update) TxInvalidateRect(nullptr, FALSE);
  }
  WINBOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override {
    return Window() ? CreateCaret(Window(), bitmap, width, height) : FALSE;
  }
  WINBOOL TxShowCaret(WINBOOL show) override { return show ? ShowCaret(Window()) : HideCaret(Window()); }
  WINBOOL TxSetCaretPos(INT x, INT y) override { return SetCaretPos(x, y); }
  WINBOOL TxSetTimer(UINT id, UINT timeout) override {
    CWindowManagerUI* manager = owner_.GetManager();
    return manager && manager->SetTimer(&owner_, id, timeout);
  }
  void TxKillTimer(UINT id) override {
    if (CWindowManagerUI* manager = owner_.GetManager()) manager->KillTimer(&owner_, id);
  }
  void TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) override { TxInvalidateRect(nullptr, FALSE); }
  void TxSetCapture(WINBOOL capture) override {
    captured_ = capture != FALSE;
    if (captured_ && Window())
      ::SetCapture(Window());
    else if (!captured_)
      ::ReleaseCapture();
  }
  void TxSetFocus() override { owner_.SetFocus(); }
  void TxSetCursor(HCURSOR cursor, WINBOOL) override { ::SetCursor(cursor); }
  WINBOOL TxScreenToClient(LPPOINT point) override { return Window() ? ScreenToClient(Window(), point) : FALSE; }
  WINBOOL TxClientToScreen(LPPOINT point) override { return Window() ? ClientToScreen(Window(), point) : FALSE; }
  HRESULT TxActivate(LONG* oldState) override {
    if (oldState) *oldState = 0;
    return S_OK;
  }
  HRESULT TxDeactivate(LONG) override { return S_OK; }
  HRESULT TxGetClientRect(LPRECT rect) override {
    *rect = gdi::ToRECT(textRect_);
    return S_OK;
  }
  HRESULT TxGetViewInset(LPRECT inset) override {
    *inset = RECT{0, 0, 0, 0};  // the text padding is outside the client rectangle already
    return S_OK;
  }
  HRESULT TxGetCharFormat(const CHARFORMATW** format) override {
    *format = reinterpret_cast<const CHARFORMATW*>(&charFormat_);
    return S_OK;
  }
  HRESULT TxGetParaFormat(const PARAFORMAT** format) override {
    *format = &paraFormat_;
    return S_OK;
  }
  COLORREF TxGetSysColor(int index) override { return GetSysColor(index); }
  HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override {
    *style = owner_.IsTransparent() ? TXTBACK_TRANSPARENT : TXTBACK_OPAQUE;
    return S_OK;
  }
  HRESULT TxGetMaxLength(DWORD* length) override {
    *length = static_cast<DWORD>(owner_.GetLimitText());
    return S_OK;
  }
  HRESULT TxGetScrollBars(DWORD* bars) override {
    *bars = owner_.GetWindowStyle() & (WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_DISABLENOSCROLL);
    return S_OK;
  }
  HRESULT TxGetPasswordChar(TCHAR* ch) override {
    *ch = L'*';
    return S_OK;
  }
  HRESULT TxGetAcceleratorPos(LONG* position) override {
    *position = -1;
    return S_OK;
  }
  HRESULT TxGetExtent(LPSIZEL) override { return E_NOTIMPL; }
  HRESULT OnTxCharFormatChange(const CHARFORMATW*) override { return S_OK; }
  HRESULT OnTxParaFormatChange(const PARAFORMAT*) override { return S_OK; }
  HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override {
    *bits = propertyBits_ & mask;
    return S_OK;
  }
  HRESULT TxNotify(DWORD code, void* data) override;
  HIMC TxImmGetContext() override { return Window() ? ImmGetContext(Window()) : nullptr; }
  void TxImmReleaseContext(HIMC context) override {
    if (Window()) ImmReleaseContext(Window(), context);
  }
  HRESULT TxGetSelectionBarWidth(LONG* width) override {
    *width = 0;
    return S_OK;
  }

 private:
  HWND Window() const {
    CWindowManagerUI* manager = owner_.GetManager();
    return manager ? static_cast<HWND>(manager->GetNativeWindow()) : nullptr;
  }
  LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    services_->TxSendMessage(message, wParam, lParam, &result);
    return result;
  }
  CHARFORMAT2W OwnersCharFormat() const {
    UIColor color = owner_.GetTextColor();
    if (color == 0 && owner_.GetManager()) color = owner_.GetManager()->GetDefaultFontColor();
    return CharFormatOf(Font(), color);
  }
  HFONT Font() const {
    CWindowManagerUI* manager = owner_.GetManager();
    NativeFont font = manager ? manager->GetFont(owner_.GetFont()) : nullptr;
    return font ? static_cast<HFONT>(font) : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }
  void PlaceComposition();

  CRichEditUI& owner_;
  ITextServices* services_ = nullptr;
  ULONG references_ = 1;
  UIRect textRect_;
  CHARFORMAT2W charFormat_{};
  PARAFORMAT2 paraFormat_{};
  DWORD propertyBits_ = 0;
  bool captured_ = false;
};

bool CTxtWinHost::Init() {
  const TextServicesLibrary& library = Library();
  if (!library.create || !library.iid) return false;
  const uint32_t style = owner_.GetWindowStyle();
  charFormat_ = OwnersCharFormat();
  paraFormat_ = ParaFormatOf(style);
  propertyBits_ = TXTBIT_CLIENTRECTCHANGE;
  if (owner_.IsRich()) propertyBits_ |= TXTBIT_RICHTEXT;
  if (style & kEditStyleMultiLine) propertyBits_ |= TXTBIT_MULTILINE;
  if (owner_.IsReadOnly()) propertyBits_ |= TXTBIT_READONLY;
  if (style & kEditStylePassword) propertyBits_ |= TXTBIT_USEPASSWORD;
  // Lines wrap unless the text is to scroll sideways.
  if (!(style & WS_HSCROLL)) propertyBits_ |= TXTBIT_WORDWRAP;
  textRect_ = owner_.GetTextRect();

  IUnknown* unknown = nullptr;
  const HRESULT created = library.create(nullptr, this, &unknown);
  if (FAILED(created) || !unknown) {
    LOG_PRINT(kLog_Error, "rich edit: CreateTextServices failed (0x%08lX)", static_cast<unsigned long>(created));
    return false;
  }
  const HRESULT queried = unknown->QueryInterface(*library.iid, reinterpret_cast<void**>(&services_));
  unknown->Release();
  if (FAILED(queried) || !services_) {
    LOG_PRINT(kLog_Error, "rich edit: the services answer no ITextServices (0x%08lX)", static_cast<unsigned long>(queried));
    services_ = nullptr;
    return false;
  }
  services_->TxSetText(owner_.CControlUI::GetText());
  Message(EM_SETEVENTMASK, 0, ENM_CHANGE);
  // The font stays the skin's whatever the keyboard layout; typing does not switch layouts.
  const LRESULT options = Message(EM_GETLANGOPTIONS, 0, 0);
  Message(EM_SETLANGOPTIONS, 0, options & ~(IMF_AUTOFONT | IMF_AUTOKEYBOARD));
  const RECT rect = gdi::ToRECT(textRect_);
  services_->OnTxInPlaceActivate(&rect);
  return true;
}

bool CTxtWinHost::Send(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) {
  if (message == WM_IME_STARTCOMPOSITION || message == WM_IME_COMPOSITION) PlaceComposition();
  LRESULT answer = 0;
  const HRESULT handled = services_->TxSendMessage(message, wParam, lParam, &answer);
  result = answer;
  return handled == S_OK;
}

void CTxtWinHost::PlaceComposition() {
  HWND window = Window();
  HIMC context = window ? ImmGetContext(window) : nullptr;
  if (!context) return;
  POINT caret{};
  GetCaretPos(&caret);
  COMPOSITIONFORM form{};
  form.dwStyle = CFS_POINT;
  form.ptCurrentPos = caret;
  ImmSetCompositionWindow(context, &form);
  LOGFONTW font{};
  GetObjectW(Font(), sizeof(font), &font);
  ImmSetCompositionFontW(context, &font);
  ImmReleaseContext(window, context);
}

void CTxtWinHost::SetText(const wchar_t* text) {
  Message(EM_SETSEL, 0, -1);
  Message(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}

CUIString CTxtWinHost::GetText() {
  GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, 1200};
  const LRESULT count = Message(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
  if (count <= 0) return CUIString();
  std::wstring text(static_cast<size_t>(count) + 1, L'\0');
  GETTEXTEX request{};
  request.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  request.flags = GT_DEFAULT;
  request.codepage = 1200;  // UTF-16
  const LRESULT got = Message(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return CUIString(text.c_str());
}

void CTxtWinHost::SetReadOnly(bool readOnly) {
  propertyBits_ = readOnly ? propertyBits_ | TXTBIT_READONLY : propertyBits_ & ~TXTBIT_READONLY;
  services_->OnTxPropertyBitsChange(TXTBIT_READONLY, propertyBits_ & TXTBIT_READONLY);
}

void CTxtWinHost::RefreshCharFormat() {
  charFormat_ = OwnersCharFormat();
  Message(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&charFormat_));
  Message(EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&charFormat_));
}

void CTxtWinHost::SetTextRect(const UIRect& rect) {
  if (rect == textRect_) return;
  textRect_ = rect;
  services_->OnTxPropertyBitsChange(TXTBIT_CLIENTRECTCHANGE, TXTBIT_CLIENTRECTCHANGE);
}

void CTxtWinHost::Draw(NativeDC dc, const UIRect& dirty) {
  const RECTL bounds{textRect_.left, textRect_.top, textRect_.right, textRect_.bottom};
  RECT update = gdi::ToRECT(dirty);
  services_->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, static_cast<HDC>(dc), nullptr, &bounds, nullptr, &update,
                    nullptr, 0, TXTVIEW_ACTIVE);
}

bool CTxtWinHost::SetCursor(UIPoint point) {
  const RECT client = gdi::ToRECT(textRect_);
  HDC dc = TxGetDC();
  const HRESULT done =
      services_->OnTxSetCursor(DVASPECT_CONTENT, -1, nullptr, nullptr, dc, nullptr, &client, point.x, point.y);
  if (dc) TxReleaseDC(dc);
  return done == S_OK;
}

void CTxtWinHost::SetFocused(bool focused) {
  if (focused) {
    services_->OnTxUIActivate();
    Message(WM_SETFOCUS, 0, 0);
  } else {
    Message(WM_KILLFOCUS, 0, 0);
    services_->OnTxUIDeactivate();
  }
}

HRESULT CTxtWinHost::TxNotify(DWORD code, void* data) {
  if (owner_.OnTxNotify(code)) return S_OK;
  HWND window = Window();
  if (!window) return S_OK;
  // The notifications from EN_MSGFILTER on carry a header of their own; the others none.
  NMHDR plain{};
  NMHDR* header = data && code >= EN_MSGFILTER ? static_cast<NMHDR*>(data) : &plain;
  header->hwndFrom = window;
  header->idFrom = static_cast<UINT_PTR>(GetWindowLongPtrW(window, GWLP_ID));
  header->code = code;
  SendMessageW(window, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
  return S_OK;
}

std::unique_ptr<IRichTextHost> CreateRichTextHost(CRichEditUI& owner) {
  auto host = std::make_unique<CTxtWinHost>(owner);
  if (!host->Init()) return nullptr;
  return host;
}

}  // namespace SkinUI
