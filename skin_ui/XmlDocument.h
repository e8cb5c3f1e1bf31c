#pragma once
// The skin files' XML parser. The whole document is one wide buffer that the parser edits in
// place: names, attribute values and element text are ended by NULs written into it, entities
// are replaced where they stand. Comments and declarations are skipped; whitespace is kept.

#include <cstdint>
#include <string>
#include <vector>

#include "skin_ui/SkinArchive.h"

namespace SkinUI {

class CXmlDocument;

enum XmlEncoding : int {
  kXmlEncodingUtf8 = 0,
  kXmlEncodingUtf16 = 1,  // with a byte-order mark
  kXmlEncodingAnsi = 2,
};

class CXmlNode {
 public:
  static constexpr int kMaxAttributes = 64;

  CXmlNode() = default;
  CXmlNode(const CXmlDocument* document, uint32_t element) : document_(document), element_(element) {}

  bool IsValid() const { return document_ != nullptr && element_ != 0; }
  // Null for an invalid node.
  const wchar_t* GetName() const;
  const wchar_t* GetValue() const;
  CXmlNode GetParent() const;
  CXmlNode GetFirstChild() const;
  CXmlNode GetNextSibling() const;
  bool HasChildren() const;
  bool HasAttributes() const;
  int GetAttributeCount() const;
  // Out of range: an empty string; invalid node: null.
  const wchar_t* GetAttributeName(int index) const;
  const wchar_t* GetAttributeValue(int index) const;
  // Null when absent (exact, case-sensitive name).
  const wchar_t* GetAttributeValue(const wchar_t* name) const;
  // Copies at most `capacity` - 1 characters and a terminator; false when the attribute is absent.
  bool GetAttributeValue(const wchar_t* name, wchar_t* buffer, int capacity) const;

 private:
  void MapAttributes() const;

  const CXmlDocument* document_ = nullptr;
  uint32_t element_ = 0;
  mutable bool mapped_ = false;
  mutable int attributeCount_ = 0;
  mutable uint32_t attributes_[kMaxAttributes][2] = {};  // name offset, value offset
};

class CXmlDocument {
 public:
  static constexpr uint32_t kMaxSkinFileSize = static_cast<uint32_t>(kMaxSkinFileBytes);
  static constexpr int kMaxErrorMessage = 99;
  static constexpr int kMaxErrorLocation = 49;
  // Nesting beyond this depth is refused: the parser is recursive.
  static constexpr int kMaxDepth = 256;

  CXmlDocument() = default;
  explicit CXmlDocument(const wchar_t* text) { Load(text); }
  CXmlDocument(const CXmlDocument&) = delete;
  CXmlDocument& operator=(const CXmlDocument&) = delete;

  bool Load(const wchar_t* text);
  bool LoadFromMem(const uint8_t* bytes, size_t size, int encoding = kXmlEncodingUtf8);
  // Reads the skin file from disk or from the skin archive (see SkinArchive.h).
  bool LoadFromFile(const wchar_t* fileName, int encoding = kXmlEncodingUtf8);
  void Release();
  bool IsValid() const { return elements_.size() > 1; }

  CXmlNode GetRoot() const { return IsValid() ? CXmlNode(this, 1) : CXmlNode(); }
  const std::wstring& GetLastErrorMessage() const { return errorMessage_; }
  const std::wstring& GetLastErrorLocation() const { return errorLocation_; }
  bool IsPreserveWhitespace() const { return preserveWhitespace_; }
  size_t GetElementCapacity() const { return elements_.capacity(); }

 private:
  friend class CXmlNode;
  struct Element {
    uint32_t start;
    uint32_t child;
    uint32_t next;
    uint32_t parent;
    uint32_t data;
  };

  bool Parse();
  bool ParseLevel(wchar_t*& p, uint32_t parent, bool tagPending, int depth);
  bool ParseAttributes(wchar_t*& p);
  // Replaces entities from `p` up to `stop` in place; p ends on the stop character (or the end).
  void ParseData(wchar_t*& p, wchar_t stop);
  uint32_t NewElement();
  bool Fail(const wchar_t* message, const wchar_t* location);
  uint32_t Offset(const wchar_t* p) const { return static_cast<uint32_t>(p - buffer_.data()); }

  std::vector<wchar_t> buffer_;
  std::vector<Element> elements_;
  std::wstring errorMessage_;
  std::wstring errorLocation_;
  const bool preserveWhitespace_ = true;
};

}  // namespace SkinUI
