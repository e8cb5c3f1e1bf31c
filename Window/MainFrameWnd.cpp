#include "Window/MainFrameWnd.h"

#include "common/ConfigExtraction.h"
#include "common/ConfigRules.h"
#include "common/ExecutablePath.h"
#include "common/GA.h"
#include "common/win32/EmbeddedResource.h"
#include "installer/SystemInfo.h"
#include "log/Logger.h"
#include "resources/ResourceIds.h"

namespace {

// Set once per process: InitEnvironment is asked for from several places.
bool g_environmentPrepared = false;

// The size the main skin gives the window.
constexpr int kClientWidth = 650;
constexpr int kClientHeight = 360;

int RoundUpTo16(int size) { return (size + 15) / 16 * 16; }

}  // namespace

CMainFrameWnd::~CMainFrameWnd() {
  if (window_) DestroyWindow(window_);
}

void CMainFrameWnd::InitEnvironment() {
  if (g_environmentPrepared) return;
  g_environmentPrepared = true;

  workFolder_ = GetWorkFolder();
  const std::wstring logFolder = workFolder_ + L"Log";
  InitLogger(L"nexvale_down.log", logFolder.c_str());
  LoadResZipFile();
  languageManager_.Init(workFolder_ + L"language\\", GetUILanguageText());
}

void CMainFrameWnd::LoadResZipFile() {
  LOG_INFO("LoadResZipFile");
  const auto archive = FindEmbeddedResource(IDR_CONFIG_ARCHIVE, RT_RCDATA);
  if (!archive) {
    LOG_INFO("LoadResZipFile: no configuration archive in the executable");
    return;
  }
  ExtractArchive(archive->data(), static_cast<uint32_t>(archive->size()), workFolder_ + L"language\\");
}

void CMainFrameWnd::LoadDomainFile() {
  LOG_INFO("LoadDomainFile");
  const auto resource = FindEmbeddedResource(IDR_DOMAIN_CODE, RT_RCDATA);
  const DomainResource domain = ParseDomainResource(resource ? *resource : std::string_view());
  if (domain.truncated) {
    LOG_INFO("LoadDomainFile: the domain resource holds %u bytes; only the first %u are used",
             static_cast<unsigned>(resource->size()), static_cast<unsigned>(kDomainResourceCapacity));
  }
  languageManager_.SetDomainCode(domain.code);
  LOG_INFO("Domain:%s", domain.asRead.c_str());
}

std::wstring CMainFrameWnd::GetWindowTitle() const { return languageManager_.GetLangText(L"STR_MESSAGEBOX_TITLE"); }

std::wstring CMainFrameWnd::GetSkinFileName() {
  InitEnvironment();
  return languageManager_.IsRightToLeft() ? L"main_rtl.xml" : L"main.xml";
}

HWND CMainFrameWnd::Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y, int width,
                           int height) {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = &CMainFrameWnd::WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = nullptr;
  windowClass.lpszClassName = GetNativeClassName();
  RegisterClassExW(&windowClass);  // already registered is fine
  window_ = CreateWindowExW(exStyle, GetNativeClassName(), title, style, x, y, width, height, parent, nullptr,
                            GetModuleHandleW(nullptr), this);
  return window_;
}

void CMainFrameWnd::CenterWindow() {
  if (!window_) return;
  RECT window;
  GetWindowRect(window_, &window);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& area = monitor.rcWork;
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  int left = area.left + (area.right - area.left - width) / 2;
  int top = area.top + (area.bottom - area.top - height) / 2;
  if (left < area.left) left = area.left;
  if (top < area.top) top = area.top;
  SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

UINT CMainFrameWnd::ShowModal() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<UINT>(message.wParam);
}

LRESULT CALLBACK CMainFrameWnd::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CMainFrameWnd* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<CMainFrameWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<CMainFrameWnd*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  const LRESULT result = self->HandleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
  }
  return result;
}

LRESULT CMainFrameWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      RECT frame = {0, 0, kClientWidth, kClientHeight};
      AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE)));
      SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      OnSkinReady();
      return 0;
    }
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

void CMainFrameWnd::OnSkinReady() {
  SetWindowIcons();
  InitEnvironment();
  LogSystemFacts();
  InitAnalytics();
  if (!taskbar_) taskbar_ = std::make_unique<TaskbarProgress>();
  taskbar_->Bind(window_);
  taskbar_->SetState(TaskbarProgress::kNormal);
}

void CMainFrameWnd::InitAnalytics() {
  CGA::GetInstance().InitReportTarget(analyticsEndpoint_, languageManager_.GetAnalyticsTitle());
}

void CMainFrameWnd::SetWindowIcons() {
  const HINSTANCE module = GetModuleHandleW(nullptr);
  const int largeSize = RoundUpTo16(GetSystemMetrics(SM_CXICON));
  const int smallSize = RoundUpTo16(GetSystemMetrics(SM_CXSMICON));
  auto load = [module](int size) {
    return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_SETUP_MAIN), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  };
  if (HICON large = load(largeSize)) SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
  if (HICON small = load(smallSize)) SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void CMainFrameWnd::LogSystemFacts() {
  const std::wstring product = GetWindowsProductName();
  LOG_INFOW(L"Windows Version:%s", product.c_str());
  LOG_INFOW(L"Windows Bit:%s", IsWindows64Bit() ? L"x64" : L"x86");
  const std::wstring version = GetFileVersionText(GetExecutablePath());
  LOG_INFOW(L"downloader version:%s", version.c_str());
}

void CMainFrameWnd::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  RECT client;
  GetClientRect(window_, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const std::wstring title = GetWindowTitle();
  SetBkMode(dc, TRANSPARENT);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  EndPaint(window_, &paint);
}
