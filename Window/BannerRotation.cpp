#include "Window/BannerRotation.h"

#include <thread>

#include "log/Logger.h"
#include "skin_ui/OptionUI.h"

namespace {

constexpr UINT kRotatePeriodMs = 4000;
constexpr int kMaxIndicators = 20;

std::wstring OptionName(int index) { return L"option_" + std::to_wstring(index); }

}  // namespace

void BannerRotation::StartFetch(const std::wstring& feedUrl, const std::wstring& imageFolder) {
  // The fetch of an earlier click keeps its files and count; a new one only when it has ended.
  if (!fetch_) fetch_ = std::make_shared<CBannerFetch>(feedUrl, imageFolder);
  if (!fetch_->BeginFetch()) return;
  std::thread([fetch = fetch_] { fetch->RunFetch(); }).detach();
}

void BannerRotation::OnWaitTimer() {
  if (fetch_ && fetch_->IsReady()) StartBannerRotation();
}

void BannerRotation::StartBannerRotation() {
  KillTimer(window_, kTimerBannerWait);
  const int count = fetch_->GetBannerCount();
  SkinUI::CControlUI* indicators = manager_.FindControl(L"buttonLayout");
  if (count > 1 && indicators) {
    indicators->SetVisible(true);
    for (int i = 0; i < kMaxIndicators; ++i) {
      SkinUI::CControlUI* option = manager_.FindControl(OptionName(i).c_str());
      if (!option || !option->GetInterface(L"Option")) break;
      option->SetVisible(i < count);
      option->AddCustomAttribute(L"imageIndex", std::to_wstring(i + 1).c_str());
    }
  }
  if (!ShowBanner(current_ + 1)) ShowBanner(1);
  SetTimer(window_, kTimerBannerRotate, kRotatePeriodMs, nullptr);
}

void BannerRotation::ShowNextBanner() {
  if (!ShowBanner(current_ + 1)) ShowBanner(1);
}

void BannerRotation::OnIndicatorClick(int index) {
  if (index == current_) return;
  KillTimer(window_, kTimerBannerRotate);
  ShowBanner(index);
  SetTimer(window_, kTimerBannerRotate, kRotatePeriodMs, nullptr);
}

void BannerRotation::Stop() { KillTimer(window_, kTimerBannerRotate); }

bool BannerRotation::ShowBanner(int index) {
  SkinUI::CControlUI* banner = manager_.FindControl(L"banner");
  if (!banner || !fetch_) return false;
  const int count = fetch_->GetBannerCount();
  if (count != -1 && count < index) return false;
  const std::wstring path = fetch_->GetImagePath(index);
  if (!showCheck_.MayShow(path)) return false;
  if (SkinUI::CControlUI* control = manager_.FindControl(OptionName(index - 1).c_str())) {
    auto* option = static_cast<SkinUI::COptionUI*>(control->GetInterface(L"Option"));
    if (option && option->IsVisible()) option->Selected(true, false);
  }
  current_ = index;
  banner->SetAttribute(L"bkimage", (L"file='" + path + L"'").c_str());
  return true;
}
