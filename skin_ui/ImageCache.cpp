#include "skin_ui/ImageCache.h"

#include <algorithm>
#include <cwchar>

#include "log/Logger.h"
#include "skin_ui/ImageDecoder.h"
#include "skin_ui/NativeDrawOps.h"
#include "skin_ui/SkinArchive.h"
#include "skin_ui/WindowManagerUI.h"

namespace SkinUI {

namespace {

bool ReadImageBytes(const wchar_t* name, const wchar_t* type, std::string& bytes, std::wstring& error) {
  if (type && *type) {
    if (native::LoadTypedResource(CWindowManagerUI::GetInstance(), name, type, bytes)) return true;
    error = std::wstring(L"no resource of type ") + type;
    return false;
  }
  std::wstring skinError;
  if (ReadSkinFile(name, bytes, skinError, kMaxImageFileSize)) return true;
  std::wstring fileError;
  if (ReadLocalFile(name, bytes, fileError, kMaxImageFileSize)) return true;
  error = skinError + L"; as a file path: " + fileError;
  return false;
}

std::shared_ptr<UIImageInfo> LoadImage(const wchar_t* name, const wchar_t* type, UIColor mask) {
  if (!name || !*name) return nullptr;
  UIPixelImage decoded;
  if (type && wcscmp(type, kColorImageType) == 0) {
    decoded = MakeColorImage(name, mask);
  } else {
    std::string bytes;
    std::wstring error;
    if (!ReadImageBytes(name, type, bytes, error) ||
        !DecodeImageBytes(bytes.data(), bytes.size(), mask, decoded, error)) {
      LOG_PRINTW(kLog_Warn, L"picture \"%s\" not loaded: %s", name, error.c_str());
      return nullptr;
    }
  }
  auto image = std::make_shared<UIImageInfo>();
  image->bitmap = native::CreatePixelBitmap(decoded.width, decoded.height, &image->pixels);
  if (!image->bitmap) {
    LOG_PRINTW(kLog_Warn, L"picture \"%s\" not loaded: no bitmap of %d x %d", name, decoded.width, decoded.height);
    return nullptr;
  }
  std::copy(decoded.pixels.begin(), decoded.pixels.end(), image->pixels);
  image->width = decoded.width;
  image->height = decoded.height;
  image->hasAlpha = decoded.hasAlpha;
  image->resourceType = type;
  image->mask = mask;
  return image;
}

}  // namespace

UIImageInfo::~UIImageInfo() { native::DeletePixelBitmap(bitmap); }

UIImagePtr DecodeImage(const wchar_t* name, const wchar_t* type, UIColor mask) { return LoadImage(name, type, mask); }

CImageCache& CImageCache::Shared() {
  static CImageCache cache;
  return cache;
}

UIImagePtr CImageCache::Add(const wchar_t* name, const wchar_t* type, UIColor mask, bool useAdjustment) {
  std::shared_ptr<UIImageInfo> image = LoadImage(name, type, mask);
  if (!image) return nullptr;
  image->useAdjustment = useAdjustment;
  images_[name] = image;
  return image;
}

UIImagePtr CImageCache::Find(const wchar_t* name) const {
  if (!name) return nullptr;
  auto it = images_.find(name);
  return it == images_.end() ? nullptr : it->second;
}

bool CImageCache::Remove(const wchar_t* name) { return name && images_.erase(name) > 0; }

void CImageCache::RemoveAll() { images_.clear(); }

void UIDrawInfo::SetDescription(const wchar_t* description) {
  if (description_ == (description ? description : L"")) return;
  description_ = description;
  ParseImageDescription(description_, parsed_);
  image_.reset();
  failed_ = false;
}

UIImagePtr UIDrawInfo::Resolve(CWindowManagerUI& manager) {
  if (UIImagePtr image = image_.lock()) return image;
  if (failed_ || description_.IsEmpty()) return nullptr;
  UIImagePtr image = manager.LookupImage(parsed_.name, parsed_.type, parsed_.mask, parsed_.hsl);
  if (!image) {
    failed_ = true;
    return nullptr;
  }
  image_ = image;
  return image;
}

}  // namespace SkinUI
