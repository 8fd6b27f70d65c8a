#include "decode.h"

#include <gtest/gtest.h>

#include <string>

#include "options.h"
#include "reader.h"

namespace {

// The characters read from `text`: ASCII and Latin-1 as themselves, a
// kanji as its four hexadecimal digits of JIS, a kana as "k" and its byte,
// a character outside JIS X 0208 as its code point.
std::string read(const std::string& text, int encoding) {
  Reader in(text);
  Decoder d(in, encoding);
  std::string s;
  char buf[8];
  for (Char c; d.next(&c);) {
    if (c.cls == kKanji)
      std::snprintf(buf, sizeof buf, "[%02X%02X]", c.byte & 0x7F,
                    c.second & 0x7F);
    else if (c.cls == kKana)
      std::snprintf(buf, sizeof buf, "k%02X", c.byte);
    else if (c.cls == kExtra)
      std::snprintf(buf, sizeof buf, "<%X>", c.byte);
    else
      std::snprintf(buf, sizeof buf, "%c", c.byte);
    s += buf;
  }
  return s;
}

TEST(Decoder, ComposesUtf8AndLeavesOutWhatShowsNothing) {
  const struct {
    const char* text;
    int encoding;
    std::string chars;
  } cases[] = {
      {"\xe3\x81\x8b\xe3\x82\x99!", ENCODING_Utf8, "[242C]!"},  // か + U+3099
      {"e\xcc\x81t\xc3\xa9", ENCODING_Utf8, "\xe9t\xe9"},      // e + U+0301
      {"e\xcc\x81", ENCODING_Auto, "\xe9"},
      {"\xef\xbd\xb3\xef\xbe\x9e", ENCODING_Utf8, "kB3kDE"},  // ｳﾞ stays
      {"a\xe2\x80\x8b" "b\xe2\x80\x8d\xef\xbb\xbf" "c", ENCODING_Utf8, "abc"},
      {"\xe6\xbc\xa2\xf3\xa0\x84\x80", ENCODING_Utf8, "[3441]"},  // a VS17
      {"\xcc\x81x", ENCODING_Utf8, "[222E]x"},  // a mark with nothing before
      {"\xc2\xad", ENCODING_Utf8, "\xad"},      // the soft hyphen prints
      {"\x85\x40x", ENCODING_Sjis, "[222E]x"},  // no character: one geta
      // Outside JIS X 0208: Windows and JIS X 0212 characters by code
      // point, from every encoding; a JIS X 0212 Latin letter in the
      // English font; other scripts and unassigned codes a geta each.
      {"\xe2\x91\xa0\xf0\xa0\xae\xb7\xea\xb0\x80", ENCODING_Utf8, "<2460><20BB7>[222E]"},
      {"\x87\x40\xfb\xfc\x81\x60", ENCODING_Sjis, "<2460><9AD9>[2141]"},
      {"\xad\xa1\x8f\xf4\xfb\x8f\xab\xb1\x8f\xa1\xa1", ENCODING_Euc,
       "<2460><9AD9>\xe9[222E]"},
      {"\xef\xbf\xbe\xee\x80\x80", ENCODING_Utf8, "[222E][222E]"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(read(c.text, c.encoding), c.chars) << c.text;
}

}  // namespace
