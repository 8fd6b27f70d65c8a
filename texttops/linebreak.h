// Where Japanese text may not be broken across lines: the line breaking
// rules of Unicode (UAX #14) as GNU libunistring applies them.
#ifndef TEXTTOPS_LINEBREAK_H_
#define TEXTTOPS_LINEBREAK_H_

#include "decode.h"

/// Whether a line may not end between `a` and `b` when one of them is a
/// kana or kanji: 。、」ー and small kana stay with what they follow, 「
/// with what it opens. Controls and spaces are never held; two English
/// characters never are either, so English lines break where they did.
bool heldTogether(const Char& a, const Char& b);

/// The columns a character takes: two for a kanji, else one.
inline unsigned columnsOf(const Char& c) { return c.cls >= kKanji ? 2 : 1; }

#endif  // TEXTTOPS_LINEBREAK_H_
