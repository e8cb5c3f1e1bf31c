#include "skin_ui/UIString.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <functional>
#include <new>

namespace SkinUI {

namespace {

int TextLength(const wchar_t* text, int length) {
  if (!text) return 0;
  if (length >= 0) {
    // Never read past a terminator that comes before the requested length.
    int n = 0;
    while (n < length && text[n]) ++n;
    return n;
  }
  const size_t n = wcslen(text);
  return n > INT_MAX / 2 ? INT_MAX / 2 : static_cast<int>(n);
}

// Whether `text` points into [begin, end]; std::less gives a total order over any pointers.
bool PointsInto(const wchar_t* text, const wchar_t* begin, const wchar_t* end) {
  return !std::less<const wchar_t*>()(text, begin) && !std::less<const wchar_t*>()(end, text);
}

wchar_t FoldAscii(wchar_t ch) { return (ch >= L'A' && ch <= L'Z') ? static_cast<wchar_t>(ch + 32) : ch; }

}  // namespace

CUIString::CUIString() : data_(inline_) { inline_[0] = L'\0'; }

CUIString::CUIString(const wchar_t* text, int length) : CUIString() { Assign(text, length); }

CUIString::CUIString(wchar_t ch) : CUIString() { Assign(&ch, 1); }

CUIString::CUIString(const CUIString& other) : CUIString() { Assign(other.data_, other.length_); }

CUIString& CUIString::operator=(const CUIString& other) {
  if (this != &other) Assign(other.data_, other.length_);
  return *this;
}

CUIString& CUIString::operator=(const wchar_t* text) {
  Assign(text);
  return *this;
}

CUIString::~CUIString() {
  if (data_ != inline_) free(data_);
}

void CUIString::Reserve(int length) {
  if (length <= capacity_) return;
  const bool wasInline = data_ == inline_;
  wchar_t* grown = static_cast<wchar_t*>(malloc((static_cast<size_t>(length) + 1) * sizeof(wchar_t)));
  if (!grown) throw std::bad_alloc();
  wmemcpy(grown, data_, static_cast<size_t>(length_) + 1);
  if (!wasInline) free(data_);
  data_ = grown;
  capacity_ = length;
}

void CUIString::Assign(const wchar_t* text, int length) {
  const int n = TextLength(text, length);
  if (PointsInto(text, data_, data_ + length_)) {  // a part of this string: copy it first
    CUIString copy(text, n);
    Assign(copy.data_, copy.length_);
    return;
  }
  if (n > capacity_) {
    if (data_ != inline_) free(data_);
    data_ = inline_;
    capacity_ = kInlineLength;
    length_ = 0;
    inline_[0] = L'\0';
    Reserve(n);
  }
  if (n) wmemcpy(data_, text, static_cast<size_t>(n));
  data_[n] = L'\0';
  length_ = n;
}

void CUIString::Append(const wchar_t* text, int length) {
  const int n = TextLength(text, length);
  if (n == 0) return;
  if (PointsInto(text, data_, data_ + length_)) {
    CUIString copy(text, n);
    Append(copy.data_, copy.length_);
    return;
  }
  Reserve(length_ + n);
  wmemcpy(data_ + length_, text, static_cast<size_t>(n));
  length_ += n;
  data_[length_] = L'\0';
}

void CUIString::Empty() {
  if (data_ != inline_) free(data_);
  data_ = inline_;
  capacity_ = kInlineLength;
  length_ = 0;
  inline_[0] = L'\0';
}

CUIString& CUIString::operator+=(const wchar_t* text) {
  Append(text);
  return *this;
}

CUIString& CUIString::operator+=(const CUIString& text) {
  Append(text.data_, text.length_);
  return *this;
}

CUIString& CUIString::operator+=(wchar_t ch) {
  Append(&ch, 1);
  return *this;
}

CUIString CUIString::operator+(const wchar_t* text) const {
  CUIString result(*this);
  result.Append(text);
  return result;
}

int CUIString::Compare(const wchar_t* text) const { return wcscmp(data_, text ? text : L""); }

int CUIString::CompareNoCase(const wchar_t* text) const {
  const wchar_t* a = data_;
  const wchar_t* b = text ? text : L"";
  for (;; ++a, ++b) {
    const wchar_t ca = FoldAscii(*a);
    const wchar_t cb = FoldAscii(*b);
    if (ca != cb) return ca < cb ? -1 : 1;
    if (!ca) return 0;
  }
}

void CUIString::MakeUpper() {
  for (int i = 0; i < length_; ++i)
    if (data_[i] >= L'a' && data_[i] <= L'z') data_[i] = static_cast<wchar_t>(data_[i] - 32);
}

void CUIString::MakeLower() {
  for (int i = 0; i < length_; ++i) data_[i] = FoldAscii(data_[i]);
}

CUIString CUIString::Left(int length) const { return Mid(0, length); }

CUIString CUIString::Mid(int start, int length) const {
  if (start < 0) start = 0;
  if (start > length_) start = length_;
  if (length < 0 || length > length_ - start) length = length_ - start;
  return CUIString(data_ + start, length);
}

CUIString CUIString::Right(int length) const {
  if (length < 0) length = 0;
  if (length > length_) length = length_;
  return CUIString(data_ + length_ - length, length);
}

int CUIString::Find(wchar_t ch, int start) const {
  if (start < 0 || start >= length_) return -1;
  const wchar_t* hit = wmemchr(data_ + start, ch, static_cast<size_t>(length_ - start));
  return hit ? static_cast<int>(hit - data_) : -1;
}

int CUIString::Find(const wchar_t* text, int start) const {
  if (!text || start < 0 || start > length_) return -1;
  const wchar_t* hit = wcsstr(data_ + start, text);
  return hit ? static_cast<int>(hit - data_) : -1;
}

int CUIString::Replace(const wchar_t* from, const wchar_t* to) {
  const int fromLength = TextLength(from, -1);
  if (fromLength == 0) return 0;
  CUIString result;
  int replaced = 0;
  int position = 0;
  for (int hit = Find(from, 0); hit >= 0; hit = Find(from, position)) {
    result.Append(data_ + position, hit - position);
    result.Append(to);
    position = hit + fromLength;
    ++replaced;
  }
  if (replaced) {
    result.Append(data_ + position, length_ - position);
    Assign(result.data_, result.length_);
  }
  return replaced;
}

// ---------------------------------------------------------------------------------------------

CUIPtrArray::CUIPtrArray(const CUIPtrArray& other) {
  for (int i = 0; i < other.count_; ++i) Add(other.items_[i]);
}

CUIPtrArray& CUIPtrArray::operator=(const CUIPtrArray& other) {
  if (this != &other) {
    Empty();
    for (int i = 0; i < other.count_; ++i) Add(other.items_[i]);
  }
  return *this;
}

CUIPtrArray::~CUIPtrArray() { free(items_); }

void CUIPtrArray::Empty() {
  free(items_);
  items_ = nullptr;
  count_ = 0;
  capacity_ = 0;
}

int CUIPtrArray::Find(const void* item) const {
  for (int i = 0; i < count_; ++i)
    if (items_[i] == item) return i;
  return -1;
}

bool CUIPtrArray::Grow() {
  if (capacity_ > INT_MAX / 2) return false;
  const int capacity = capacity_ == 0 ? 11 : capacity_ * 2;
  void** grown = static_cast<void**>(realloc(items_, static_cast<size_t>(capacity) * sizeof(void*)));
  if (!grown) return false;
  items_ = grown;
  capacity_ = capacity;
  return true;
}

bool CUIPtrArray::Add(void* item) { return InsertAt(count_, item); }

bool CUIPtrArray::InsertAt(int index, void* item) {
  if (index < 0 || index > count_) return false;
  if (count_ == capacity_ && !Grow()) return false;
  memmove(items_ + index + 1, items_ + index, static_cast<size_t>(count_ - index) * sizeof(void*));
  items_[index] = item;
  ++count_;
  return true;
}

bool CUIPtrArray::SetAt(int index, void* item) {
  if (index < 0 || index >= count_) return false;
  items_[index] = item;
  return true;
}

bool CUIPtrArray::Remove(int index) {
  if (index < 0 || index >= count_) return false;
  memmove(items_ + index, items_ + index + 1, static_cast<size_t>(count_ - index - 1) * sizeof(void*));
  --count_;
  return true;
}

// ---------------------------------------------------------------------------------------------

CUIStringMap::~CUIStringMap() { RemoveAll(); }

uint32_t CUIStringMap::Hash(const wchar_t* key) {
  uint32_t h = 0;
  if (!key) return h;
  for (size_t i = wcslen(key); i > 0; --i) h = h * 33u + static_cast<uint32_t>(key[i - 1]);
  return h;
}

CUIStringMap::Item** CUIStringMap::FindSlot(const wchar_t* key) const {
  if (!key) return nullptr;
  for (Item** link = &buckets_[Hash(key) % kBuckets]; *link; link = &(*link)->next)
    if ((*link)->key == key) return link;
  return nullptr;
}

void* CUIStringMap::Find(const wchar_t* key, bool moveToFront) const {
  Item** link = FindSlot(key);
  if (!link) return nullptr;
  Item* item = *link;
  Item** head = &buckets_[Hash(key) % kBuckets];
  if (moveToFront && link != head) {
    *link = item->next;
    item->next = *head;
    *head = item;
  }
  return item->data;
}

bool CUIStringMap::Contains(const wchar_t* key) const { return FindSlot(key) != nullptr; }

bool CUIStringMap::Insert(const wchar_t* key, void* data) {
  if (!key || FindSlot(key)) return false;
  Item** head = &buckets_[Hash(key) % kBuckets];
  *head = new Item{CUIString(key), data, *head};
  ++count_;
  return true;
}

void* CUIStringMap::Set(const wchar_t* key, void* data) {
  if (!key) return nullptr;
  if (Item** link = FindSlot(key)) {
    void* old = (*link)->data;
    (*link)->data = data;
    return old;
  }
  Insert(key, data);
  return nullptr;
}

bool CUIStringMap::Remove(const wchar_t* key) {
  Item** link = FindSlot(key);
  if (!link) return false;
  Item* item = *link;
  *link = item->next;
  delete item;
  --count_;
  return true;
}

void CUIStringMap::RemoveAll() {
  for (Item*& head : buckets_) {
    while (head) {
      Item* next = head->next;
      delete head;
      head = next;
    }
  }
  count_ = 0;
}

const CUIStringMap::Item* CUIStringMap::ItemAt(int index) const {
  if (index < 0) return nullptr;
  for (const Item* head : buckets_)
    for (const Item* item = head; item; item = item->next)
      if (index-- == 0) return item;
  return nullptr;
}

const wchar_t* CUIStringMap::GetKeyAt(int index) const {
  const Item* item = ItemAt(index);
  return item ? item->key.GetData() : nullptr;
}

void* CUIStringMap::GetValueAt(int index) const {
  const Item* item = ItemAt(index);
  return item ? item->data : nullptr;
}

}  // namespace SkinUI
