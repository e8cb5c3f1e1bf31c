#include "installer/ProcessName.h"

bool IsProcessNamed(const wchar_t* listed, std::size_t capacity, std::wstring_view wanted) {
  std::size_t length = 0;
  while (length < capacity && listed[length] != L'\0') ++length;
  return std::wstring_view(listed, length) == wanted;
}
