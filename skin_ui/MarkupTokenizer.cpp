#include "skin_ui/MarkupTokenizer.h"

namespace SkinUI {

namespace {

bool IsTagLetter(wchar_t ch) { return ch >= L'a' && ch <= L'z'; }
bool IsOpener(wchar_t ch) { return ch == L'<' || ch == L'{'; }
bool IsCloser(wchar_t ch) { return ch == L'>' || ch == L'}'; }

}  // namespace

CMarkupTokenizer::CMarkupTokenizer(const wchar_t* text, size_t length) : text_(text), length_(text ? length : 0) {}

size_t CMarkupTokenizer::FindCloser(size_t from) {
  // Tags are looked for at increasing positions, so a closer found once serves every position
  // up to it: the scan stays linear in the text.
  if (closerValid_ && closer_ >= from) return closer_;
  size_t at = from;
  while (at < length_ && !IsCloser(text_[at])) ++at;
  closer_ = at;
  closerValid_ = true;
  return at;
}

bool CMarkupTokenizer::MatchTag(size_t at, bool raw, MarkupToken& token, size_t& end) {
  const size_t left = length_ - at;
  const wchar_t open = text_[at];
  if (!IsOpener(open) || left < 3) return false;
  const wchar_t second = text_[at + 1];
  const wchar_t third = text_[at + 2];
  if (raw) {
    if (left < 4 || second != L'/' || third != L'r' || !IsCloser(text_[at + 3])) return false;
    token = MarkupToken{MarkupTokenKind::kCloseTag, nullptr, 0, L'r'};
    end = at + 4;
    return true;
  }
  const bool escape = open == L'{' ? (second == L'<' || second == L'>') && third == L'}'
                                   : (second == L'{' || second == L'}') && third == L'>';
  if (escape) {
    token = MarkupToken{MarkupTokenKind::kText, text_ + at + 1, 1, 0};
    end = at + 3;
    return true;
  }
  if (second == L'/' && IsTagLetter(third)) {
    const size_t closer = FindCloser(at + 3);
    if (closer == length_) return false;
    token = MarkupToken{MarkupTokenKind::kCloseTag, nullptr, 0, third};
    end = closer + 1;
    return true;
  }
  if (!IsTagLetter(second)) return false;
  if (IsCloser(third)) {
    token = MarkupToken{MarkupTokenKind::kOpenTag, text_ + at + 2, 0, second};
    end = at + 3;
    return true;
  }
  if (third != L' ') return false;
  const size_t closer = FindCloser(at + 3);
  if (closer == length_) return false;
  token = MarkupToken{MarkupTokenKind::kOpenTag, text_ + at + 3, closer - (at + 3), second};
  end = closer + 1;
  return true;
}

MarkupToken CMarkupTokenizer::Next(bool raw) {
  if (pos_ >= length_) return MarkupToken{};
  MarkupToken token;
  size_t end = 0;
  if (text_[pos_] == L'\r' || text_[pos_] == L'\n') {
    // CR LF is one line break, like a lone CR or LF.
    const bool pair = text_[pos_] == L'\r' && pos_ + 1 < length_ && text_[pos_ + 1] == L'\n';
    token = MarkupToken{MarkupTokenKind::kLineBreak, text_ + pos_, pair ? size_t{2} : size_t{1}, 0};
    pos_ += token.length;
    return token;
  }
  if (MatchTag(pos_, raw, token, end)) {
    pos_ = end;
    return token;
  }
  const size_t start = pos_;
  ++pos_;
  while (pos_ < length_ && text_[pos_] != L'\r' && text_[pos_] != L'\n' &&
         !(IsOpener(text_[pos_]) && MatchTag(pos_, raw, token, end))) {
    ++pos_;
  }
  return MarkupToken{MarkupTokenKind::kText, text_ + start, pos_ - start, 0};
}

}  // namespace SkinUI
