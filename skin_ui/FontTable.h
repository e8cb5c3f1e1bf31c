#pragma once
// Fonts by id and a default font, as a window or the whole process keeps them. The table owns
// the native font handles.

#include <cstdint>
#include <map>

#include "skin_ui/UIDefs.h"
#include "skin_ui/UIString.h"

namespace SkinUI {

struct UIFontInfo {
  NativeFont handle = nullptr;
  CUIString face;  // at most 31 characters
  int32_t size = 0;
  bool bold = false;
  bool underline = false;
  bool italic = false;
  UITextMetrics metrics;  // measured in the window once it has one
};

inline constexpr int kMaxFontFaceLength = 31;

class UIFontTable {
 public:
  UIFontTable() = default;
  UIFontTable(const UIFontTable&) = delete;
  UIFontTable& operator=(const UIFontTable&) = delete;
  ~UIFontTable() { Clear(); }

  // Adding under an existing id replaces the font in place (the old handle is deleted), so a
  // pointer to the record stays valid.
  const UIFontInfo* Add(int id, const wchar_t* face, int32_t size, bool bold, bool underline, bool italic);
  const UIFontInfo* SetDefault(const wchar_t* face, int32_t size, bool bold, bool underline, bool italic);
  UIFontInfo* Find(int id);
  const UIFontInfo* Find(int id) const { return const_cast<UIFontTable*>(this)->Find(id); }
  UIFontInfo* GetDefault() { return hasDefault_ ? &default_ : nullptr; }
  const UIFontInfo* GetDefault() const { return hasDefault_ ? &default_ : nullptr; }
  // Calls visit(id, font) for every font by id, in ascending id order.
  template <class Visit>
  void ForEach(Visit visit) const {
    for (const auto& [id, font] : fonts_) visit(id, font);
  }
  void Clear();

 private:
  std::map<int, UIFontInfo> fonts_;
  UIFontInfo default_;
  bool hasDefault_ = false;
};

}  // namespace SkinUI
