// The automatic choice of the input encoding: the reading of the text
// that holds the fewest malformed sequences and the most common
// characters.
#ifndef TEXTTOPS_GUESS_H_
#define TEXTTOPS_GUESS_H_

#include <string_view>

/// The encoding that reads a text best, and by how much.
struct Guess {
  int encoding;   // ENCODING_Euc, ENCODING_Utf8 or ENCODING_Sjis
  int next;       // the encoding that reads it next best
  double margin;  // how much less it costs than that one
};

/// A margin under which the choice is a close call.
const double kCloseCall = 10;

/// Reads `text` as EUC-JP, UTF-8 and Shift_JIS and weighs each reading by
/// what its characters cost: hiragana, katakana and the first level of
/// kanji little, the second level and rare symbols more, characters no
/// font has more still, malformed sequences most; a Latin-1 letter next to
/// an ASCII letter little. The reading that costs least wins. `before`:
/// the ASCII byte in front of `text` (-1 for none); `more`: the input goes
/// on after `text`. An even cost goes to EUC-JP, then UTF-8.
Guess guessEncoding(std::string_view text, int before, bool more);

#endif  // TEXTTOPS_GUESS_H_
