#include "decode.h"

#include <iconv.h>

#include <array>
#include <bitset>
#include <string_view>

#include "options.h"

namespace {

const uint16_t kNotLooked = 0xFFFF;
// What the converter says of bytes that are no character of the source.
const unsigned kNoCharacter = 1;
const size_t kDetectWindow = 65536;

// The cells of JIS X 0208 that hold characters, as the C library's
// EUC-JP converter knows them: in rows 1-8 symbols, kana, Greek, Cyrillic
// and lines, in rows 16-84 kanji; the rest of those rows is empty.
struct JisCells {
  std::bitset<94 * 94> used;
  JisCells() {
    iconv_t cd = iconv_open("UTF-8", "EUC-JP");
    for (int row = 1; row <= 84; ++row) {
      if (row > 8 && row < 16) continue;
      for (int cell = 1; cell <= 94; ++cell) {
        char code[2] = {static_cast<char>(0xA0 + row),
                        static_cast<char>(0xA0 + cell)};
        char out[8];
        char* in = code;
        char* o = out;
        size_t inLeft = 2, outLeft = sizeof out;
        bool known = cd == reinterpret_cast<iconv_t>(-1) ||
                     iconv(cd, &in, &inLeft, &o, &outLeft) != size_t(-1);
        used[(row - 1) * 94 + cell - 1] = known;
        if (cd != reinterpret_cast<iconv_t>(-1))
          iconv(cd, nullptr, nullptr, nullptr, nullptr);
      }
    }
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  }
};

bool inJisX0208(int first, int second) {
  static const JisCells cells;
  int row = first - 0xA0, cell = second - 0xA0;
  return row >= 1 && row <= 94 && cell >= 1 && cell <= 94 &&
         cells.used[(row - 1) * 94 + cell - 1];
}

// Well-formed UTF-8 (RFC 3629, table 3-7 of Unicode): per lead byte, the
// sequence length and the range of the second byte; later bytes are 80-BF.
struct Utf8Lead {
  int lo, hi;
  int length;
  int secondLo, secondHi;
};
const Utf8Lead kUtf8Leads[] = {
    {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF},
    {0xE1, 0xEC, 3, 0x80, 0xBF}, {0xED, 0xED, 3, 0x80, 0x9F},
    {0xEE, 0xEF, 3, 0x80, 0xBF}, {0xF0, 0xF0, 4, 0x90, 0xBF},
    {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F},
    {0, 0, 0, 0, 0},
};

// The row of lead byte `b`, or nullptr; found through an index by byte.
const Utf8Lead* utf8Lead(int b) {
  static const auto index = [] {
    std::array<const Utf8Lead*, 256> rows{};
    for (const Utf8Lead* row = kUtf8Leads; row->length; ++row)
      for (int x = row->lo; x <= row->hi; ++x) rows[x] = row;
    return rows;
  }();
  return index[b & 0xFF];
}

// Whether `s` is well-formed UTF-8; a sequence cut by the end of `s`
// counts as well-formed when more input follows.
bool wellFormedUtf8(std::string_view s, bool more) {
  for (size_t i = 0; i < s.size();) {
    int b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    const Utf8Lead* lead = utf8Lead(b);
    if (!lead) return false;
    for (int k = 1; k < lead->length; ++k) {
      if (i + k >= s.size()) return more;
      int x = static_cast<unsigned char>(s[i + k]);
      int lo = k == 1 ? lead->secondLo : 0x80;
      int hi = k == 1 ? lead->secondHi : 0xBF;
      if (x < lo || x > hi) return false;
    }
    i += static_cast<size_t>(lead->length);
  }
  return true;
}

// Bytes of `s` that cannot start or continue a character of EUC-JP
// (`sjis` false) or of Shift_JIS; a character cut by the end of `s`
// counts as whole.
size_t malformedBytes(std::string_view s, bool sjis) {
  size_t bad = 0;
  auto in = [&](size_t i, int lo, int hi) {
    if (i >= s.size()) return true;
    int x = static_cast<unsigned char>(s[i]);
    return x >= lo && x <= hi;
  };
  for (size_t i = 0; i < s.size();) {
    int b = static_cast<unsigned char>(s[i]);
    size_t length = 1;
    bool ok = b < 0x80;
    if (sjis && b >= 0xA1 && b <= 0xDF) {
      ok = true;  // half-width kana
    } else if (sjis && ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC))) {
      ok = in(i + 1, 0x40, 0xFC) && (i + 1 >= s.size() || s[i + 1] != 0x7F);
      length = 2;
    } else if (!sjis && b == 0x8E) {
      ok = in(i + 1, 0xA1, 0xDF);
      length = 2;
    } else if (!sjis && b == 0x8F) {
      ok = in(i + 1, 0xA1, 0xFE) && in(i + 2, 0xA1, 0xFE);
      length = 3;
    } else if (!sjis && b >= 0xA1 && b <= 0xFE) {
      ok = in(i + 1, 0xA1, 0xFE);
      length = 2;
    }
    if (!ok) {
      ++bad;
      length = 1;
    }
    i += length;
  }
  return bad;
}

