#include "psstring.h"

#include <unistr.h>

#include "writer.h"

StringWriter::StringWriter(Writer& out) : out_(out) {
  for (int c = 0; c < 256; ++c) {
    printable_[c] = c >= 0x20 && c < 0x7F;
    plain_[c] = printable_[c] && c < 0x80 && c != '(' && c != ')' &&
                c != '\\';
    octal_[c][0] = '\\';
    octal_[c][1] = static_cast<char>('0' + ((c >> 6) & 3));
    octal_[c][2] = static_cast<char>('0' + ((c >> 3) & 7));
    octal_[c][3] = static_cast<char>('0' + (c & 7));
  }
}

void StringWriter::escape(CharClass c) {
  static const std::string_view escapes[] = {"\\377\\000", "\\377\\001",
                                             "\\377\\002", "\\377\\003"};
  out_.write(escapes[c]);
}

unsigned StringWriter::utf8(char32_t cp) {
  uint8_t bytes[4];
  int n = u8_uctomb(bytes, cp, sizeof bytes);
  for (int k = 0; k < n; ++k) octal(bytes[k]);
  return n > 0 ? static_cast<unsigned>(n) : 0;
}
