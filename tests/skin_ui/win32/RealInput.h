#pragma once
// Real user input for the window tests: xdotool on the test display, so keys and clicks pass
// through the system's queue and the program's own message loop. Nothing is sent or posted to
// the program's windows. Also the watchdog every modal run arms, and a loop that pumps messages
// until something happened.

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace realinput {

// Runs xdotool with `arguments` and waits for it (at most 10 s); false when it cannot start.
bool Xdotool(const std::wstring& arguments);
// Starts xdotool without waiting, for input that must arrive while a modal loop runs.
bool XdotoolLater(const std::wstring& arguments);
// Clicks at a screen point.
bool ClickAt(int x, int y);
// The xdotool commands that put the pointer over the middle of `window`: the test display has
// no window manager, so keys go to the window under the pointer, as they would after the user
// pointed at it.
std::wstring PointerOver(HWND window);

// Pumps this thread's messages until `done` holds or `ms` passed; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, int ms);

// Starts a program whose standard output comes through `output`; the caller closes it and the
// process's handles. False when it cannot start.
bool StartReading(const std::wstring& commandLine, PROCESS_INFORMATION& process, HANDLE& output);

// Runs a program and returns what it wrote to its standard output; the exit code in `code`.
std::string RunAndRead(const std::wstring& commandLine, DWORD& code, int ms);

// Ends the process with a message when a modal run outlives its time, so that a lost key
// fails the test instead of hanging it.
class Watchdog {
 public:
  Watchdog(const char* what, int seconds);
  ~Watchdog();

 private:
  std::mutex mutex_;
  std::condition_variable done_;
  bool disarmed_ = false;
  std::thread thread_;
};

// Photographs what the display shows of `window` into the PNG `file` (a Windows path) with
// ImageMagick's `import`; true once the picture is written.
bool PhotographWindow(HWND window, const std::wstring& file);

// Waits until `window` is the foreground window (activating a window is the user's click).
bool WaitForeground(HWND window, int ms);

}  // namespace realinput
