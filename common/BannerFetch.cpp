#include "common/BannerFetch.h"

#include <utility>
#include <vector>

#include "common/AsciiText.h"
#include "common/BannerFetchPlatform.h"
#include "common/BannerPicture.h"
#include "common/Encoding.h"
#include "log/Logger.h"

CBannerFetch::CBannerFetch(std::wstring feedUrl, std::wstring imageFolder)
    : feedUrl_(std::move(feedUrl)), imageFolder_(std::move(imageFolder)) {}

std::wstring CBannerFetch::GetImagePath(int index) const {
  return imageFolder_ + L"pr_" + std::to_wstring(index) + L".png";
}

bool CBannerFetch::BeginFetch() {
  if (running_.exchange(true)) {
    LOG_INFOW(L"banner fetch still running, no second one started.");
    return false;
  }
  return true;
}

void CBannerFetch::RunFetch() {
  LOG_INFOW(L"get image start.");
  const std::string text = bannerplatform::GetText(feedUrl_, kMaxBannerFeedBytes);
  int code = -1;
  std::string message;
  std::vector<ImageInfo> images;
  if (!ParseBannerFeed(text, code, message, images)) {
    LOG_INFOW(L"banner feed %s is not JSON (%u bytes), no image fetched.", feedUrl_.c_str(),
              static_cast<unsigned>(text.size()));
  } else if (code != 1) {
    LOG_INFOW(L"banner feed %s answered code %d, no image fetched.", feedUrl_.c_str(), code);
  } else {
    count_.store(static_cast<int>(images.size()));
    for (size_t i = 0; i < images.size(); ++i) FetchImage(static_cast<int>(i + 1), images[i]);
  }
  ready_.exchange(true);
  LOG_INFOW(L"get image finished.");
  running_.store(false);
}

bool CBannerFetch::KeepsCachedImage(const std::wstring& path, const std::string& digest) const {
  if (!bannerplatform::CanOpenForReading(path)) return false;
  // An unreadable file gives an empty digest, which no feed digest matches (empty ones are
  // refused before this).
  const std::string cached = bannerplatform::FileMd5(path);
  return !cached.empty() && asciitext::EqualsIgnoringCase(cached, digest);
}

void CBannerFetch::Refuse(const std::wstring& url, const std::wstring& path, const std::wstring& reason) const {
  LOG_INFOW(L"image refused, url[%s], filePath[%s]: %s.", url.c_str(), path.c_str(), reason.c_str());
}

void CBannerFetch::FetchImage(int index, const ImageInfo& image) {
  const std::wstring path = GetImagePath(index);
  if (!image.md5.empty() && KeepsCachedImage(path, image.md5)) return;

  const std::wstring url = encoding::AnsiToWide(image.url);
  // A cached file the feed no longer confirms goes first, so no stale picture outlives a failed
  // download.
  if (!bannerplatform::RemoveFile(path)) {
    Refuse(url, path, L"the cached file could not be deleted");
    return;
  }
  if (image.md5.empty()) {
    Refuse(url, path, L"the feed gives no MD5 to verify it by");
    return;
  }

  const std::wstring part = path + L".part";
  if (!bannerplatform::DownloadFile(url, part, kMaxBannerFileBytes)) {
    bannerplatform::RemoveFile(part);
    LOG_INFOW(L"download image failed, url[%s], filePath[%s].", url.c_str(), path.c_str());
    return;
  }
  std::wstring reason;
  const std::string digest = bannerplatform::FileMd5(part);
  if (digest.empty() || !asciitext::EqualsIgnoringCase(digest, image.md5)) {
    reason = L"MD5 " + encoding::AnsiToWide(digest) + L", the feed gives " + encoding::AnsiToWide(image.md5);
  } else if (IsAcceptableBannerFile(part, reason)) {
    if (bannerplatform::RenameOver(part, path)) return;
    reason = L"the verified download could not be renamed";
  }
  bannerplatform::RemoveFile(part);
  Refuse(url, path, reason);
}
