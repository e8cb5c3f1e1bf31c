#pragma once
// Compile-time check of wide printf formats against their argument types. GCC checks narrow
// formats by attribute but has no such check for wide ones; a mismatched argument there could
// read a bad pointer at run time, so the log's wide front end refuses it at compile time.
//
// Accepted conversions (the subset both C runtimes format alike once %s is mapped):
//   %[flags][width][.precision][length]conversion
//   flags "-+ #0", width and precision digits or '*', length hh h l ll I64,
//   d i u o x X c (integers), e E f g G (floating), p (pointer),
//   s (wide string; h makes it narrow), S (narrow string), %% (no argument).

#include <cstddef>
#include <type_traits>

namespace logdetail {

enum class ArgKind { kNone, kInt32, kLong, kInt64, kDouble, kWideString, kNarrowString, kPointer, kInvalid };

template <typename T>
constexpr ArgKind KindOf() {
  using U = std::remove_cv_t<T>;
  if constexpr (std::is_same_v<U, bool> || std::is_same_v<U, std::nullptr_t>) {
    return ArgKind::kInvalid;
  } else if constexpr (std::is_enum_v<U>) {
    return KindOf<std::underlying_type_t<U>>();
  } else if constexpr (std::is_integral_v<U>) {
    if constexpr (sizeof(U) <= 4) return ArgKind::kInt32;
    else return ArgKind::kInt64;
  } else if constexpr (std::is_floating_point_v<U>) {
    return sizeof(U) <= sizeof(double) ? ArgKind::kDouble : ArgKind::kInvalid;
  } else if constexpr (std::is_pointer_v<U>) {
    using Pointee = std::remove_cv_t<std::remove_pointer_t<U>>;
    if constexpr (std::is_same_v<Pointee, wchar_t>) return ArgKind::kWideString;
    else if constexpr (std::is_same_v<Pointee, char>) return ArgKind::kNarrowString;
    else return ArgKind::kPointer;
  } else {
    return ArgKind::kInvalid;
  }
}

constexpr bool Accepts(ArgKind wanted, ArgKind given) {
  if (wanted == given) return true;
  // long is 32 bits on Windows and 64 bits in the native build.
  if (wanted == ArgKind::kLong) return given == (sizeof(long) == 4 ? ArgKind::kInt32 : ArgKind::kInt64);
  // Any object pointer prints with %p, strings included.
  if (wanted == ArgKind::kPointer) return given == ArgKind::kWideString || given == ArgKind::kNarrowString;
  return false;
}

// Walks the format and returns the argument kinds it wants, in order, into `kinds`; the count,
// or -1 when the format is outside the accepted subset.
template <size_t N>
constexpr int ParseWideFormat(const wchar_t (&format)[N], ArgKind (&kinds)[N]) {
  int count = 0;
  size_t i = 0;
  const size_t end = N - 1;
  auto at = [&](size_t k) { return k < end ? format[k] : L'\0'; };
  while (i < end) {
    if (format[i++] != L'%') continue;
    if (at(i) == L'%') {
      ++i;
      continue;
    }
    while (at(i) == L'-' || at(i) == L'+' || at(i) == L' ' || at(i) == L'#' || at(i) == L'0') ++i;
    if (at(i) == L'*') {
      kinds[count++] = ArgKind::kInt32;
      ++i;
    } else {
      while (at(i) >= L'0' && at(i) <= L'9') ++i;
    }
    if (at(i) == L'.') {
      ++i;
      if (at(i) == L'*') {
        kinds[count++] = ArgKind::kInt32;
        ++i;
      } else {
        while (at(i) >= L'0' && at(i) <= L'9') ++i;
      }
    }
    enum class Length { kDefault, kShort, kLong, kLongLong } length = Length::kDefault;
    if (at(i) == L'h') {
      length = Length::kShort;
      ++i;
      if (at(i) == L'h') ++i;
    } else if (at(i) == L'l') {
      length = Length::kLong;
      ++i;
      if (at(i) == L'l') {
        length = Length::kLongLong;
        ++i;
      }
    } else if (at(i) == L'I' && at(i + 1) == L'6' && at(i + 2) == L'4') {
      length = Length::kLongLong;
      i += 3;
    }
    const wchar_t conversion = at(i++);
    switch (conversion) {
      case L'd': case L'i': case L'u': case L'o': case L'x': case L'X':
        kinds[count++] = length == Length::kLong       ? ArgKind::kLong
                         : length == Length::kLongLong ? ArgKind::kInt64
                                                       : ArgKind::kInt32;
        break;
      case L'c':
        if (length == Length::kLongLong) return -1;
        kinds[count++] = ArgKind::kInt32;
        break;
      case L'e': case L'E': case L'f': case L'g': case L'G':
        if (length != Length::kDefault && length != Length::kLong) return -1;
        kinds[count++] = ArgKind::kDouble;
        break;
      case L'p':
        if (length != Length::kDefault) return -1;
        kinds[count++] = ArgKind::kPointer;
        break;
      case L's':
        if (length == Length::kLongLong) return -1;
        kinds[count++] = length == Length::kShort ? ArgKind::kNarrowString : ArgKind::kWideString;
        break;
      case L'S':
        if (length != Length::kDefault) return -1;
        kinds[count++] = ArgKind::kNarrowString;
        break;
      default:
        return -1;
    }
  }
  return count;
}

template <typename... Args>
struct CheckedWideFormat {
  const wchar_t* text;

  template <size_t N>
  consteval CheckedWideFormat(const wchar_t (&format)[N]) : text(format) {
    ArgKind wanted[N] = {};
    const int count = ParseWideFormat(format, wanted);
    if (count < 0) throw "unsupported conversion in a wide log format";
    constexpr ArgKind given[] = {KindOf<std::decay_t<Args>>()..., ArgKind::kNone};
    if (count != static_cast<int>(sizeof...(Args))) throw "wide log format and argument count differ";
    for (int k = 0; k < count; ++k) {
      if (!Accepts(wanted[k], given[k])) throw "wide log format conversion does not match its argument";
    }
  }
};

}  // namespace logdetail
