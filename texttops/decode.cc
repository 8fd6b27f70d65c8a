#include "decode.h"

#include <iconv.h>
#include <unictype.h>
#include <uninorm.h>
#include <unistr.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "guess.h"
#include "options.h"

namespace {

const uint16_t kNotLooked = 0xFFFF;
// What the converter says of bytes that are no character of the source.
const unsigned kNoCharacter = 1;
const size_t kDetectWindow = 65536;

// Converts `bytes`, one whole character, with `cd` into `out` and leaves
// the converter in its first state. Returns the length of what it gave,
// or 0 when the bytes are not one character it knows.
size_t convertOne(iconv_t cd, const char* bytes, size_t n, char* out,
                  size_t size) {
  char* in = const_cast<char*>(bytes);
  char* o = out;
  size_t inLeft = n, outLeft = size;
  size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (r == static_cast<size_t>(-1) || inLeft != 0) return 0;
  return static_cast<size_t>(o - out);
}

// Code points of single characters of one source encoding.
class UcsConverter {
 public:
  explicit UcsConverter(std::initializer_list<const char*> names) {
    for (const char* name : names)
      if ((cd_ = iconv_open("UCS-4BE", name)) != kClosed) break;
  }
  ~UcsConverter() {
    if (cd_ != kClosed) iconv_close(cd_);
  }
  bool open() const { return cd_ != kClosed; }
  /// The code point of `bytes`, one whole character; 0 if they are not.
  char32_t operator()(const char* bytes, size_t n) {
    unsigned char out[4];
    if (!open() ||
        convertOne(cd_, bytes, n, reinterpret_cast<char*>(out), sizeof out) != 4)
      return 0;
    return static_cast<char32_t>(out[0]) << 24 | out[1] << 16 | out[2] << 8 | out[3];
  }

