#pragma once
// Splits inline-markup text into runs of plain text, line feeds and tags. A tag is '<' or '{',
// a lower-case letter, then a space (parameters follow up to the first '>' or '}') or the
// closing '>' or '}' at once; a closing tag is '<' or '{', '/', the letter, up to the next '>'
// or '}'. The escapes {<} {>} <{> <}> stand for the bracket in their middle. Anything else is
// text. Pure text processing; it never reads past the given length.

#include <cstddef>

namespace SkinUI {

enum class MarkupTokenKind { kEnd, kText, kLineBreak, kOpenTag, kCloseTag };

struct MarkupToken {
  MarkupTokenKind kind = MarkupTokenKind::kEnd;
  const wchar_t* text = nullptr;  // the run of text, or the tag's parameters
  size_t length = 0;
  wchar_t tag = 0;  // the letter of an open or closing tag
};

class CMarkupTokenizer {
 public:
  CMarkupTokenizer(const wchar_t* text, size_t length);

  // The next token. In raw mode only line feeds and the end of raw text ("</r>" or "{/r}", a
  // closing tag 'r') are recognised; everything else is text.
  MarkupToken Next(bool raw = false);

 private:
  // The token starting at `at` when a tag or escape starts there; `end` receives where it ends.
  bool MatchTag(size_t at, bool raw, MarkupToken& token, size_t& end);
  // The first '>' or '}' at or after `from`, or the length when there is none.
  size_t FindCloser(size_t from);

  const wchar_t* text_;
  size_t length_;
  size_t pos_ = 0;
  size_t closer_ = 0;  // the last FindCloser answer, reused while it lies ahead
  bool closerValid_ = false;
};

}  // namespace SkinUI
