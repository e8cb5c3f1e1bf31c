#pragma once
// The attributes of a skin's Window element: the window's geometry for hit-testing and sizing,
// its paint and activation flags, the layered-window settings (stored; layered painting is not
// built) and the window's default colours. Unknown names are kept as custom attributes.

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "skin_ui/UIDefs.h"
#include "skin_ui/UIString.h"

namespace SkinUI {

// The process-wide defaults are the initial values.
struct UIDefaultColors {
  UIColor disabled = 0xFFA7A6AA;
  UIColor text = 0xFF000000;
  UIColor link = 0xFF0000FF;
  UIColor linkHover = 0xFFD3215F;
  UIColor selectedBk = 0xFFBAE4FF;
};

class UIWindowAttributes {
 public:
  // Names compare without case except "noactivate", "layeredopacity" and "layeredimage".
  void Set(const wchar_t* name, const wchar_t* value);
  // First value wins; an empty name or value is dropped.
  void AddCustom(const wchar_t* name, const wchar_t* value);
  const wchar_t* GetCustom(const wchar_t* name) const;
  void ClearCustom() { custom_.clear(); }

  // Called when "size" is set, with the new client size.
  std::function<void(UISize)> onInitSize;

  UISize initSize;
  UIRect sizeBox;
  UIRect caption;
  UISize roundCorner;
  UISize minInfo;
  UISize maxInfo;
  bool showUpdateRect = false;
  bool noActivate = false;
  int32_t opacity = 255;
  int32_t layeredOpacity = 255;
  bool layered = false;
  CUIString layeredImage;
  UIDefaultColors colors;

 private:
  std::map<std::wstring, std::wstring, std::less<>> custom_;
};

}  // namespace SkinUI
