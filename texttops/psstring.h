// How characters are written inside PostScript strings: plain bytes as
// they stand, others in octal, and the font escapes of the character
// classes of Japanese text.
#ifndef TEXTTOPS_PSSTRING_H_
#define TEXTTOPS_PSSTRING_H_

#include <cstring>
#include <string_view>

#include "writer.h"

/// Class of a character: one byte, half-width kana, two-byte kanji, or a
/// character JIS X 0208 lacks, written as UTF-8 for a font whose CMap
/// reaches the whole Japanese glyph set. Kanji and those take two columns.
enum CharClass { kSingleByte = 0, kKana = 1, kKanji = 2, kExtra = 3 };

/// Writes characters into an open PostScript string.
class StringWriter {
 public:
  /// ASCII 0x20-0x7E is written as it stands, other bytes in octal.
  explicit StringWriter(Writer& out);
  /// The font escape for class `c` ("\377\000" and so on).
  void escape(CharClass c);
  /// A one-byte character (class 0 or 1).
  void single(int byte) {
    if (byte == '(' || byte == ')' || byte == '\\') {
      out_.put('\\');
      out_.put(static_cast<char>(byte));
    } else if (printable_[byte & 0xFF]) {
      out_.put(static_cast<char>(byte));
    } else {
      octal(byte);
    }
  }
  /// Whether a byte is written as it stands (no escape, no octal).
  bool plain(int byte) const { return plain_[byte & 0xFF]; }
  /// A two-byte character, reduced from EUC to JIS.
  void kanji(int first, int second) {
    char s[8];
    std::memcpy(s, octal_[first & 0x7F], 4);
    std::memcpy(s + 4, octal_[second & 0x7F], 4);
    out_.write(std::string_view(s, 8));
  }
  /// A character of class 3, as UTF-8; returns its length in bytes.
  unsigned utf8(char32_t cp);
  /// A byte as a backslash and three octal digits.
  void octal(int byte) {
    out_.write(std::string_view(octal_[byte & 0xFF], 4));
  }

 private:
  Writer& out_;
  bool printable_[256];
  bool plain_[256];
  char octal_[256][4];  // "\ooo" of each byte
};

#endif  // TEXTTOPS_PSSTRING_H_
