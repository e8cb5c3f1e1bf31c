// The portable build's windowing system: stand-in windows in memory (StandInWindow.h).

#include <algorithm>
#include <chrono>

#include "skin_ui/NativeWindowOps.h"
#include "skin_ui/posix/StandInWindow.h"

namespace SkinUI::native {

namespace {

StandInWindow* Window(NativeWindow window) { return static_cast<StandInWindow*>(window); }
StandInSurface* Surface(NativeDC dc) { return static_cast<StandInSurface*>(dc); }

UIRect ClientRect(const StandInWindow* window) { return UIRect{0, 0, window->client.cx, window->client.cy}; }

}  // namespace

void StandInSurface::Resize(UISize newSize) {
  size = UISize{std::max(newSize.cx, 0), std::max(newSize.cy, 0)};
  pixels.assign(static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy), 0);
  clip = UIRect{0, 0, size.cx, size.cy};
  savedClips.clear();
}

UIColor StandInSurface::At(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= size.cx || y >= size.cy) return 0;
  return pixels[static_cast<size_t>(y) * static_cast<size_t>(size.cx) + static_cast<size_t>(x)];
}

StandInWindow::StandInWindow(UISize clientSize, StandInWindow* parentWindow)
    : client(clientSize), parent(parentWindow) {
  surface.Resize(client);
}

StandInWindow::~StandInWindow() {
  StandInSystem& system = System();
  if (system.focus == this) system.focus = nullptr;
  if (system.capture == this) system.capture = nullptr;
  if (system.active == this) system.active = nullptr;
  system.origins.erase(this);
}

StandInSystem& System() {
  static StandInSystem system;
  return system;
}

uint32_t TickCount() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void InvalidateRect(NativeWindow window, const UIRect& rect) {
  if (!window) return;
  UIRect area = rect;
  if (area.Intersect(ClientRect(Window(window)))) Window(window)->update.Join(area);
}

void InvalidateWindow(NativeWindow window) {
  if (window) InvalidateRect(window, ClientRect(Window(window)));
}

bool GetUpdateRect(NativeWindow window, UIRect& rect) {
  rect = window ? Window(window)->update : UIRect{};
  return !rect.IsEmpty();
}

UIRect GetClientRect(NativeWindow window) { return window ? ClientRect(Window(window)) : UIRect{}; }

bool PostNotifyWakeUp(NativeWindow window) {
  if (!window) return false;
  Window(window)->posted.push_back(UIMessage{window, kMsgNotifyWakeUp, 0, 0});
  return true;
}

bool HasFocus(NativeWindow window) { return window && System().focus == window; }
void Focus(NativeWindow window) { System().focus = window; }
bool IsActive(NativeWindow window) { return window && System().active == window; }

void FocusOwnerOrParent(NativeWindow window) {
  if (!window) return;
  StandInWindow* w = Window(window);
  System().focus = w->owner ? w->owner : w->parent;
}

void ResizeClient(NativeWindow window, UISize size) {
  if (!window) return;
  Window(window)->client = size;
  Window(window)->surface.Resize(size);
}

bool IsChildWindow(NativeWindow parent, NativeWindow child) {
  if (!parent || !child) return false;
  for (StandInWindow* w = Window(child)->parent; w; w = w->parent)
    if (w == parent) return true;
  return false;
}

bool IsChildStyle(NativeWindow window) { return window && Window(window)->parent; }
NativeWindow GetParentWindow(NativeWindow window) { return window ? Window(window)->parent : nullptr; }

intptr_t SendWindowMessage(NativeWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (!window) return 0;
  Window(window)->sent.push_back(UIMessage{window, message, wParam, lParam});
  return Window(window)->answer;
}

void SetCapture(NativeWindow window) { System().capture = window; }
void ReleaseCapture() { System().capture = nullptr; }
bool HasCapture(NativeWindow window) { return window && System().capture == window; }

void TrackMouse(NativeWindow window, uint32_t hoverMs) {
  if (!window) return;
  StandInWindow* w = Window(window);
  // As the system does: asked while the cursor is outside, the leave is posted at once.
  if (!ClientRect(w).Contains(GetCursorClientPos(window))) {
    w->posted.push_back(UIMessage{window, kMsgMouseLeave, 0, 0});
    w->tracking = false;
    return;
  }
  w->tracking = true;
  w->hoverMs = hoverMs;
}

UIPoint ScreenToClient(NativeWindow window, UIPoint screen) {
  auto it = System().origins.find(window);
  const UIPoint origin = it == System().origins.end() ? UIPoint{} : it->second;
  return UIPoint{screen.x - origin.x, screen.y - origin.y};
}

UIPoint GetCursorClientPos(NativeWindow window) { return ScreenToClient(window, System().cursor); }

