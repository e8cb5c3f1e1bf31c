#include "skin_ui/FontTable.h"

#include "skin_ui/NativeWindowOps.h"

namespace SkinUI {

namespace {

void FillFont(UIFontInfo& font, const wchar_t* face, int32_t size, bool bold, bool underline, bool italic) {
  native::DeleteUIFont(font.handle);
  font.face.Assign(face ? face : L"", kMaxFontFaceLength);
  font.size = size;
  font.bold = bold;
  font.underline = underline;
  font.italic = italic;
  font.handle = native::CreateUIFont(font.face, size, bold, underline, italic);
  font.metrics = UITextMetrics{};
}

}  // namespace

const UIFontInfo* UIFontTable::Add(int id, const wchar_t* face, int32_t size, bool bold, bool underline, bool italic) {
  if (id < 0) return nullptr;
  UIFontInfo& font = fonts_[id];
  FillFont(font, face, size, bold, underline, italic);
  return &font;
}

const UIFontInfo* UIFontTable::SetDefault(const wchar_t* face, int32_t size, bool bold, bool underline, bool italic) {
  FillFont(default_, face, size, bold, underline, italic);
  hasDefault_ = true;
  return &default_;
}

UIFontInfo* UIFontTable::Find(int id) {
  auto it = fonts_.find(id);
  return it == fonts_.end() ? nullptr : &it->second;
}

void UIFontTable::Clear() {
  for (auto& [id, font] : fonts_) native::DeleteUIFont(font.handle);
  fonts_.clear();
  native::DeleteUIFont(default_.handle);
  default_ = UIFontInfo{};
  hasDefault_ = false;
}

}  // namespace SkinUI
