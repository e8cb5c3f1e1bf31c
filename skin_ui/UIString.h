#pragma once
// The toolkit's containers: a wide string with a 64-character inline buffer, a growable array
// of pointers and a string-keyed map of pointers with 83 buckets and move-to-front lookups.

#include <cstddef>
#include <cstdint>

namespace SkinUI {

class CUIString {
 public:
  static constexpr int kInlineLength = 63;  // plus the terminator

  CUIString();
  CUIString(const wchar_t* text, int length = -1);  // NOLINT: converts like a text literal
  explicit CUIString(wchar_t ch);
  CUIString(const CUIString& other);
  CUIString& operator=(const CUIString& other);
  CUIString& operator=(const wchar_t* text);
  ~CUIString();

  void Assign(const wchar_t* text, int length = -1);
  void Append(const wchar_t* text, int length = -1);
  void Empty();

  int GetLength() const { return length_; }
  bool IsEmpty() const { return length_ == 0; }
  bool IsInline() const { return data_ == inline_; }
  const wchar_t* GetData() const { return data_; }
  operator const wchar_t*() const { return data_; }  // NOLINT
  wchar_t GetAt(int index) const { return index >= 0 && index < length_ ? data_[index] : L'\0'; }

  CUIString& operator+=(const wchar_t* text);
  CUIString& operator+=(const CUIString& text);
  CUIString& operator+=(wchar_t ch);
  CUIString operator+(const wchar_t* text) const;

  // Exact comparison; <0, 0 or >0.
  int Compare(const wchar_t* text) const;
  // ASCII letters compared without case.
  int CompareNoCase(const wchar_t* text) const;
  bool operator==(const wchar_t* text) const { return Compare(text) == 0; }
  bool operator==(const CUIString& text) const { return Compare(text.data_) == 0; }
  bool operator!=(const wchar_t* text) const { return Compare(text) != 0; }

  void MakeUpper();
  void MakeLower();
  CUIString Left(int length) const;
  CUIString Mid(int start, int length = -1) const;
  CUIString Right(int length) const;
  // Position of the first occurrence at or after `start`, or -1.
  int Find(wchar_t ch, int start = 0) const;
  int Find(const wchar_t* text, int start = 0) const;
  // Replaces every occurrence; returns how many were replaced.
  int Replace(const wchar_t* from, const wchar_t* to);

 private:
  void Reserve(int length);  // room for `length` characters plus the terminator, keeping the text

  wchar_t* data_;
  int length_ = 0;
  int capacity_ = kInlineLength;  // characters, without the terminator
  wchar_t inline_[kInlineLength + 1];
};

class CUIPtrArray {
 public:
  CUIPtrArray() = default;
  CUIPtrArray(const CUIPtrArray& other);
  CUIPtrArray& operator=(const CUIPtrArray& other);
  ~CUIPtrArray();

  void Empty();
  bool IsEmpty() const { return count_ == 0; }
  int GetSize() const { return count_; }
  int GetCapacity() const { return capacity_; }
  int Find(const void* item) const;
  bool Add(void* item);
  bool InsertAt(int index, void* item);  // index in [0, size]
  bool SetAt(int index, void* item);
  bool Remove(int index);
  void* GetAt(int index) const { return index >= 0 && index < count_ ? items_[index] : nullptr; }
  void* operator[](int index) const { return GetAt(index); }
  void** GetData() const { return items_; }

 private:
  bool Grow();

  void** items_ = nullptr;
  int count_ = 0;
  int capacity_ = 0;
};

class CUIStringMap {
 public:
  static constexpr int kBuckets = 83;

  CUIStringMap() = default;
  CUIStringMap(const CUIStringMap&) = delete;
  CUIStringMap& operator=(const CUIStringMap&) = delete;
  ~CUIStringMap();

  static uint32_t Hash(const wchar_t* key);

  // A found entry moves to the front of its bucket when `moveToFront` is set.
  void* Find(const wchar_t* key, bool moveToFront = true) const;
  bool Contains(const wchar_t* key) const;
  // Refuses a key that is already present.
  bool Insert(const wchar_t* key, void* data);
  // Adds or replaces; returns the value replaced (null when the key is new).
  void* Set(const wchar_t* key, void* data);
  bool Remove(const wchar_t* key);
  void RemoveAll();
  int GetSize() const { return count_; }
  // Entry by position in bucket order (for walking all entries); null outside the range.
  const wchar_t* GetKeyAt(int index) const;
  void* GetValueAt(int index) const;

 private:
  struct Item {
    CUIString key;
    void* data;
    Item* next;
  };
  const Item* ItemAt(int index) const;
  Item** FindSlot(const wchar_t* key) const;  // the link that points at the key's item, or null

  mutable Item* buckets_[kBuckets] = {};
  int count_ = 0;
};

}  // namespace SkinUI
