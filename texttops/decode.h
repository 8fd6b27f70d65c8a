// Reading text input in EUC-JP, UTF-8 or Shift_JIS as characters of the
// three font classes.
#ifndef TEXTTOPS_DECODE_H_
#define TEXTTOPS_DECODE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "options.h"
#include "psstring.h"
#include "reader.h"

/// One character of the input, in the font that prints it.
struct Char {
  CharClass cls;
  int byte;    // class 0: ASCII or Latin-1 byte; class 1: kana byte A1-DF;
               // class 2: the EUC first byte; class 3: the code point
  int second;  // class 2: the EUC second byte
};

/// EUC code of the geta mark (JIS 0x222E), printed for every character
/// that none of the three fonts has and for every malformed sequence.
const int kGetaFirst = 0xA2;
const int kGetaSecond = 0xAE;

/// Byte the English font shows y with diaeresis at: 255 is the font escape.
const int kLatinYDieresis = 0x80;

/// The code point of the JIS X 0208 character at EUC code (first, second),
/// or 0 where the set has none.
char32_t jisCodePoint(int first, int second);

/// What `text` prints read in `encoding`: class, byte and second byte of
/// each character the decoder gives, three bytes a character.
std::string printedAs(std::string_view text, int encoding);

/// JIS X 0208 codes from the C library's converter, remembered per
/// 16-bit source code (a code point, or a Shift_JIS byte pair).
class JisMemo {
 public:
  /// `from`: the converter's name of the source encoding. The converter
  /// and the memo are made at the first look-up.
  explicit JisMemo(const char* from) : from_(from) {}
  ~JisMemo();
  JisMemo(const JisMemo&) = delete;
  JisMemo& operator=(const JisMemo&) = delete;
  /// EUC code (first byte << 8 | second) of the character whose source
  /// bytes are `bytes`, `key` its 16-bit code; 0 if it is not in JIS X
  /// 0208, 1 if the bytes are no character of the source encoding.
  unsigned euc(unsigned key, const char* bytes, size_t n);

 private:
  unsigned convert(const char* bytes, size_t n);
  const char* from_;
  void* cd_ = nullptr;  // iconv_t; (void*)-1 when it cannot be opened
  std::vector<uint16_t> memo_;
};

/// Characters of a text in one of the input encodings. A malformed
/// sequence is one geta mark and never takes a byte that cannot continue
/// it (a newline, a form feed, the first byte of another character).
/// UTF-8 is composed (NFC) as it is read, and characters that show
/// nothing (zero-width spaces and joiners, variation selectors) are left
/// out.
class Decoder {
 public:
  /// `encoding`: a TextEncoding; automatic decides at the first byte
  /// above ASCII (see guessEncoding).
  Decoder(Reader& in, int encoding);
  /// The next character; false at the end of the input. "\r\n" is one
  /// line feed.
  bool next(Char* c) {
    if (queued_ < queue_.size()) {
      *c = queue_[queued_++];
      return true;
    }
    int b = in_.get();
    if (b < 0) return false;
    if (b < 0x80 && b != '\r' && !(composing_ && highFollows())) {
      *c = {kSingleByte, b, 0};
      return true;
    }
    return decode(b, c);
  }
  /// Whether the next character is surely a plain ASCII one, or the end:
  /// nothing is queued and the next byte is below 0x80.
  bool plainNext() {
    if (queued_ < queue_.size()) return false;
    std::string_view ahead = in_.buffered();
    if (ahead.empty()) ahead = in_.peek(1);
    return ahead.empty() || !(ahead[0] & 0x80);
  }
  /// Consumes a line end ("\n" or "\r\n") if one comes next.
  bool skipLineFeed();
  /// The input, for runs of plain ASCII read straight from its buffer.
  /// Such a run leaves the byte before a byte above ASCII to next(): a
  /// mark that follows may compose with it.
  Reader& in() { return in_; }
  /// The encoding read: automatic until it is decided.
  int encoding() const { return encoding_; }
  /// Malformed sequences read so far.
  size_t malformed() const { return malformed_; }
  /// When the automatic choice was a close call: the encoding that came
  /// next; else ENCODING_Invalid.
  int runnerUp() const { return runnerUp_; }

 private:
  bool decode(int b, Char* c);
  void decideEncoding(int before);
  void euc(int b, Char* c);
  bool utf8(int b, Char* c);
  void sjis(int b, Char* c);
  bool codePoint(int b, char* bytes, size_t* n, char32_t* cp);
  uint32_t codeInfo(char32_t cp, const char* bytes, size_t n);
  size_t markAhead();
  bool compose(std::string bytes, Char* c);
  void geta(Char* c);
  bool highFollows() {
    std::string_view ahead = in_.buffered();
    if (ahead.empty()) ahead = in_.peek(1);
    return !ahead.empty() && (ahead[0] & 0x80);
  }
  // The next byte if it lies in [lo, hi] (consumed), else -1 (left).
  int take(int lo, int hi) {
    int x = in_.get();
    if (x >= lo && x <= hi) return x;
    if (x >= 0) in_.unget(x);
    return -1;
  }
  Reader& in_;
  int encoding_;
  bool composing_;  // UTF-8 or not decided: an ASCII letter may compose
  int runnerUp_ = ENCODING_Invalid;
  size_t malformed_ = 0;
  std::vector<Char> queue_;  // characters a composition gave after the first
  size_t queued_ = 0;
};

#endif  // TEXTTOPS_DECODE_H_
