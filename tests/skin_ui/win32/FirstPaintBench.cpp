// How long a skinned window takes to show itself: a 650 × 360 skin like the setup's main window
// (a 650 × 290 picture, a nine-grid frame, fifteen controls with PNG state pictures, markup with
// a link, a progress bar) from an in-memory skin archive. Each run starts cold (no pictures or
// fonts cached) and measures
//   first paint:  from setting up the archive and Create to the end of the first WM_PAINT
//                 (archive, XML parsing, building, picture decoding, layout and painting),
//                 split at the end of WM_CREATE (the skin built, its preloaded pictures
//                 decoded) into creating and the rest (showing, layout, state pictures, paint);
//   repaint:      the whole client area invalidated and painted again (pictures cached);
//   decoding:     the skin's pictures decoded on their own, for comparison with the first paint.
// Prints the median and the maximum of each over the runs (default 20; the first argument
// changes it). Started by scripts/bench-first-paint.sh in the test world.

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "skin_ui/ImageCache.h"
#include "skin_ui/SkinArchive.h"
#include "skin_ui/WindowManagerUI.h"
#include "skin_ui/win32/WindowImplBase.h"
#include "tests/skin_ui/ImageFixtures.h"
#include "tests/support/ZipBuilder.h"

namespace {

using namespace SkinUI;

double NowMs() {
  static const double perMs = [] {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / perMs;
}

// A picture with a smooth gradient and some noise, so that it compresses like artwork does.
std::string Artwork(int width, int height, uint32_t seed, uint8_t alpha = 255) {
  std::vector<uint8_t> rgba;
  rgba.reserve(static_cast<size_t>(width) * height * 4);
  uint32_t state = seed;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      state = state * 1664525u + 1013904223u;
      const int noise = static_cast<int>(state >> 28) - 8;
      const auto channel = [&](int base) { return static_cast<uint8_t>(std::clamp(base + noise, 0, 255)); };
      rgba.insert(rgba.end(), {channel(40 + 150 * x / width), channel(80 + 100 * y / height),
                               channel(200 - 120 * x / width), alpha});
    }
  return skintest::EncodePng(width, height, rgba);
}

struct SkinFiles {
  std::string archive;
  std::vector<std::wstring> pictures;
};

// The skin and its pictures as an archive.
SkinFiles MakeSkin() {
  SkinFiles files;
  testsupport::ZipBuilder zip;
  uint32_t seed = 1;
  const auto add = [&](const std::string& name, int width, int height, uint8_t alpha = 255) {
    zip.File(name, Artwork(width, height, seed++, alpha));
    files.pictures.emplace_back(name.begin(), name.end());
  };
  add("bg.png", 650, 290);
  add("frame.png", 24, 24, 230);
  add("logo.png", 24, 24, 200);
  add("track.png", 300, 8);
  add("fill.png", 300, 8);
  for (const char* state : {"normal", "hot", "pushed", "disabled"}) {
    add(std::string("big_") + state + ".png", 140, 40);
    add(std::string("small_") + state + ".png", 90, 30);
    add(std::string("sys_") + state + ".png", 30, 30, 220);
  }
  for (const char* state : {"off", "on"}) add(std::string("check_") + state + ".png", 14, 14, 240);

  const auto button = [](const char* name, const char* kind, const char* text, const char* extra) {
    std::string images;
    for (const char* state : {"normal", "hot", "pushed", "disabled"})
      images += std::string(" ") + state + "image=\"" + kind + "_" + state + ".png\"";
    return std::string("<Button name=\"") + name + "\" text=\"" + text + "\"" + images + " " + extra + "/>";
  };
  const auto toggle = [](const char* element, const char* name, const char* text, const char* extra) {
    return std::string("<") + element + " name=\"" + name + "\" text=\"" + text + "\" width=\"170\" " + extra +
           " align=\"left\" textpadding=\"20,0,0,0\" normalimage=\"file='check_off.png' dest='0,8,14,22'\""
           " selectedimage=\"file='check_on.png' dest='0,8,14,22'\"/>";
  };
  const std::string xml =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
      "<Window size=\"650,360\" caption=\"0,0,0,40\" roundcorner=\"4,4\" linkfontcolor=\"#FF0066CC\">"
      "<Font id=\"0\" name=\"Noto Sans\" size=\"13\" default=\"true\"/>"
      "<Font id=\"1\" name=\"Noto Sans\" size=\"18\" bold=\"true\"/>"
      "<VerticalLayout bkcolor=\"#FFFFFFFF\">"
      "<VerticalLayout height=\"290\" bkimage=\"bg.png\">"
      "<HorizontalLayout height=\"40\" inset=\"10,8,8,0\">"
      "<Control width=\"24\" height=\"24\" bkimage=\"logo.png\"/>"
      "<Label text=\"Setup\" font=\"1\" textcolor=\"#FFFFFFFF\" textpadding=\"8,0,0,0\"/>" +
      button("minbtn", "sys", "", "width=\"30\" height=\"30\"") +
      button("closebtn", "sys", "", "width=\"30\" height=\"30\"") +
      "</HorizontalLayout>"
      "<Label height=\"60\" showhtml=\"true\" align=\"center\" textcolor=\"#FFFFFFFF\""
      " text=\"{f 1}Recover what was lost{/f}{n}Fast and safe, with the {a terms}licence terms{/a}\"/>"
      "<Text height=\"50\" showhtml=\"true\" textcolor=\"#FFF0F0F0\" textpadding=\"40,0,40,0\""
      " text=\"By installing you agree to the {a eula}licence{/a} and the {a privacy}privacy notice{/a}.\"/>"
      "<Control/>"
      "<HorizontalLayout height=\"50\" inset=\"255,5,255,5\">" +
      button("install", "big", "Install now", "width=\"140\" height=\"40\"") +
      "</HorizontalLayout>"
      "<Control height=\"20\"/>"
      "</VerticalLayout>"
      "<VerticalLayout bkimage=\"file='frame.png' corner='8,8,8,8'\" inset=\"16,8,16,8\">"
      "<HorizontalLayout height=\"30\">" +
      toggle("CheckBox", "shortcut", "Desktop shortcut", "selected=\"true\"") +
      toggle("CheckBox", "autostart", "Start with Windows", "") +
      toggle("Option", "typical", "Typical", "group=\"kind\" selected=\"true\"") +
      "</HorizontalLayout>"
      "<HorizontalLayout height=\"30\">" + toggle("Option", "custom", "Custom", "group=\"kind\"") +
      "<Label text=\"C:\\Program Files\\Recovery\" endellipsis=\"true\"/>" +
      button("browse", "small", "Browse", "width=\"90\" height=\"30\"") +
      "</HorizontalLayout>"
      "<Progress name=\"progress\" height=\"8\" value=\"30\" bkimage=\"track.png\" foreimage=\"fill.png\"/>"
      "</VerticalLayout>"
      "</VerticalLayout></Window>";
  zip.File("skin.xml", xml);
  files.archive = zip.Build();
  return files;
}

class BenchWindow : public WindowImplBase {
 public:
  int paints = 0;
  double lastPaintEnd = 0;
  double createEnd = 0;