 private:
  static inline const iconv_t kClosed = reinterpret_cast<iconv_t>(-1);
  iconv_t cd_ = kClosed;
};

// The characters of JIS X 0208 as the C library's EUC-JP converter knows
// them: in rows 1-8 symbols, kana, Greek, Cyrillic and lines, in rows
// 16-84 kanji; the rest of those rows is empty (code point 0). Without
// the converter every cell of those rows counts as used.
struct JisCells {
  std::array<char32_t, 94 * 94> cp{};
  JisCells() {
    UcsConverter euc({"EUC-JP"});
    for (int row = 1; row <= 84; ++row) {
      if (row > 8 && row < 16) continue;
      for (int cell = 1; cell <= 94; ++cell) {
        char code[2] = {static_cast<char>(0xA0 + row),
                        static_cast<char>(0xA0 + cell)};
        cp[(row - 1) * 94 + cell - 1] = euc.open() ? euc(code, 2) : 0xFFFD;
      }
    }
  }
};

bool inJisX0208(int first, int second) { return jisCodePoint(first, second); }

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

const Char kGeta = {kKanji, kGetaFirst, kGetaSecond};

// A kanji if the EUC code is in JIS X 0208, else the geta mark.
Char kanjiOrGeta(unsigned code) {
  int first = static_cast<int>(code >> 8);
  int second = static_cast<int>(code & 0xFF);
  return inJisX0208(first, second) ? Char{kKanji, first, second} : kGeta;
}

// Blocks whose characters the full Japanese glyph set of a printer's CID
// fonts (Adobe-Japan1) holds beyond JIS X 0208: the letters of JIS X 0212
// and 0213, symbols, enclosed and squared forms, kana extensions and the
// kanji of the Windows sets and of the CJK extensions. Other scripts
// (Hangul, emoji and the like) keep the geta mark.
const struct {
  char32_t lo, hi;
} kExtraBlocks[] = {
    {0x0100, 0x024F},   {0x0370, 0x04FF},   {0x2000, 0x2BFF},
    {0x2E80, 0x2FDF},   {0x3000, 0x33FF},   {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF},   {0xF900, 0xFAFF},   {0xFE30, 0xFE4F},
    {0xFF00, 0xFFEF},   {0x1F100, 0x1F2FF}, {0x20000, 0x2FA1F},
};

// A character for the font that reaches the whole glyph set, or the geta
// mark for one outside those blocks, unassigned, private or invisible.
Char extraOrGeta(char32_t cp) {
  for (const auto& block : kExtraBlocks) {
    if (cp < block.lo || cp > block.hi) continue;
    if (uc_is_general_category(cp, UC_CATEGORY_C) ||
        uc_is_general_category(cp, UC_CATEGORY_Zl) ||
        uc_is_general_category(cp, UC_CATEGORY_Zp))
      return kGeta;
    return {kExtra, static_cast<int>(cp), 0};
  }
  return kGeta;
}

UcsConverter& eucUcs() {
  static UcsConverter c({"EUC-JP-MS", "EUC-JP"});
  return c;
}
UcsConverter& sjisUcs() {
  static UcsConverter c({"CP932", "SHIFT_JIS"});
  return c;
}

// Most marks that may follow one character to compose with it.
const size_t kMostMarks = 30;

// Whether a code point alone is already composed (NFC): most are.
bool composedAlone(char32_t cp) {
  if (cp < 0x80) return true;
  uint8_t bytes[4];
  int n = u8_uctomb(bytes, cp, sizeof bytes);
  uint8_t out[16];
  size_t length = sizeof out;
  uint8_t* r = u8_normalize(UNINORM_NFC, bytes, static_cast<size_t>(n), out,
                            &length);
  bool same = r && length == static_cast<size_t>(n) &&
              std::memcmp(r, bytes, length) == 0;
  if (r && r != out) std::free(r);
  return same;
}

// Characters that show nothing and take no column: zero-width spaces and
// joiners, a byte order mark inside the text, variation selectors. The
// soft hyphen, a Latin-1 character, keeps its place in the English font.
bool showsNothing(char32_t cp) {
  return cp > 0xFF && uc_is_property_default_ignorable_code_point(cp);
}

// The converters' answers, shared by all decoders of the process.
JisMemo& utf8Memo() {
  static JisMemo memo("UTF-8");
  return memo;
}
JisMemo& sjisMemo() {
  static JisMemo memo("CP932");
  return memo;
}

// Latin-1 to the English font, half-width katakana to the kana font,
// what JIS X 0208 has to the kanji font, the rest of the Japanese glyph
// set to the fourth font; `bytes` its UTF-8.
Char printedFor(char32_t cp, const char* bytes, size_t n) {
  if (cp < 0x80) return {kSingleByte, static_cast<int>(cp), 0};
  if (cp < 0xA0) return kGeta;
  if (cp >= 0x10000) return extraOrGeta(cp);
  if (cp < 0x100)
    return {kSingleByte, cp == 0xFF ? kLatinYDieresis : static_cast<int>(cp),
            0};
  if (cp >= 0xFF61 && cp <= 0xFF9F)
    return {kKana, static_cast<int>(cp - 0xFF61 + 0xA1), 0};
  unsigned code = utf8Memo().euc(cp, bytes, n);
  return code > kNoCharacter ? kanjiOrGeta(code) : extraOrGeta(cp);
}

// The same for a character of another encoding whose code point is `cp`
// (0: none).
Char printedFor(char32_t cp) {
  uint8_t bytes[4];
  int n = cp ? u8_uctomb(bytes, cp, sizeof bytes) : -1;
  if (n <= 0) return kGeta;
  return printedFor(cp, reinterpret_cast<const char*>(bytes), static_cast<size_t>(n));
}

}  // namespace

std::string printedAs(std::string_view text, int encoding) {
  Reader in(text);
  Decoder d(in, encoding);
  std::string s;
  for (Char c; d.next(&c);) {
    if (c.cls == kExtra)
      s += {static_cast<char>(kExtra | (c.byte >> 16) << 2),
            static_cast<char>(c.byte >> 8), static_cast<char>(c.byte)};
    else
      s += {static_cast<char>(c.cls), static_cast<char>(c.byte),
            static_cast<char>(c.second)};
  }
  return s;
}

char32_t jisCodePoint(int first, int second) {
  static const JisCells cells;
  int row = first - 0xA0, cell = second - 0xA0;
  if (row < 1 || row > 94 || cell < 1 || cell > 94) return 0;
  return cells.cp[(row - 1) * 94 + cell - 1];
}

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
  char out[8];
  size_t length = convertOne(static_cast<iconv_t>(cd_), bytes, n, out, sizeof out);
  if (length == 0) return kNoCharacter;
  if (length != 2) return 0;
  unsigned code = static_cast<unsigned char>(out[0]) << 8 |
                  static_cast<unsigned char>(out[1]);
  return inJisX0208(static_cast<int>(code >> 8), static_cast<int>(code & 0xFF))
             ? code
             : 0;
}

