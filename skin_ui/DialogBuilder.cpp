#include "skin_ui/DialogBuilder.h"

#include <cwchar>
#include <string>

#include "skin_ui/ContainerUI.h"
#include "skin_ui/NativeWindowOps.h"
#include "skin_ui/ValueSyntax.h"
#include "skin_ui/WindowManagerUI.h"

namespace SkinUI {

namespace {

bool NameIs(const wchar_t* name, const wchar_t* expected) { return CUIString(name).CompareNoCase(expected) == 0; }

bool IsResourceElement(const wchar_t* name) {
  return NameIs(name, L"Image") || NameIs(name, L"Font") || NameIs(name, L"Default") ||
         NameIs(name, L"MultiLanguage");
}

const wchar_t* Attribute(const CXmlNode& node, const wchar_t* name) { return node.GetAttributeValue(name); }

bool BoolAttribute(const CXmlNode& node, const wchar_t* name) { return ParseBool(Attribute(node, name), true); }

int32_t NumberAttribute(const CXmlNode& node, const wchar_t* name, int32_t fallback) {
  const wchar_t* value = Attribute(node, name);
  return value ? ParseNumber(value) : fallback;
}

struct ElementClass {
  const wchar_t* name;
  CControlUI* (*create)();
};

template <class T>
CControlUI* New() {
  return new T;
}

constexpr ElementClass kElementClasses[] = {
    {L"Control", New<CControlUI>},
    {L"Container", New<CContainerUI>},
    {L"VerticalLayout", New<CVerticalLayoutUI>},
    {L"VBox", New<CVerticalLayoutUI>},
    {L"HorizontalLayout", New<CHorizontalLayoutUI>},
    {L"HBox", New<CHorizontalLayoutUI>},
    {L"TabLayout", New<CTabLayoutUI>},
};

}  // namespace

CControlUI* CDialogBuilder::Create(SkinRef skin, const wchar_t* resourceType, IDialogBuilderCallback* callback,
                                   CWindowManagerUI* manager, CControlUI* parent) {
  resourceType_ = nullptr;
  if (skin.IsId()) {
    std::string bytes;
    if (!native::LoadResourceBytes(CWindowManagerUI::GetInstance(), skin.id(), resourceType, bytes)) {
      xml_.Release();
      return nullptr;
    }
    if (!xml_.LoadFromMem(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), kXmlEncodingUtf8))
      return nullptr;
    resourceType_ = resourceType;
  } else if (skin.text() && skin.text()[0] == L'<') {
    if (!xml_.Load(skin.text())) return nullptr;
  } else {
    if (!xml_.LoadFromFile(skin.text(), kXmlEncodingUtf8)) return nullptr;
  }
  return Create(callback, manager, parent);
}

CControlUI* CDialogBuilder::Create(IDialogBuilderCallback* callback, CWindowManagerUI* manager, CControlUI* parent) {
  callback_ = callback;
  const CXmlNode root = xml_.GetRoot();
  if (!root.IsValid()) return nullptr;
  if (manager) ProcessResources(root, manager);
  if (manager && manager->GetNativeWindow() && NameIs(root.GetName(), L"Window")) {
    for (int i = 0; i < root.GetAttributeCount(); ++i)
      manager->SetWindowAttribute(root.GetAttributeName(i), root.GetAttributeValue(i));
  }
  return BuildLevel(root, parent, manager);
}

void CDialogBuilder::ProcessResources(const CXmlNode& root, CWindowManagerUI* manager) {
  for (CXmlNode node = root.GetFirstChild(); node.IsValid(); node = node.GetNextSibling()) {
    const wchar_t* name = node.GetName();
    if (NameIs(name, L"Font")) {
      const int32_t id = NumberAttribute(node, L"id", -1);
      const wchar_t* face = Attribute(node, L"name");
      if (id < 0 || !face) continue;
      const bool shared = BoolAttribute(node, L"shared");
      const int32_t size = NumberAttribute(node, L"size", 12);
      const bool bold = BoolAttribute(node, L"bold");
      const bool underline = BoolAttribute(node, L"underline");
      const bool italic = BoolAttribute(node, L"italic");
      manager->AddFont(id, face, size, bold, underline, italic, shared);
      if (BoolAttribute(node, L"default")) manager->SetDefaultFont(face, size, bold, underline, italic, shared);
    } else if (NameIs(name, L"Default")) {
      const wchar_t* element = Attribute(node, L"name");
      const wchar_t* value = Attribute(node, L"value");
      if (element && value) manager->AddDefaultAttributeList(element, value, BoolAttribute(node, L"shared"));
    } else if (NameIs(name, L"Image")) {
      const wchar_t* image = Attribute(node, L"name");
      if (!image) continue;
      const wchar_t* mask = Attribute(node, L"mask");
      manager->AddImage(image, Attribute(node, L"restype"), mask ? ParseColor(mask) : 0, false,
                        BoolAttribute(node, L"shared"));
    } else if (NameIs(name, L"MultiLanguage")) {
      const int32_t id = NumberAttribute(node, L"id", -1);
      const wchar_t* value = Attribute(node, L"value");
      if (id >= 0 && value) CWindowManagerUI::SetMultiLanguageString(id, value);
    }
  }
}

