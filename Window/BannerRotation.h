#pragma once
// The promotional banners of the progress page: the fetch thread the Install click starts, and
// on the UI thread the wait for it (timer 13), the rotation (timer 11, 4000 ms), the page
// indicators of a skin that has them and their clicks. Only verified pictures are shown; when
// none can be, the banner keeps what it shows (the skin's default picture at first).

#include <windows.h>

#include <memory>
#include <string>

#include "common/BannerFetch.h"
#include "common/BannerPicture.h"
#include "skin_ui/WindowManagerUI.h"

inline constexpr UINT_PTR kTimerBannerRotate = 11;
inline constexpr UINT_PTR kTimerBannerWait = 13;

class BannerRotation {
 public:
  BannerRotation(SkinUI::CWindowManagerUI& manager, HWND window) : manager_(manager), window_(window) {}

  // FetchBanners on a detached thread, unless a fetch of this run still goes on (logged).
  void StartFetch(const std::wstring& feedUrl, const std::wstring& imageFolder);
  // Timer 13: once the fetch is ready, the indicators, the first picture and timer 11.
  void OnWaitTimer();
  // Timer 11: the next picture, or the first when the next cannot be shown.
  void ShowNextBanner();
  // A click on a control with "imageIndex": that picture now, and a full period to the next.
  void OnIndicatorClick(int index);
  void Stop();

 private:
  void StartBannerRotation();
  // Shows picture `index` (1-based) in "banner"; false when it cannot be shown.
  bool ShowBanner(int index);

  SkinUI::CWindowManagerUI& manager_;
  const HWND window_;
  std::shared_ptr<CBannerFetch> fetch_;
  BannerShowCheck showCheck_;
  int current_ = 0;
};
