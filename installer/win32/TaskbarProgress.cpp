#include "installer/win32/TaskbarProgress.h"

namespace {
constexpr UINT kDeliverMessage = WM_APP + 1;
constexpr wchar_t kRelayClass[] = L"NexvaleTaskbarRelay";

HINSTANCE ThisModule() { return GetModuleHandleW(nullptr); }
}  // namespace

TaskbarProgress::TaskbarProgress() : ownerThread_(GetCurrentThreadId()) {
  imageList_ = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 0);
  comInitialised_ = SUCCEEDED(CoInitialize(nullptr));
  CreateInterface();
  CreateRelay();
}

TaskbarProgress::TaskbarProgress(ITaskbarList3* taskbar)
    : taskbar_(taskbar), ownerThread_(GetCurrentThreadId()), createInterface_(false) {
  if (taskbar_) taskbar_->AddRef();
  CreateRelay();
}

void TaskbarProgress::CreateRelay() {
  WNDCLASSW relayClass = {};
  relayClass.lpfnWndProc = &TaskbarProgress::RelayProc;
  relayClass.hInstance = ThisModule();
  relayClass.lpszClassName = kRelayClass;
  RegisterClassW(&relayClass);  // fails harmlessly when already registered
  relay_ = CreateWindowExW(0, kRelayClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ThisModule(), nullptr);
  if (relay_) SetWindowLongPtrW(relay_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TaskbarProgress::~TaskbarProgress() {
  if (relay_) DestroyWindow(relay_);
  if (taskbar_) taskbar_->Release();
  if (imageList_) ImageList_Destroy(imageList_);
  if (comInitialised_) CoUninitialize();
}

void TaskbarProgress::CreateInterface() {
  if (taskbar_ || !createInterface_) return;
  ITaskbarList3* taskbar = nullptr;
  if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                              reinterpret_cast<void**>(&taskbar))) ||
      !taskbar) {
    return;
  }
  if (FAILED(taskbar->HrInit())) {
    taskbar->Release();
    return;
  }
  taskbar_ = taskbar;
}

void TaskbarProgress::Bind(HWND window) {
  window_ = window;
  CreateInterface();
  SetState(kIndeterminate);
}

void TaskbarProgress::SetState(int state) {
  state_ = state;
  statePending_ = true;
  Request();
}

void TaskbarProgress::SetValue(uint64_t done, uint64_t total) {
  done_ = done;
  total_ = total;
  valuePending_ = true;
  Request();
}

void TaskbarProgress::Request() {
  if (GetCurrentThreadId() == ownerThread_) {
    Deliver();
  } else if (relay_) {
    PostMessageW(relay_, kDeliverMessage, 0, 0);
  }
}

void TaskbarProgress::Deliver() {
  if (!taskbar_ || !window_) return;
  if (statePending_.exchange(false)) taskbar_->SetProgressState(window_, static_cast<TBPFLAG>(state_.load()));
  if (valuePending_.exchange(false)) taskbar_->SetProgressValue(window_, done_.load(), total_.load());
}

LRESULT CALLBACK TaskbarProgress::RelayProc(HWND relay, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kDeliverMessage) {
    if (auto* self = reinterpret_cast<TaskbarProgress*>(GetWindowLongPtrW(relay, GWLP_USERDATA))) self->Deliver();
    return 0;
  }
  return DefWindowProcW(relay, message, wParam, lParam);
}
