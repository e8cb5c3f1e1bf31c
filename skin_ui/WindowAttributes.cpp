#include "skin_ui/WindowAttributes.h"

#include <algorithm>

#include "skin_ui/AttributeTable.h"

namespace SkinUI {

namespace {

using Attrs = UIWindowAttributes;

template <auto Field, auto Parse>
void Store(Attrs& attrs, const wchar_t* value) {
  attrs.*Field = Parse(value);
}

template <auto Field>
void StoreColor(Attrs& attrs, const wchar_t* value) {
  attrs.colors.*Field = ParseColor(value);
}

void SetSize(Attrs& attrs, const wchar_t* value) {
  attrs.initSize = ParseSize(value);
  if (attrs.onInitSize) attrs.onInitSize(attrs.initSize);
}

void SetOpacity(Attrs& attrs, const wchar_t* value) {
  attrs.opacity = std::clamp(ParseNumber(value), 0, 255);
  attrs.layered = true;
}

void SetLayeredImage(Attrs& attrs, const wchar_t* value) {
  attrs.layeredImage = value;
  attrs.layered = true;
}

constexpr UIAttribute<Attrs> kWindowAttributes[] = {
    {L"size", SetSize, true},
    {L"sizebox", Store<&Attrs::sizeBox, attr::Rect>, true},
    {L"caption", Store<&Attrs::caption, attr::Rect>, true},
    {L"roundcorner", Store<&Attrs::roundCorner, attr::Size>, true},
    {L"mininfo", Store<&Attrs::minInfo, attr::Size>, true},
    {L"maxinfo", Store<&Attrs::maxInfo, attr::Size>, true},
    {L"showdirty", Store<&Attrs::showUpdateRect, attr::BoolAnyCase>, true},
    {L"noactivate", Store<&Attrs::noActivate, attr::BoolAnyCase>},
    {L"opacity", SetOpacity, true},
    {L"layeredopacity", Store<&Attrs::layeredOpacity, attr::Number>},
    {L"layeredimage", SetLayeredImage},
    {L"disabledfontcolor", StoreColor<&UIDefaultColors::disabled>, true},
    {L"defaultfontcolor", StoreColor<&UIDefaultColors::text>, true},
    {L"linkfontcolor", StoreColor<&UIDefaultColors::link>, true},
    {L"linkhoverfontcolor", StoreColor<&UIDefaultColors::linkHover>, true},
    {L"selectedcolor", StoreColor<&UIDefaultColors::selectedBk>, true},
};

}  // namespace

void UIWindowAttributes::Set(const wchar_t* name, const wchar_t* value) {
  if (!ApplyAttribute(kWindowAttributes, *this, name, value)) AddCustom(name, value);
}

void UIWindowAttributes::AddCustom(const wchar_t* name, const wchar_t* value) {
  if (!name || !*name || !value || !*value) return;
  custom_.try_emplace(name, value);
}

const wchar_t* UIWindowAttributes::GetCustom(const wchar_t* name) const {
  if (!name) return nullptr;
  auto it = custom_.find(name);
  return it == custom_.end() ? nullptr : it->second.c_str();
}

}  // namespace SkinUI
