// Windows-side helper of the test harness and the demo:
//   harness_tool import-root-cert FILE.pem   trust a root as Windows does (machine "ROOT" store)
//   harness_tool wait-window TITLE SECONDS   exit 0 once a top-level window has that title
//   harness_tool close-window TITLE          ask that window to close
//   harness_tool close-class CLASS           ask the first window of that class to close
//   harness_tool window-title CLASS SECONDS  wait for a top-level window of that class and print
//                                            its title as UTF-8
//   harness_tool message-box CAPTION SECONDS wait for a message box ("#32770") with that caption
//                                            and print, as UTF-8, "text: ..." and one line
//                                            "button ID LEFT TOP RIGHT BOTTOM" (screen) per button
//   harness_tool choose-folder PATH SECONDS  wait for the system's folder chooser ("#32770"
//                                            with a tree view), select PATH in it and press OK;
//                                            the path "-" presses Cancel instead
//   harness_tool map-drive LETTER UNIXPATH   map a drive letter to a Unix folder as the prefix's
//                                            configuration does (through the mount manager, so
//                                            every program sees the drive); "-" unmaps it
//   harness_tool hold-desktop                keep the prefix's desktop open until ended
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <wincrypt.h>
#include <winioctl.h>

#include <cstdio>
#include <cstring>
#include <cwctype>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/Encoding.h"
#include "tests/win32/support/Certificates.h"

namespace {

int ImportRootCertificate(const wchar_t* pemPath) {
  std::ifstream in(pemPath, std::ios::binary);
  const std::string pem((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (pem.empty()) {
    std::fwprintf(stderr, L"cannot read %ls\n", pemPath);
    return 1;
  }
  const std::vector<unsigned char> der = testsupport::DerFromPem(pem);
  if (der.empty()) {
    std::fwprintf(stderr, L"%ls holds no PEM certificate\n", pemPath);
    return 1;
  }
  HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"ROOT");
  if (!store) {
    std::fwprintf(stderr, L"cannot open the ROOT store (%lu)\n", GetLastError());
    return 1;
  }
  const BOOL added = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size()),
                                                      CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
  const DWORD error = GetLastError();
  CertCloseStore(store, 0);
  if (!added) {
    std::fwprintf(stderr, L"cannot add the certificate (%lu)\n", error);
    return 1;
  }
  return 0;
}

int WaitWindow(const wchar_t* title, int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    if (FindWindowW(nullptr, title)) return 0;
    Sleep(100);
  }
  std::fwprintf(stderr, L"no window titled \"%ls\" within %d s\n", title, seconds);
  return 1;
}

int CloseWindow(const wchar_t* windowClass, const wchar_t* title) {
  HWND window = FindWindowW(windowClass, title);
  if (!window) {
    std::fwprintf(stderr, L"no window \"%ls\"\n", windowClass ? windowClass : title);
    return 1;
  }
  PostMessageW(window, WM_CLOSE, 0, 0);
  return 0;
}

int PrintWindowTitle(const wchar_t* windowClass, int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    if (HWND window = FindWindowW(windowClass, nullptr)) {
      wchar_t title[512] = {};
      GetWindowTextW(window, title, 512);
      const std::string text = encoding::WideToUtf8(title);
      std::fwrite(text.data(), 1, text.size(), stdout);
      std::fputc('\n', stdout);
      return 0;
    }
    Sleep(100);
  }
  std::fwprintf(stderr, L"no window of class \"%ls\" within %d s\n", windowClass, seconds);
  return 1;
}

struct BoxContents {
  std::wstring text;
  std::vector<std::pair<int, RECT>> buttons;
};

