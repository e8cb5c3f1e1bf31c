#pragma once
// Turns a skin document into a tree of controls: resource elements (Font, Default, Image,
// MultiLanguage) of the root first, the Window element's attributes, then the controls level by
// level with Include elements, each control's children built before it is attached and its
// attributes applied after.

#include <cstdint>

#include "skin_ui/ControlUI.h"
#include "skin_ui/XmlDocument.h"

namespace SkinUI {

class CWindowManagerUI;

class IDialogBuilderCallback {
 public:
  virtual ~IDialogBuilderCallback() = default;
  // A control for an element the builder does not know, or null.
  virtual CControlUI* CreateControl(const wchar_t* elementName) = 0;
};

// A skin: a numeric resource id (below 0x10000), XML text (starting with '<') or a file name.
class SkinRef {
 public:
  SkinRef(const wchar_t* text) : text_(text) {}  // NOLINT: a skin named by text
  SkinRef(uint32_t id) : id_(id) {}              // NOLINT: a skin named by resource id
  bool IsId() const { return !text_ && id_ < 0x10000; }
  const wchar_t* text() const { return text_; }
  uint32_t id() const { return id_; }

 private:
  const wchar_t* text_ = nullptr;
  uint32_t id_ = 0;
};

class CDialogBuilder {
 public:
  static constexpr int kMaxIncludeSource = 499;

  // Loads the skin and builds it; the first control created at the top level, or null.
  CControlUI* Create(SkinRef skin, const wchar_t* resourceType, IDialogBuilderCallback* callback,
                     CWindowManagerUI* manager, CControlUI* parent = nullptr);
  // Builds again from the document already loaded.
  CControlUI* Create(IDialogBuilderCallback* callback, CWindowManagerUI* manager, CControlUI* parent = nullptr);

  const CXmlDocument& GetMarkup() const { return xml_; }
  const std::wstring& GetLastErrorMessage() const { return xml_.GetLastErrorMessage(); }
  const std::wstring& GetLastErrorLocation() const { return xml_.GetLastErrorLocation(); }

 private:
  void ProcessResources(const CXmlNode& root, CWindowManagerUI* manager);
  CControlUI* BuildLevel(const CXmlNode& node, CControlUI* parent, CWindowManagerUI* manager);
  void BuildInclude(const CXmlNode& node, CControlUI* parent, CWindowManagerUI* manager, CControlUI*& first);
  CControlUI* CreateControl(const wchar_t* elementName);

  CXmlDocument xml_;
  IDialogBuilderCallback* callback_ = nullptr;
  const wchar_t* resourceType_ = nullptr;  // set when the document came from a typed resource
};

}  // namespace SkinUI
