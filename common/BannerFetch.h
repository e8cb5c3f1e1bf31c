#pragma once
// The banner fetch: the body of the worker thread the Install click starts. It reads the banner
// feed, keeps every cached picture whose MD5 digest the feed confirms and downloads the others,
// then says it is done. Only verified pictures ever carry a cache name: a download goes to
// "pr_N.png.part" and is renamed over "pr_N.png" only when its digest is the feed's and it is a
// picture the banner can draw; anything else is deleted with one log line naming the address
// and the reason. So a failed or bad download leaves the default picture (or earlier verified
// ones) on show, never a blank banner.
//
// Threads: BeginFetch runs on the user-interface thread, RunFetch on the worker; the count and
// the ready flag are read from any thread.

#include <atomic>
#include <string>

#include "common/BannerFeed.h"

class CBannerFetch {
 public:
  // `imageFolder`: the language folder of the extracted configuration, ending in the separator.
  CBannerFetch(std::wstring feedUrl, std::wstring imageFolder);

  // Claims the fetch for one run. False (and a log line) while a run holds it: a second Install
  // click must not start a second fetch racing the first on the same files.
  bool BeginFetch();
  // The run BeginFetch claimed: feed, pictures, then the ready flag; releases the claim.
  void RunFetch();

  // Images the last successful feed listed; -1 while no feed has succeeded.
  int GetBannerCount() const { return count_.load(); }
  // Set when a run has finished, whatever its outcome; stays set.
  bool IsReady() const { return ready_.load(); }
  // The cache file of image `index` (1-based).
  std::wstring GetImagePath(int index) const;

 private:
  void FetchImage(int index, const ImageInfo& image);
  bool KeepsCachedImage(const std::wstring& path, const std::string& digest) const;
  void Refuse(const std::wstring& url, const std::wstring& path, const std::wstring& reason) const;

  const std::wstring feedUrl_;
  const std::wstring imageFolder_;
  std::atomic<int> count_{-1};
  std::atomic<bool> ready_{false};
  std::atomic<bool> running_{false};
};
