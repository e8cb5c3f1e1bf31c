#include "tests/skin_ui/win32/RealInput.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "skin_ui/WindowManagerUI.h"

namespace realinput {

namespace {

bool Start(const std::wstring& commandLine, PROCESS_INFORMATION& process) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(L'\0');
  return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process) !=
         FALSE;
}

// A Windows path as the display's programs see it (drive Z: is the root).
std::wstring UnixPath(const std::wstring& path) {
  std::wstring unix = path.size() > 2 && path[1] == L':' ? path.substr(2) : path;
  for (wchar_t& ch : unix)
    if (ch == L'\\') ch = L'/';
  return unix;
}

// Bytes in `file`, or -1 when there is none.
int64_t FileSize(const std::wstring& file) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (int64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

}  // namespace

bool Xdotool(const std::wstring& arguments) {
  PROCESS_INFORMATION process{};
  if (!Start(L"/usr/bin/xdotool " + arguments, process)) {
    std::fprintf(stderr, "cannot start xdotool (%lu)\n", GetLastError());
    return false;
  }
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool XdotoolLater(const std::wstring& arguments) {
  PROCESS_INFORMATION process{};
  if (!Start(L"/usr/bin/xdotool " + arguments, process)) return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool ClickAt(int x, int y) {
  return Xdotool(L"mousemove " + std::to_wstring(x) + L" " + std::to_wstring(y) + L" click 1");
}

std::wstring PointerOver(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return L"mousemove " + std::to_wstring((r.left + r.right) / 2) + L" " + std::to_wstring((r.top + r.bottom) / 2) +
         L" sleep 0.2 ";
}

bool PumpUntil(const std::function<bool()>& done, int ms) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > static_cast<DWORD>(ms)) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      // As the modal loop does: the toolkit sees each message before translation.
      if (SkinUI::CWindowManagerUI::TranslateWindowMessage(
              SkinUI::UIMessage{msg.hwnd, msg.message, msg.wParam, msg.lParam}))
        continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return true;
}

bool StartReading(const std::wstring& commandLine, PROCESS_INFORMATION& process, HANDLE& output) {
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE write = nullptr;
  output = nullptr;
  if (!CreatePipe(&output, &write, &inherit, 0)) return false;
  SetHandleInformation(output, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(L'\0');
  const BOOL started =
      CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  CloseHandle(write);
  if (started) return true;
  CloseHandle(output);
  output = nullptr;
  return false;
}

std::string RunAndRead(const std::wstring& commandLine, DWORD& code, int ms) {
  code = static_cast<DWORD>(-1);
  PROCESS_INFORMATION process{};
  HANDLE read = nullptr;
  if (!StartReading(commandLine, process, read)) return {};
  std::string out;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(read, buffer, sizeof(buffer), &got, nullptr) && got > 0) out.append(buffer, got);
  WaitForSingleObject(process.hProcess, static_cast<DWORD>(ms));
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(read);
  return out;
}

Watchdog::Watchdog(const char* what, int seconds)
    : thread_([this, what, seconds] {
        std::unique_lock<std::mutex> lock(mutex_);
        if (done_.wait_for(lock, std::chrono::seconds(seconds), [this] { return disarmed_; })) return;
        std::fprintf(stderr, "watchdog: %s did not end within %d s\n", what, seconds);
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
      }) {}

Watchdog::~Watchdog() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    disarmed_ = true;
  }
  done_.notify_all();
  thread_.join();
}

// Wine cannot wait for a program of the host, so the picture counts as taken once its file
// stops growing.
bool PhotographWindow(HWND window, const std::wstring& file) {
  DeleteFileW(file.c_str());
  RECT r{};
  GetWindowRect(window, &r);
  const std::wstring geometry = std::to_wstring(r.right - r.left) + L"x" + std::to_wstring(r.bottom - r.top) + L"+" +
                                std::to_wstring(r.left) + L"+" + std::to_wstring(r.top);
  DWORD code = 0;
  RunAndRead(L"/usr/bin/import -window root -crop " + geometry + L" +repage " + UnixPath(file), code, 20000);
  int64_t last = -1;
  return PumpUntil(
      [&] {
        const int64_t size = FileSize(file);
        const bool settled = size > 0 && size == last;
        last = size;
        return settled;
      },
      20000);
}

bool WaitForeground(HWND window, int ms) {
  return PumpUntil([window] { return GetForegroundWindow() == window; }, ms);
}

}  // namespace realinput