BOOL CALLBACK ReadBoxChild(HWND child, LPARAM data) {
  auto* box = reinterpret_cast<BoxContents*>(data);
  wchar_t className[64] = {};
  GetClassNameW(child, className, 64);
  wchar_t text[2048] = {};
  GetWindowTextW(child, text, 2048);
  if (_wcsicmp(className, L"Button") == 0) {
    RECT rect{};
    GetWindowRect(child, &rect);
    box->buttons.emplace_back(GetDlgCtrlID(child), rect);
  } else if (_wcsicmp(className, L"Static") == 0 && text[0]) {
    box->text = text;
  }
  return TRUE;
}

int PrintMessageBox(const wchar_t* caption, int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    HWND box = FindWindowW(L"#32770", caption);
    if (box && IsWindowVisible(box)) {
      Sleep(300);  // shown: let it settle where it will stay
      BoxContents contents;
      EnumChildWindows(box, ReadBoxChild, reinterpret_cast<LPARAM>(&contents));
      std::string out = "text: " + encoding::WideToUtf8(contents.text.c_str()) + "\n";
      for (const auto& [id, r] : contents.buttons)
        out += "button " + std::to_string(id) + " " + std::to_string(r.left) + " " + std::to_string(r.top) + " " +
               std::to_string(r.right) + " " + std::to_string(r.bottom) + "\n";
      std::fwrite(out.data(), 1, out.size(), stdout);
      std::fflush(stdout);
      return 0;
    }
    Sleep(100);
  }
  std::fwprintf(stderr, L"no message box \"%ls\" within %d s\n", caption, seconds);
  return 1;
}

BOOL CALLBACK FindTreeView(HWND child, LPARAM data) {
  wchar_t className[64] = {};
  GetClassNameW(child, className, 64);
  if (_wcsicmp(className, WC_TREEVIEWW) != 0) return TRUE;
  *reinterpret_cast<HWND*>(data) = child;
  return FALSE;
}

struct ChooserSearch {
  HWND chooser = nullptr;
  HWND tree = nullptr;
};

