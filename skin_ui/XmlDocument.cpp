#include "skin_ui/XmlDocument.h"

#include <cstring>
#include <cwchar>

#include "common/Encoding.h"
#include "skin_ui/SkinArchive.h"

namespace SkinUI {

namespace {

bool IsWhitespace(wchar_t ch) { return static_cast<uint32_t>(ch) <= 32 && ch != L'\0'; }

void SkipWhitespace(wchar_t*& p) {
  while (IsWhitespace(*p)) ++p;
}

// Letters (every non-ASCII character counts as one), digits, '_' and ':'.
bool IsNameChar(wchar_t ch) {
  return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z') || (ch >= L'0' && ch <= L'9') || ch == L'_' ||
         ch == L':' || static_cast<uint32_t>(ch) >= 0x80;
}

struct Entity {
  const wchar_t* name;  // with the closing ';'
  size_t length;
  wchar_t value;
};
constexpr Entity kEntities[] = {
    {L"amp;", 4, L'&'}, {L"lt;", 3, L'<'}, {L"gt;", 3, L'>'}, {L"quot;", 5, L'"'}, {L"apos;", 5, L'\''},
};

// Walks at most to `limit`, never over a NUL.
const wchar_t* StepOverText(const wchar_t* p, const wchar_t* limit) {
  while (p < limit && *p) ++p;
  return p;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// CXmlNode

const wchar_t* CXmlNode::GetName() const {
  return IsValid() ? document_->buffer_.data() + document_->elements_[element_].start : nullptr;
}

const wchar_t* CXmlNode::GetValue() const {
  return IsValid() ? document_->buffer_.data() + document_->elements_[element_].data : nullptr;
}

CXmlNode CXmlNode::GetParent() const {
  return IsValid() ? CXmlNode(document_, document_->elements_[element_].parent) : CXmlNode();
}

CXmlNode CXmlNode::GetFirstChild() const {
  return IsValid() ? CXmlNode(document_, document_->elements_[element_].child) : CXmlNode();
}

CXmlNode CXmlNode::GetNextSibling() const {
  return IsValid() ? CXmlNode(document_, document_->elements_[element_].next) : CXmlNode();
}

bool CXmlNode::HasChildren() const { return IsValid() && document_->elements_[element_].child != 0; }

bool CXmlNode::HasAttributes() const { return GetAttributeCount() > 0; }

int CXmlNode::GetAttributeCount() const {
  MapAttributes();
  return attributeCount_;
}

const wchar_t* CXmlNode::GetAttributeName(int index) const {
  if (!IsValid()) return nullptr;
  MapAttributes();
  if (index < 0 || index >= attributeCount_) return L"";
  return document_->buffer_.data() + attributes_[index][0];
}

const wchar_t* CXmlNode::GetAttributeValue(int index) const {
  if (!IsValid()) return nullptr;
  MapAttributes();
  if (index < 0 || index >= attributeCount_) return L"";
  return document_->buffer_.data() + attributes_[index][1];
}

const wchar_t* CXmlNode::GetAttributeValue(const wchar_t* name) const {
  if (!IsValid() || !name) return nullptr;
  MapAttributes();
  const wchar_t* text = document_->buffer_.data();
  for (int i = 0; i < attributeCount_; ++i)
    if (wcscmp(text + attributes_[i][0], name) == 0) return text + attributes_[i][1];
  return nullptr;
}

bool CXmlNode::GetAttributeValue(const wchar_t* name, wchar_t* buffer, int capacity) const {
  const wchar_t* value = GetAttributeValue(name);
  if (!value) return false;
  if (buffer && capacity > 0) {
    const size_t length = std::min(wcslen(value), static_cast<size_t>(capacity - 1));
    wmemcpy(buffer, value, length);
    buffer[length] = L'\0';
  }
  return true;
}

void CXmlNode::MapAttributes() const {
  if (mapped_ || !IsValid()) return;
  mapped_ = true;
  attributeCount_ = 0;
  const wchar_t* text = document_->buffer_.data();
  const CXmlDocument::Element& element = document_->elements_[element_];
  const wchar_t* limit = text + element.data;
  const wchar_t* p = StepOverText(text + element.start, limit);
  if (p < limit) ++p;  // the NUL that ends the name
  while (p < limit && attributeCount_ < kMaxAttributes) {
    while (p < limit && static_cast<uint32_t>(*p) <= 32) ++p;  // whitespace and NULs left by the parser
    if (p >= limit || !IsNameChar(*p)) break;
    const wchar_t* name = p;
    p = StepOverText(p, limit);
    while (p < limit && static_cast<uint32_t>(*p) <= 32) ++p;
    if (p >= limit || *p != L'"') break;
    ++p;
    attributes_[attributeCount_][0] = static_cast<uint32_t>(name - text);
    attributes_[attributeCount_][1] = static_cast<uint32_t>(p - text);
    ++attributeCount_;
    p = StepOverText(p, limit);
    if (p < limit) ++p;
  }
}

// ---------------------------------------------------------------------------------------------
// CXmlDocument

void CXmlDocument::Release() {
  std::vector<wchar_t>().swap(buffer_);
  std::vector<Element>().swap(elements_);
}

bool CXmlDocument::Load(const wchar_t* text) {
  Release();
  errorMessage_.clear();
  errorLocation_.clear();
  if (!text) return Fail(L"Error opening file", L"");
  const size_t length = wcslen(text);
  if (length >= 0x7FFFFFFF) return Fail(L"File too large", L"");
  buffer_.assign(text, text + length + 1);
  return Parse();
}

bool CXmlDocument::LoadFromMem(const uint8_t* bytes, size_t size, int encoding) {
  Release();
  errorMessage_.clear();
  errorLocation_.clear();
  std::wstring text;
  std::string_view data(reinterpret_cast<const char*>(bytes), bytes ? size : 0);
  switch (encoding) {
    case kXmlEncodingUtf8:
      if (data.size() >= 3 && data.substr(0, 3) == "\xEF\xBB\xBF") data.remove_prefix(3);
      text = encoding::Utf8ToWide(data);
      break;
    case kXmlEncodingUtf16: {
      if (data.size() < 2) return Fail(L"File has no byte-order mark", L"");
      const bool little = data.substr(0, 2) == "\xFF\xFE";
      const bool big = data.substr(0, 2) == "\xFE\xFF";
      if (!little && !big) return Fail(L"File has no byte-order mark", L"");
      std::string units(data.substr(2));
      if (big)
        for (size_t i = 0; i + 1 < units.size(); i += 2) std::swap(units[i], units[i + 1]);
      text = encoding::Utf16LeToWide(units);
      break;
    }
    case kXmlEncodingAnsi:
      text = encoding::AnsiToWide(data);
      break;
    default:
      return Fail(L"Unknown encoding", L"");
  }
  return Load(text.c_str());
}

bool CXmlDocument::LoadFromFile(const wchar_t* fileName, int encoding) {
  Release();
  std::string bytes;
  std::wstring error;
  if (!ReadSkinFile(fileName, bytes, error)) {
    errorLocation_.clear();
    return Fail(error.c_str(), L"");
  }
  return LoadFromMem(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), encoding);
}

bool CXmlDocument::Fail(const wchar_t* message, const wchar_t* location) {
  errorMessage_.assign(message, std::min(wcslen(message), static_cast<size_t>(kMaxErrorMessage)));
  errorLocation_.clear();
  for (const wchar_t* p = location; p && *p && errorLocation_.size() < kMaxErrorLocation; ++p) errorLocation_ += *p;
  Release();
  return false;
}

uint32_t CXmlDocument::NewElement() {
  if (elements_.size() == elements_.capacity()) elements_.reserve(elements_.capacity() * 3 / 2 + 500);
  elements_.push_back(Element{0, 0, 0, 0, 0});
  return static_cast<uint32_t>(elements_.size() - 1);
}

bool CXmlDocument::Parse() {
  elements_.clear();
  NewElement();  // entry 0 is the reserved dummy
  wchar_t* p = buffer_.data();
  if (!ParseLevel(p, 0, false, 0)) return false;
  return true;
}

void CXmlDocument::ParseData(wchar_t*& p, wchar_t stop) {
  wchar_t* write = p;
  while (*p && *p != stop) {
    if (*p == L'&') {
      bool replaced = false;
      for (const Entity& entity : kEntities) {
        if (wcsncmp(p + 1, entity.name, entity.length) == 0) {
          *write++ = entity.value;
          p += 1 + entity.length;
          replaced = true;
          break;
        }
      }
      if (replaced) continue;
    }
    *write++ = *p++;
  }
  // The text now ends at `write`; the characters freed by replacements become blanks so the
  // attribute walk can still step over them. The caller writes the terminator.
  if (write < p) {
    *write = L'\0';
    for (wchar_t* blank = write + 1; blank < p; ++blank) *blank = L' ';
  }
}

bool CXmlDocument::ParseAttributes(wchar_t*& p) {
  for (;;) {
    SkipWhitespace(p);
    if (*p == L'\0' || *p == L'>' || *p == L'/') return true;
    wchar_t* nameEnd = p;
    while (IsNameChar(*nameEnd)) ++nameEnd;
    if (nameEnd == p) return Fail(L"Error while parsing attributes", p);
    p = nameEnd;
    SkipWhitespace(p);
    if (*p != L'=') return Fail(L"Error while parsing attributes", p);
    *nameEnd = L'\0';
    *p++ = L'\0';  // the '=' is not needed again; a NUL reads as whitespace in the attribute walk
    SkipWhitespace(p);
    if (*p != L'"') return Fail(L"Expected attribute value", p);
    ++p;
    wchar_t* value = p;
    ParseData(p, L'"');
    if (*p == L'\0') return Fail(L"Error while parsing attribute string", value);
    *p++ = L'\0';  // the closing quote
  }
}

bool CXmlDocument::ParseLevel(wchar_t*& p, uint32_t parent, bool tagPending, int depth) {
  if (depth > kMaxDepth) return Fail(L"Elements nested too deeply", p + 1);
  uint32_t previous = 0;
  for (;; tagPending = false) {
    if (!tagPending) {
      SkipWhitespace(p);
      if (*p == L'\0') {
        if (parent <= 1) return true;
        return Fail(L"Expected start tag", p);
      }
      if (*p != L'<') return Fail(L"Expected start tag", p);
    }
    if (p[1] == L'/') return true;  // the end tag of `parent`
    wchar_t* q = p + 1;
    SkipWhitespace(q);
    if (*q == L'!' || *q == L'?') {
      const wchar_t* close = wcsstr(q, *q == L'!' ? L"->" : L"?>");
      p = close ? const_cast<wchar_t*>(close) + 2 : q + wcslen(q);
      continue;
    }

    const uint32_t index = NewElement();
    elements_[index].start = Offset(q);
    elements_[index].parent = parent;
    if (previous)
      elements_[previous].next = index;
    else
      elements_[parent].child = index;
    previous = index;

    wchar_t* nameEnd = q;
    while (IsNameChar(*nameEnd)) ++nameEnd;
    if (*nameEnd == L'\0') return Fail(L"Error parsing element name", q);
    const size_t nameLength = static_cast<size_t>(nameEnd - q);
    p = nameEnd;
    if (!ParseAttributes(p)) return false;
    SkipWhitespace(p);
    if (p[0] == L'/' && p[1] == L'>') {
      elements_[index].data = Offset(p);
      *nameEnd = L'\0';
      *p = L'\0';
      p += 2;
      continue;
    }
    if (*p != L'>') return Fail(L"Expected start-tag closing", p);
    *nameEnd = L'\0';
    ++p;
    elements_[index].data = Offset(p);
    ParseData(p, L'<');
    if (*p == L'\0') {
      if (parent <= 1) return true;
      return Fail(L"Expected end-tag start", p);
    }
    // The text ends here: its terminator replaces the '<', which the code below and the next
    // level take as read.
    *p = L'\0';
    if (p[1] != L'/') {
      if (!ParseLevel(p, index, true, depth + 1)) return false;
      if (*p == L'\0') return true;  // the root was left open at the very end
    }
    // p is at "</": the element's own end tag.
    p += 2;
    SkipWhitespace(p);
    if (wcsncmp(p, q, nameLength) != 0) return Fail(L"Unmatched closing tag", p);
    p += nameLength;
    SkipWhitespace(p);
    if (*p != L'>') return Fail(L"Unmatched closing tag", p);
    ++p;
  }
}

}  // namespace SkinUI
