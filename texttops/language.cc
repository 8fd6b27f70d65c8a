#include "language.h"

#include "writer.h"

StringWriter::StringWriter(Writer& out) : out_(out) {
  for (int c = 0; c < 256; ++c) {
    printable_[c] = c >= 0x20 && c < 0x7F;
    plain_[c] = printable_[c] && c < 0x80 && c != '(' && c != ')' &&
                c != '\\';
  }
}

void StringWriter::escape(CharClass c) {
  static const char* const escapes[] = {"\\377\\000", "\\377\\001",
                                        "\\377\\002"};
  out_.write(escapes[c]);
}

void StringWriter::octal(int byte) {
  char s[4] = {'\\', static_cast<char>('0' + ((byte >> 6) & 3)),
               static_cast<char>('0' + ((byte >> 3) & 7)),
               static_cast<char>('0' + (byte & 7))};
  out_.write(std::string_view(s, 4));
}

void StringWriter::kanji(int first, int second) {
  octal(first & 0x7F);
  octal(second & 0x7F);
}