BOOL CALLBACK FindChooser(HWND window, LPARAM data) {
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  if (wcscmp(className, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  HWND tree = nullptr;
  EnumChildWindows(window, FindTreeView, reinterpret_cast<LPARAM>(&tree));
  if (!tree) return TRUE;
  *reinterpret_cast<ChooserSearch*>(data) = {window, tree};
  return FALSE;
}

// The chooser's tree has no coordinates a test could know beforehand, so the folder is selected
// the way the chooser's own owner may select one: its BFFM_SETSELECTION message, with the path
// written into the chooser's process; then OK. The test checks the folder the program received.
int ChooseFolder(const wchar_t* path, int seconds) {
  ChooserSearch found;
  for (int i = 0; i < seconds * 10 && !found.chooser; ++i) {
    EnumWindows(FindChooser, reinterpret_cast<LPARAM>(&found));
    if (!found.chooser) Sleep(100);
  }
  if (!found.chooser) {
    std::fwprintf(stderr, L"no folder chooser within %d s\n", seconds);
    return 1;
  }
  Sleep(300);  // shown: let it fill its tree
  if (wcscmp(path, L"-") == 0) {
    PostMessageW(found.chooser, WM_COMMAND, IDCANCEL, 0);
    return 0;
  }
  DWORD processId = 0;
  GetWindowThreadProcessId(found.chooser, &processId);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
  if (!process) {
    std::fwprintf(stderr, L"cannot open the chooser's process (%lu)\n", GetLastError());
    return 1;
  }
  const SIZE_T bytes = (wcslen(path) + 1) * sizeof(wchar_t);
  void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  int result = 1;
  if (remote && WriteProcessMemory(process, remote, path, bytes, nullptr)) {
    SendMessageW(found.chooser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote));
    PostMessageW(found.chooser, WM_COMMAND, IDOK, 0);
    result = 0;
  } else {
    std::fwprintf(stderr, L"cannot write the path into the chooser's process (%lu)\n", GetLastError());
  }
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return result;
}

// Wine's mount manager request behind its drive configuration: the letter's drive type and the
// Unix folder, whose text (in the Unix character set) follows the record.
struct WineUnixDrive {
  ULONG size;
  ULONG type;
  ULONG fileSystem;
  DWORD serial;
  ULONGLONG unixDevice;
  WCHAR letter;
  USHORT mountPointOffset;
  USHORT deviceOffset;
  USHORT labelOffset;
};
constexpr DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

int MapDrive(const wchar_t* letter, const wchar_t* unixFolder) {
  const wchar_t drive = static_cast<wchar_t>(towlower(letter[0]));
  if (drive < L'a' || drive > L'z' || letter[1] != L'\0') {
    std::fwprintf(stderr, L"no drive letter: %ls\n", letter);
    return 2;
  }
  const bool unmap = wcscmp(unixFolder, L"-") == 0;
  const std::string folder = unmap ? std::string() : encoding::WideToUtf8(unixFolder);
  std::vector<char> request(sizeof(WineUnixDrive) + folder.size() + 1, '\0');
  WineUnixDrive record{};
  record.size = static_cast<ULONG>(request.size());
  record.type = unmap ? DRIVE_NO_ROOT_DIR : DRIVE_FIXED;
  record.letter = drive;
  record.mountPointOffset = unmap ? 0 : static_cast<USHORT>(sizeof(WineUnixDrive));
  std::memcpy(request.data(), &record, sizeof(record));
  std::memcpy(request.data() + sizeof(record), folder.c_str(), folder.size() + 1);
  HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (manager == INVALID_HANDLE_VALUE) {
    std::fwprintf(stderr, L"cannot open the mount manager (%lu)\n", GetLastError());
    return 1;
  }
  DWORD returned = 0;
  const BOOL done = DeviceIoControl(manager, kDefineUnixDrive, request.data(), static_cast<DWORD>(request.size()),
                                    nullptr, 0, &returned, nullptr);
  const DWORD error = GetLastError();
  CloseHandle(manager);
  if (!done) {
    std::fwprintf(stderr, L"the mount manager refused drive %lc: (%lu)\n", drive, error);
    return 1;
  }
  return 0;
}

// Opens the desktop and stays until the test world ends. The desktop's own process starts
// with the first program that opens the desktop, inherits that program's output and lingers for
// a while after the last window is gone: started by a window test, it would keep the test's
// output open, and so the test unfinished for ctest, long after the test ended.
int HoldDesktop() {
  if (!GetDesktopWindow()) {
    std::fwprintf(stderr, L"cannot open the desktop (%lu)\n", GetLastError());
    return 1;
  }
  Sleep(INFINITE);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"import-root-cert" && argc == 3) return ImportRootCertificate(argv[2]);
  if (command == L"wait-window" && argc == 4) return WaitWindow(argv[2], _wtoi(argv[3]));
  if (command == L"close-window" && argc == 3) return CloseWindow(nullptr, argv[2]);
  if (command == L"close-class" && argc == 3) return CloseWindow(argv[2], nullptr);
  if (command == L"window-title" && argc == 4) return PrintWindowTitle(argv[2], _wtoi(argv[3]));
  if (command == L"message-box" && argc == 4) return PrintMessageBox(argv[2], _wtoi(argv[3]));
  if (command == L"choose-folder" && argc == 4) return ChooseFolder(argv[2], _wtoi(argv[3]));
  if (command == L"map-drive" && argc == 4) return MapDrive(argv[2], argv[3]);
  if (command == L"hold-desktop" && argc == 2) return HoldDesktop();
  std::fwprintf(stderr, L"usage: harness_tool import-root-cert FILE | wait-window TITLE SECONDS | close-window TITLE"
                        L" | close-class CLASS"
                        L" | window-title CLASS SECONDS | message-box CAPTION SECONDS | choose-folder PATH SECONDS"
                        L" | map-drive LETTER UNIXPATH | hold-desktop\n");
  return 2;
}