void geta(Char* c) { *c = {kKanji, kGetaFirst, kGetaSecond}; }

// A kanji if the EUC code is in JIS X 0208, else the geta mark.
void kanjiOrGeta(unsigned code, Char* c) {
  int first = static_cast<int>(code >> 8);
  int second = static_cast<int>(code & 0xFF);
  if (inJisX0208(first, second))
    *c = {kKanji, first, second};
  else
    geta(c);
}

}  // namespace

JisMemo::~JisMemo() {
  if (cd_ && cd_ != reinterpret_cast<void*>(-1))
    iconv_close(static_cast<iconv_t>(cd_));
}

unsigned JisMemo::euc(unsigned key, const char* bytes, size_t n) {
  if (memo_.empty()) memo_.assign(65536, kNotLooked);
  uint16_t& m = memo_[key & 0xFFFF];
  if (m == kNotLooked) m = static_cast<uint16_t>(convert(bytes, n));
  return m;
}

// EUC-JP-MS takes the Windows variants too (U+FF5E for the wave dash).
unsigned JisMemo::convert(const char* bytes, size_t n) {
  if (!cd_) {
    iconv_t cd = iconv_open("EUC-JP-MS", from_);
    if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("EUC-JP", from_);
    cd_ = cd;
  }
  if (cd_ == reinterpret_cast<void*>(-1)) return 0;
  iconv_t cd = static_cast<iconv_t>(cd_);
  char out[8];
  char* in = const_cast<char*>(bytes);
  char* o = out;
  size_t inLeft = n, outLeft = sizeof out;
  size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (r == static_cast<size_t>(-1) || inLeft != 0) return kNoCharacter;
  if (o - out != 2) return 0;
  unsigned code = static_cast<unsigned char>(out[0]) << 8 |
                  static_cast<unsigned char>(out[1]);
  return inJisX0208(static_cast<int>(code >> 8), static_cast<int>(code & 0xFF))
             ? code
             : 0;
}

Decoder::Decoder(Reader& in, int encoding) : in_(in), encoding_(encoding) {
  // A byte order mark opens many UTF-8 files; it is not text.
  if (encoding_ != ENCODING_Euc && encoding_ != ENCODING_Sjis &&
      in_.peek(3) == "\xEF\xBB\xBF")
    in_.skip(3);
}

bool Decoder::skipLineFeed() {
  std::string_view ahead = in_.peek(2);
  if (ahead.substr(0, 1) == "\n") {
    in_.skip(1);
    return true;
  }
  if (ahead == "\r\n") {
    in_.skip(2);
    return true;
  }
  return false;
}

bool Decoder::decode(int b, Char* c) {
  if (b == '\r') {
    *c = {kSingleByte, take('\n', '\n') < 0 ? '\r' : '\n', 0};
    return true;
  }
  if (encoding_ == ENCODING_Auto) decideEncoding(b);
  if (encoding_ == ENCODING_Utf8)
    utf8(b, c);
  else if (encoding_ == ENCODING_Sjis)
    sjis(b, c);
  else
    euc(b, c);
  return true;
}

