#pragma once
// Attribute setters as tables: each class lists its attribute names with the function that
// parses the value and hands it to the right setter, instead of a chain of comparisons.
//
//   constexpr UIAttribute<CFooUI> kFooAttributes[] = {
//       {L"width", attr::Set<&CFooUI::SetFixedWidth, attr::Number>},
//       {L"special", [](CFooUI& foo, const wchar_t* value) { ... }},
//   };
//   if (!ApplyAttribute(kFooAttributes, *this, name, value)) Base::SetAttribute(name, value);

#include <cstddef>
#include <cwchar>

#include "skin_ui/UIDefs.h"
#include "skin_ui/UIString.h"
#include "skin_ui/ValueSyntax.h"

namespace SkinUI {

template <class Target>
struct UIAttribute {
  const wchar_t* name;
  void (*apply)(Target& target, const wchar_t* value);
  bool anyCase = false;  // the name also matches in other letter cases
};

// Applies the entry named `name`; false when the table has none (the value is then the
// caller's to handle).
template <class Target, size_t N>
bool ApplyAttribute(const UIAttribute<Target> (&table)[N], Target& target, const wchar_t* name,
                    const wchar_t* value) {
  if (!name || !value) return false;
  for (const UIAttribute<Target>& entry : table) {
    const bool match = entry.anyCase ? CUIString(name).CompareNoCase(entry.name) == 0 : wcscmp(name, entry.name) == 0;
    if (!match) continue;
    entry.apply(target, value);
    return true;
  }
  return false;
}

// The value parsers of the shared syntax, as functions of the value alone, and the glue that
// joins one of them to a setter.
namespace attr {

inline int32_t Number(const wchar_t* value) { return ParseNumber(value); }
inline bool Bool(const wchar_t* value) { return ParseBool(value); }
inline bool BoolAnyCase(const wchar_t* value) { return ParseBool(value, true); }
inline UIColor Color(const wchar_t* value) { return ParseColor(value); }
inline UIRect Rect(const wchar_t* value) { return ParseRect(value); }
inline UISize Size(const wchar_t* value) { return ParseSize(value); }
inline const wchar_t* Text(const wchar_t* value) { return value; }

template <class Member>
struct MemberOf;
template <class C, class R, class... Args>
struct MemberOf<R (C::*)(Args...)> {
  using Class = C;
};

// setter(parse(value)) on the table's target.
template <auto Setter, auto Parse>
void Set(typename MemberOf<decltype(Setter)>::Class& target, const wchar_t* value) {
  (target.*Setter)(Parse(value));
}

}  // namespace attr

}  // namespace SkinUI
