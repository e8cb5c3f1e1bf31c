#pragma once
// Pictures of the skins: loading one (from the skin archive or disk, a plain file, a typed
// resource or a colour) into a bitmap of premultiplied pixels, the caches that keep them by name
// (one per window and one for the process), and the draw record each image attribute of a
// control keeps.
//
// The caches own their pictures through shared pointers and draw records only observe them:
// replacing or removing a cached picture frees it once no draw is using it, and a record that
// pointed at it resolves its name again on the next draw instead of drawing freed pixels.

#include <memory>
#include <string>
#include <unordered_map>

#include "skin_ui/ImageDescription.h"
#include "skin_ui/UIDefs.h"
#include "skin_ui/UIString.h"

namespace SkinUI {

class CWindowManagerUI;

struct UIImageInfo {
  UIImageInfo() = default;
  UIImageInfo(const UIImageInfo&) = delete;
  UIImageInfo& operator=(const UIImageInfo&) = delete;
  ~UIImageInfo();

  NativeBitmap bitmap = nullptr;  // 32-bit, top-down; its pixels are `pixels`
  uint32_t* pixels = nullptr;     // 0xAARRGGBB, premultiplied
  int32_t width = 0;
  int32_t height = 0;
  bool hasAlpha = false;
  bool useAdjustment = false;  // loaded for colour adjustment (`hsl`), which is not applied yet
  CUIString resourceType;
  UIColor mask = 0;
};

using UIImagePtr = std::shared_ptr<const UIImageInfo>;

// Loads a picture. `type` "*COLOR*": the name is a colour. Another type: the name is a resource
// of that type in the module holding the toolkit's resources. No type: the name is read through
// the skin archive's rules (without the skin files' 4 MiB limit) and, failing that, as a file
// path. Null when nothing could be read or decoded; the log says why.
UIImagePtr DecodeImage(const wchar_t* name, const wchar_t* type, UIColor mask);

// Pictures by name.
class CImageCache {
 public:
  // The cache the whole process shares.
  static CImageCache& Shared();

  // Loads the picture and keeps it under `name`, in place of any earlier one of that name. On
  // failure the earlier one stays and null is returned.
  UIImagePtr Add(const wchar_t* name, const wchar_t* type, UIColor mask, bool useAdjustment);
  UIImagePtr Find(const wchar_t* name) const;
  bool Remove(const wchar_t* name);
  void RemoveAll();
  size_t GetCount() const { return images_.size(); }

 private:
  std::unordered_map<std::wstring, UIImagePtr> images_;
};

// The draw record of one image attribute of a control: its description and, once drawn, the
// picture it resolved to.
class UIDrawInfo {
 public:
  // A description other than the current one clears the record.
  void SetDescription(const wchar_t* description);
  const CUIString& GetDescription() const { return description_; }
  const UIImageDescription& GetParsed() const { return parsed_; }

  // The picture through the window's cache. A failed resolution is not tried again until the
  // description changes; a picture the cache has since dropped is looked up again.
  UIImagePtr Resolve(CWindowManagerUI& manager);

 private:
  CUIString description_;
  UIImageDescription parsed_;
  std::weak_ptr<const UIImageInfo> image_;
  bool failed_ = false;
};

}  // namespace SkinUI
