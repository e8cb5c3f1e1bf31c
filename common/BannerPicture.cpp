#include "common/BannerPicture.h"

#include "common/FileOps.h"
#include "log/Logger.h"
#include "skin_ui/ImageDecoder.h"
#include "skin_ui/SkinArchive.h"

namespace {

constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);
constexpr std::string_view kJpegSignature("\xff\xd8\xff", 3);
// The signature, then the first chunk: its length (13), "IHDR", width and height.
constexpr std::string_view kIhdrStart("\0\0\0\x0dIHDR", 8);
constexpr size_t kHeaderBytes = 8 + 8 + 8;

uint32_t BigEndian32(std::string_view bytes, size_t offset) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<uint8_t>(bytes[offset + i]);
  return value;
}

}  // namespace

bool IsAcceptableBannerPicture(std::string_view bytes, std::wstring& reason) {
  if (bytes.size() > kMaxBannerFileBytes) {
    reason = L"file of " + std::to_wstring(bytes.size()) + L" bytes, more than " +
             std::to_wstring(kMaxBannerFileBytes);
    return false;
  }
  if (bytes.substr(0, kPngSignature.size()) != kPngSignature) {
    // The toolkit's decoder reads no JPEG (its reader is unsafe on malformed input), so the
    // banner could never draw one.
    reason = bytes.substr(0, kJpegSignature.size()) == kJpegSignature ? L"a JPEG picture, which the banner cannot draw"
                                                                       : L"not a PNG picture";
    return false;
  }
  if (bytes.size() < kHeaderBytes || bytes.substr(kPngSignature.size(), kIhdrStart.size()) != kIhdrStart) {
    reason = L"PNG without its header";
    return false;
  }
  const uint32_t width = BigEndian32(bytes, 16);
  const uint32_t height = BigEndian32(bytes, 20);
  if (width == 0 || height == 0) {
    reason = L"PNG header with no pixels";
    return false;
  }
  if (width > kMaxBannerSide || height > kMaxBannerSide) {
    reason = L"picture of " + std::to_wstring(width) + L" x " + std::to_wstring(height) + L" pixels, more than " +
             std::to_wstring(kMaxBannerSide) + L" x " + std::to_wstring(kMaxBannerSide);
    return false;
  }
  SkinUI::UIPixelImage image;
  return SkinUI::DecodeImageBytes(bytes.data(), bytes.size(), 0, image, reason);
}

bool IsAcceptableBannerFile(const std::wstring& path, std::wstring& reason) {
  std::string bytes;
  if (!SkinUI::ReadLocalFile(path.c_str(), bytes, reason, kMaxBannerFileBytes)) return false;
  return IsAcceptableBannerPicture(bytes, reason);
}

bool BannerShowCheck::MayShow(const std::wstring& path) {
  // A missing file is where the rotation ends, not a fault.
  if (!fileops::Exists(path)) return false;
  std::wstring reason;
  if (IsAcceptableBannerFile(path, reason)) {
    refused_.erase(path);
    return true;
  }
  if (refused_.insert(path).second) LOG_INFOW(L"banner not shown, filePath[%s]: %s.", path.c_str(), reason.c_str());
  return false;
}
