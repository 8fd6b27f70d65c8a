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
  double margin;  // how much better it reads than that one
};

/// A margin under which the choice is a close call.
const double kCloseCall = 10;

/// Reads `text` as EUC-JP, UTF-8 and Shift_JIS and scores each reading
/// by its characters: hiragana, katakana and the first level of kanji
/// score high, the second level and rare symbols low, characters no font
/// has lower, malformed sequences far lower; a Latin-1 letter next to an
/// ASCII letter scores high. `before`: the ASCII byte in front of `text`
/// (-1 for none); `more`: the input goes on after `text`. An even score
/// goes to EUC-JP, then UTF-8.
Guess guessEncoding(std::string_view text, int before, bool more);

#endif  // TEXTTOPS_GUESS_H_
