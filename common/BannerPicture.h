#pragma once
// Which banner pictures the setup accepts. A banner comes from the network and is drawn by the
// skin toolkit, so a file is kept and shown only when the toolkit can draw all of it: a PNG by
// its signature, small enough in bytes and, by its header, in pixels (checked before anything
// is decoded), and decoding completely.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

inline constexpr size_t kMaxBannerFeedBytes = 1024 * 1024;
inline constexpr uint64_t kMaxBannerFileBytes = 4 * 1024 * 1024;
inline constexpr uint32_t kMaxBannerSide = 4096;

// True for an acceptable picture; otherwise false with the reason in `reason`.
bool IsAcceptableBannerPicture(std::string_view bytes, std::wstring& reason);

// The same for a file, read only up to the byte limit.
bool IsAcceptableBannerFile(const std::wstring& path, std::wstring& reason);

// Tells the banner rotation whether a cached picture may be shown: the file exists and is still
// an acceptable picture (a file damaged after it was cached falls back like a missing one). A
// refused file is logged once, not at every turn of the rotation; a file that passes again is
// logged again when it next fails. Used by one thread.
class BannerShowCheck {
 public:
  bool MayShow(const std::wstring& path);

 private:
  std::set<std::wstring> refused_;
};