CControlUI* CDialogBuilder::CreateControl(const wchar_t* elementName) {
  for (const ElementClass& entry : kElementClasses)
    if (NameIs(elementName, entry.name)) return entry.create();
  if (CControlUI* control = CWindowManagerUI::CreateControlFromFactories(elementName)) return control;
  return callback_ ? callback_->CreateControl(elementName) : nullptr;
}

void CDialogBuilder::BuildInclude(const CXmlNode& node, CControlUI* parent, CWindowManagerUI* manager,
                                  CControlUI*& first) {
  if (!node.HasAttributes()) return;
  wchar_t source[kMaxIncludeSource + 1] = {};
  if (!node.GetAttributeValue(L"source", source, kMaxIncludeSource + 1)) return;
  const int32_t count = NumberAttribute(node, L"count", 1);
  CDialogBuilder nested;
  for (int32_t i = 0; i < count; ++i) {
    CControlUI* created;
    if (i == 0) {
      if (resourceType_)
        created = nested.Create(SkinRef(static_cast<uint32_t>(ParseNumber(source))), resourceType_, callback_, manager,
                                parent);
      else
        created = nested.Create(SkinRef(source), nullptr, callback_, manager, parent);
      if (!created && !nested.GetMarkup().IsValid()) return;  // the source could not be loaded
    } else {
      created = nested.Create(callback_, manager, parent);
    }
    if (!first)
      first = created;
    else if (!parent && created)
      created->Delete();  // a second top-level control has no owner
  }
}

CControlUI* CDialogBuilder::BuildLevel(const CXmlNode& node, CControlUI* parent, CWindowManagerUI* manager) {
  CControlUI* first = nullptr;
  for (CXmlNode child = node.GetFirstChild(); child.IsValid(); child = child.GetNextSibling()) {
    const wchar_t* elementName = child.GetName();
    if (IsResourceElement(elementName)) continue;
    if (NameIs(elementName, L"Include")) {
      BuildInclude(child, parent, manager, first);
      continue;
    }
    CControlUI* control = CreateControl(elementName);
    if (!control) continue;
    if (child.HasChildren()) BuildLevel(child, control, manager);

    if (!parent && first) {
      // Without a parent only the first top-level control is handed to the caller; a second
      // one would have no owner.
      control->Delete();
      continue;
    }
    if (parent) {
      const wchar_t* cover = child.GetAttributeValue(L"cover");
      if (cover && wcscmp(cover, L"true") == 0) {
        parent->SetCover(control);
      } else {
        auto* container = static_cast<IContainerUI*>(parent->GetInterface(L"IContainer"));
        if (!container) {
          control->Delete();
          return nullptr;
        }
        if (!container->Add(control)) {
          control->Delete();
          continue;
        }
      }
    }
    if (manager) {
      // Attached for the attributes only: they see the window's resources and the final parent.
      // A control added to a tree that already belongs to a window stays with it afterwards.
      CWindowManagerUI* before = control->GetManager();
      control->SetManager(manager, control->GetParent(), false);
      if (const wchar_t* defaults = manager->GetDefaultAttributeList(elementName)) control->SetAttributeList(defaults);
      for (int i = 0; i < child.GetAttributeCount(); ++i)
        control->SetAttribute(child.GetAttributeName(i), child.GetAttributeValue(i));
      control->SetManager(before, control->GetParent(), false);
    }
    if (!first) first = control;
  }
  return first;
}

}  // namespace SkinUI