 protected:
  const wchar_t* GetNativeClassName() const override { return L"FirstPaintBench"; }
  const wchar_t* GetSkinFileName() const override { return L"skin.xml"; }
  intptr_t HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
    const intptr_t result = WindowImplBase::HandleMessage(message, wParam, lParam);
    if (message == WM_CREATE) createEnd = NowMs();
    if (message == WM_PAINT) {
      ++paints;
      lastPaintEnd = NowMs();
    }
    return result;
  }
};

void Pump(const std::function<bool()>& done) {
  while (!done()) {
    MSG msg;
    if (!GetMessageW(&msg, nullptr, 0, 0)) return;
    if (CWindowManagerUI::TranslateWindowMessage(UIMessage{msg.hwnd, msg.message, msg.wParam, msg.lParam})) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

struct Figures {
  std::vector<double> ms;
  void Print(const char* what) {
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    std::printf("%-34s median %8.2f ms   max %8.2f ms   (%zu runs)\n", what, median, ms.back(), n);
  }
};

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  const SkinFiles skin = MakeSkin();
  std::printf("skin: 650 x 360, archive %zu bytes, %zu pictures\n", skin.archive.size(), skin.pictures.size());
  Figures first, created, painted, repaint, decode;
  for (int run = 0; run < runs; ++run) {
    CWindowManagerUI::ResetSharedResources();
    ResetSkinSource();

    BenchWindow window;
    const double start = NowMs();
    if (!SetSkinArchiveMemory(skin.archive.data(), skin.archive.size())) {
      std::fprintf(stderr, "the skin archive cannot be read\n");
      return 1;
    }
    HWND hwnd = static_cast<HWND>(window.Create(nullptr, L"first paint", WS_POPUP | WS_VISIBLE, 0, 100, 100, 650, 360));
    if (!hwnd) {
      std::fprintf(stderr, "the window cannot be made\n");
      return 1;
    }
    Pump([&] { return window.paints >= 1; });
    first.ms.push_back(window.lastPaintEnd - start);
    created.ms.push_back(window.createEnd - start);
    painted.ms.push_back(window.lastPaintEnd - window.createEnd);

    const double before = NowMs();
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    repaint.ms.push_back(NowMs() - before);
    DestroyWindow(hwnd);

    const double decodeStart = NowMs();
    for (const std::wstring& name : skin.pictures)
      if (!DecodeImage(name.c_str(), nullptr, 0)) {
        std::fprintf(stderr, "%ls cannot be decoded\n", name.c_str());
        return 1;
      }
    decode.ms.push_back(NowMs() - decodeStart);
  }
  first.Print("first paint (Create to painted)");
  created.Print("  of which creating (skin built)");
  painted.Print("  of which up to the painted end");
  repaint.Print("full repaint");
  decode.Print("decoding the pictures alone");
  return 0;
}