void SetArrowCursor() {}

bool IsKeyDown(int virtualKey) {
  auto it = System().keys.find(virtualKey);
  return it != System().keys.end() && it->second;
}

bool SetTimer(NativeWindow window, uintptr_t nativeId, uint32_t ms) {
  if (!window) return false;
  Window(window)->timers[nativeId] = ms;
  return true;
}

void KillTimer(NativeWindow window, uintptr_t nativeId) {
  if (window) Window(window)->timers.erase(nativeId);
}

NativeWindow CreateTooltip(NativeWindow owner) { return owner ? new StandInWindow(UISize{}, nullptr) : nullptr; }

void ShowTooltip(NativeWindow tooltip, NativeWindow, const wchar_t* text, const UIRect& rect, int32_t maxWidth) {
  if (!tooltip) return;
  Window(tooltip)->tooltip = StandInTooltip{true, text ? text : L"", rect, maxWidth};
}

void HideTooltip(NativeWindow tooltip, NativeWindow) {
  if (tooltip) Window(tooltip)->tooltip.shown = false;
}

void DestroyTooltip(NativeWindow tooltip) { delete Window(tooltip); }

uint32_t TooltipInitialDelay(NativeWindow) { return System().tooltipDelay; }

void PaintWindow(NativeWindow window, const std::function<void(NativeDC, const UIRect&)>& paint) {
  if (!window) return;
  StandInWindow* w = Window(window);
  const UIRect dirty = w->update;
  w->update = UIRect{};
  ++w->paints;
  w->surface.clip = ClientRect(w);
  paint(&w->surface, dirty);
}

bool CreateOffscreen(NativeDC, UISize size, Offscreen& offscreen) {
  auto* surface = new StandInSurface;
  surface->Resize(size);
  offscreen = Offscreen{surface, surface, nullptr, size};
  return true;
}

void DestroyOffscreen(Offscreen& offscreen) {
  delete Surface(offscreen.dc);
  offscreen = Offscreen{};
}

void CopyRect(NativeDC target, NativeDC source, const UIRect& rect) {
  StandInSurface* to = Surface(target);
  StandInSurface* from = Surface(source);
  if (!to || !from) return;
  UIRect area = rect;
  if (!area.Intersect(to->clip) || !area.Intersect(UIRect{0, 0, from->size.cx, from->size.cy})) return;
  for (int32_t y = area.top; y < area.bottom; ++y)
    for (int32_t x = area.left; x < area.right; ++x)
      to->pixels[static_cast<size_t>(y) * static_cast<size_t>(to->size.cx) + static_cast<size_t>(x)] = from->At(x, y);
}

void FillSolid(NativeDC dc, const UIRect& rect, UIColor color) {
  StandInSurface* surface = Surface(dc);
  if (!surface) return;
  UIRect area = rect;
  if (!area.Intersect(surface->clip)) return;
  for (int32_t y = area.top; y < area.bottom; ++y)
    std::fill_n(surface->pixels.begin() + static_cast<ptrdiff_t>(y) * surface->size.cx + area.left, area.Width(),
                color);
}

void OutlineRect(NativeDC dc, const UIRect& rect, UIColor color) {
  FillSolid(dc, UIRect{rect.left, rect.top, rect.right, rect.top + 1}, color);
  FillSolid(dc, UIRect{rect.left, rect.bottom - 1, rect.right, rect.bottom}, color);
  FillSolid(dc, UIRect{rect.left, rect.top, rect.left + 1, rect.bottom}, color);
  FillSolid(dc, UIRect{rect.right - 1, rect.top, rect.right, rect.bottom}, color);
}

int PushClip(NativeDC dc, const UIRect& rect) {
  StandInSurface* surface = Surface(dc);
  if (!surface) return 0;
  surface->savedClips.push_back(surface->clip);
  surface->clip.Intersect(rect);
  return static_cast<int>(surface->savedClips.size());
}

void PopClip(NativeDC dc, int saved) {
  StandInSurface* surface = Surface(dc);
  if (!surface || saved <= 0 || saved > static_cast<int>(surface->savedClips.size())) return;
  surface->clip = surface->savedClips[static_cast<size_t>(saved) - 1];
  surface->savedClips.resize(static_cast<size_t>(saved) - 1);
}

// No fonts natively: fonts keep their descriptions, unmeasured.
NativeFont CreateUIFont(const wchar_t*, int32_t, bool, bool, bool) { return nullptr; }
void DeleteUIFont(NativeFont) {}
bool MeasureFont(NativeWindow, NativeFont, UITextMetrics&) { return false; }
bool LoadResourceBytes(void*, uint32_t, const wchar_t*, std::string&) { return false; }

}  // namespace SkinUI::native