// Automatic: UTF-8 when the text from the first byte above ASCII on is
// well-formed UTF-8 (as far as the window reaches). Else Shift_JIS when at
// least a quarter of its bytes above ASCII are bytes 80-A0 other than SS2
// and SS3, which EUC-JP never has and Shift_JIS has in most kana and kanji
// codes, and it is less malformed as Shift_JIS than as EUC-JP. Else
// EUC-JP, which also reads as Shift_JIS half-width kana: an EUC-JP text
// with a stray byte here and there stays EUC-JP.
void Decoder::decideEncoding(int b) {
  in_.unget(b);
  std::string_view ahead = in_.peek(kDetectWindow);
  size_t high = 0, notEuc = 0;
  for (char x : ahead) {
    int v = static_cast<unsigned char>(x);
    high += v >= 0x80;
    notEuc += v >= 0x80 && v <= 0xA0 && v != 0x8E && v != 0x8F;
  }
  if (wellFormedUtf8(ahead, ahead.size() == kDetectWindow))
    encoding_ = ENCODING_Utf8;
  else if (notEuc >= 2 && notEuc * 4 >= high &&
           malformedBytes(ahead, true) < malformedBytes(ahead, false))
    encoding_ = ENCODING_Sjis;
  else
    encoding_ = ENCODING_Euc;
  in_.get();
}

// EUC-JP: SS2 and a kana, SS3 and two bytes of JIS X 0212 (no font has
// them), or two bytes A1-FE of JIS X 0208.
void Decoder::euc(int b, Char* c) {
  if (b == 0x8E) {
    int kana = take(0xA1, 0xDF);
    if (kana < 0)
      geta(c);
    else
      *c = {kKana, kana, 0};
  } else if (b == 0x8F) {
    if (take(0xA1, 0xFE) >= 0) take(0xA1, 0xFE);
    geta(c);
  } else if (b >= 0xA1 && b <= 0xFE) {
    int second = take(0xA1, 0xFE);
    if (second < 0)
      geta(c);
    else
      kanjiOrGeta(static_cast<unsigned>(b << 8 | second), c);
  } else {
    geta(c);
  }
}

// UTF-8: Latin-1 to the English font, half-width katakana to the kana
// font, what JIS X 0208 has to the kanji font.
void Decoder::utf8(int b, Char* c) {
  const Utf8Lead* lead = utf8Lead(b);
  if (!lead) return geta(c);
  char bytes[4] = {static_cast<char>(b)};
  unsigned cp = static_cast<unsigned>(b) & (0x7Fu >> lead->length);
  for (int k = 1; k < lead->length; ++k) {
    int x = k == 1 ? take(lead->secondLo, lead->secondHi) : take(0x80, 0xBF);
    if (x < 0) return geta(c);
    bytes[k] = static_cast<char>(x);
    cp = cp << 6 | (static_cast<unsigned>(x) & 0x3F);
  }
  if (cp < 0xA0 || cp >= 0x10000) return geta(c);
  if (cp < 0x100) {
    *c = {kSingleByte, cp == 0xFF ? kLatinYDieresis : static_cast<int>(cp), 0};
  } else if (cp >= 0xFF61 && cp <= 0xFF9F) {
    *c = {kKana, static_cast<int>(cp - 0xFF61 + 0xA1), 0};
  } else {
    kanjiOrGeta(utf8Memo_.euc(cp, bytes, static_cast<size_t>(lead->length)),
                c);
  }
}

// Shift_JIS (CP932): A1-DF a kana; 81-9F and E0-FC lead a byte 40-FC
// other than 7F.
void Decoder::sjis(int b, Char* c) {
  if (b >= 0xA1 && b <= 0xDF) {
    *c = {kKana, b, 0};
    return;
  }
  if (!((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC))) return geta(c);
  int second = take(0x40, 0xFC);
  if (second == 0x7F) {
    in_.unget(second);
    second = -1;
  }
  if (second < 0) return geta(c);
  char bytes[2] = {static_cast<char>(b), static_cast<char>(second)};
  // A pair that is no character is one geta mark, as in EUC-JP.
  kanjiOrGeta(sjisMemo_.euc(static_cast<unsigned>(b << 8 | second), bytes, 2),
              c);
}