Decoder::Decoder(Reader& in, int encoding)
    : in_(in), encoding_(encoding),
      composing_(encoding == ENCODING_Auto || encoding == ENCODING_Utf8) {
  // A byte order mark opens many UTF-8 files; it is not text, and it
  // tells the encoding.
  if (encoding_ != ENCODING_Euc && encoding_ != ENCODING_Sjis &&
      in_.peek(3) == "\xEF\xBB\xBF") {
    in_.skip(3);
    encoding_ = ENCODING_Utf8;
  }
}

bool Decoder::skipLineFeed() {
  if (queued_ < queue_.size()) return false;
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

void Decoder::geta(Char* c) {
  ++malformed_;
  *c = kGeta;
}

// `b`: a byte above ASCII, a carriage return, or an ASCII byte before a
// byte above ASCII.
bool Decoder::decode(int b, Char* c) {
  if (b == '\r') {
    *c = {kSingleByte, take('\n', '\n') < 0 ? '\r' : '\n', 0};
    return true;
  }
  if (encoding_ == ENCODING_Auto) {
    if (b >= 0x80) in_.unget(b);
    decideEncoding(b < 0x80 ? b : -1);
    if (b >= 0x80) in_.get();
    composing_ = encoding_ == ENCODING_Utf8;
  }
  if (encoding_ == ENCODING_Utf8) return utf8(b, c);
  if (b < 0x80)
    *c = {kSingleByte, b, 0};
  else if (encoding_ == ENCODING_Sjis)
    sjis(b, c);
  else
    euc(b, c);
  return true;
}

void Decoder::decideEncoding(int before) {
  std::string_view ahead = in_.peek(kDetectWindow);
  Guess g = guessEncoding(ahead, before, ahead.size() == kDetectWindow);
  encoding_ = g.encoding;
  // A close call matters only when the two readings print differently.
  if (g.margin < kCloseCall && printedAs(ahead, g.encoding) !=
                                   printedAs(ahead, g.next))
    runnerUp_ = g.next;
}

// EUC-JP: SS2 and a kana, SS3 and two bytes of JIS X 0212, or two bytes
// A1-FE of JIS X 0208 (or of the Windows rows of EUC-JP-MS).
void Decoder::euc(int b, Char* c) {
  if (b == 0x8E) {
    int kana = take(0xA1, 0xDF);
    if (kana < 0)
      geta(c);
    else
      *c = {kKana, kana, 0};
  } else if (b == 0x8F) {
    int first = take(0xA1, 0xFE);
    int second = first < 0 ? -1 : take(0xA1, 0xFE);
    char bytes[3] = {static_cast<char>(b), static_cast<char>(first),
                     static_cast<char>(second)};
    *c = second < 0 ? kGeta : printedFor(eucUcs()(bytes, 3));
  } else if (b >= 0xA1 && b <= 0xFE) {
    int second = take(0xA1, 0xFE);
    if (second < 0) {
      geta(c);
    } else if (inJisX0208(b, second)) {
      *c = {kKanji, b, second};
    } else {
      char bytes[2] = {static_cast<char>(b), static_cast<char>(second)};
      *c = printedFor(eucUcs()(bytes, 2));
    }
  } else {
    geta(c);
  }
}

// Reads the well-formed UTF-8 sequence that `b` starts into `bytes` (its
// length `n`) and `cp`; false, with nothing more taken, when it is
// malformed.
bool Decoder::codePoint(int b, char* bytes, size_t* n, char32_t* cp) {
  const Utf8Lead* lead = utf8Lead(b);
  if (b >= 0x80 && !lead) return false;
  int length = lead ? lead->length : 1;
  bytes[0] = static_cast<char>(b);
  *cp = static_cast<char32_t>(b) & (0x7Fu >> (length - 1));
  for (int k = 1; k < length; ++k) {
    int x = k == 1 ? take(lead->secondLo, lead->secondHi) : take(0x80, 0xBF);
    if (x < 0) return false;
    bytes[k] = static_cast<char>(x);
    *cp = *cp << 6 | (static_cast<char32_t>(x) & 0x3F);
  }
  *n = static_cast<size_t>(length);
  return true;
}

// What a code point of the first plane prints as and how it composes,
// remembered: the character in the low 24 bits, and flags.
const uint32_t kKnown = 1u << 24;
const uint32_t kShowsNothing = 1u << 25;
const uint32_t kDecomposes = 1u << 26;  // not composed when it stands alone
const uint32_t kMark = 1u << 27;        // composes with what stands before

uint32_t Decoder::codeInfo(char32_t cp, const char* bytes, size_t n) {
  static std::array<std::unique_ptr<std::array<uint32_t, 256>>, 256> pages;
  auto& page = pages[cp >> 8];
  if (!page) page = std::make_unique<std::array<uint32_t, 256>>();
  uint32_t& info = (*page)[cp & 0xFF];
  if (!info) {
    Char c = printedFor(cp, bytes, n);
    info = kKnown | static_cast<uint32_t>(c.cls) << 16;
    if (c.cls != kExtra)
      info |= static_cast<uint32_t>(c.byte) << 8 | static_cast<uint32_t>(c.second);
    if (showsNothing(cp)) info |= kShowsNothing;
    if (!composedAlone(cp)) info |= kDecomposes;
    if (uc_combining_class(cp)) info |= kMark;
  }
  return info;
}

// The length of the combining mark the input holds next, or 0.
size_t Decoder::markAhead() {
  std::string_view ahead = in_.buffered();
  if (ahead.size() < 4) ahead = in_.peek(4);
  // Marks start at U+0300, lead byte CC.
  if (ahead.empty() || static_cast<unsigned char>(ahead[0]) < 0xCC) return 0;
  ucs4_t cp;
  int n = u8_mbtoucr(&cp, reinterpret_cast<const uint8_t*>(ahead.data()),
                     ahead.size());
  if (n <= 0) return 0;
  bool mark = cp < 0x10000 ? codeInfo(cp, ahead.data(), static_cast<size_t>(n)) & kMark
                           : uc_combining_class(cp) != 0;
  return mark ? static_cast<size_t>(n) : 0;
}

// UTF-8: a character and the marks that follow it, composed; false at the
// end of the input when only characters that show nothing were left.
bool Decoder::utf8(int b, Char* c) {
  for (;; b = in_.get()) {
    if (b < 0) return false;
    char bytes[4];
    size_t n;
    char32_t cp;
    if (!codePoint(b, bytes, &n, &cp)) {
      geta(c);
      return true;
    }
    if (cp < 0x10000 && !markAhead()) {
      uint32_t info = codeInfo(cp, bytes, n);
      if (info & kShowsNothing) continue;
      if (!(info & kDecomposes)) {
        auto cls = static_cast<CharClass>(info >> 16 & 3);
        *c = cls == kExtra ? Char{kExtra, static_cast<int>(cp), 0}
                           : Char{cls, static_cast<int>(info >> 8 & 0xFF),
                                  static_cast<int>(info & 0xFF)};
        return true;
      }
    }
    if (compose(std::string(bytes, n), c)) return true;
  }
}

// A character (`bytes`) and the marks that follow it, composed; the first
// character to `c`, the others queued. False when nothing shows.
bool Decoder::compose(std::string bytes, Char* c) {
  for (size_t n, marks = 0; marks < kMostMarks && (n = markAhead()); ++marks) {
    bytes.append(in_.peek(n));
    in_.skip(n);
  }
  size_t length = 0;
  uint8_t* composed =
      u8_normalize(UNINORM_NFC, reinterpret_cast<const uint8_t*>(bytes.data()),
                   bytes.size(), nullptr, &length);
  if (composed) {
    bytes.assign(reinterpret_cast<char*>(composed), length);
    std::free(composed);
  }
  const uint8_t* s = reinterpret_cast<const uint8_t*>(bytes.data());
  queue_.clear();
  queued_ = 0;
  ucs4_t cp;
  for (size_t at = 0, n; at < bytes.size(); at += n) {
    n = static_cast<size_t>(u8_mbtouc(&cp, s + at, bytes.size() - at));
    if (!showsNothing(cp))
      queue_.push_back(printedFor(cp, bytes.data() + at, n));
  }
  if (queue_.empty()) return false;
  *c = queue_[queued_++];
  return true;
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
  unsigned code = sjisMemo().euc(static_cast<unsigned>(b << 8 | second), bytes, 2);
  *c = code != 0 ? kanjiOrGeta(code) : printedFor(sjisUcs()(bytes, 2));
}
