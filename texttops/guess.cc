#include "guess.h"

#include <iconv.h>
#include <unictype.h>
#include <uniname.h>
#include <uninorm.h>

#include <cstdlib>
#include <cstring>

#include <array>
#include <string>
#include <vector>

#include "decode.h"
#include "options.h"
#include "reader.h"

namespace {

// What a character of one reading is, for its cost.
enum Kind {
  kControl,      // ASCII control
  kAsciiWord,    // ASCII letter or digit
  kAsciiOther,   // ASCII space or punctuation
  kLatinLetter,  // Latin-1 letter (UTF-8 only)
  kLatinOther,   // Latin-1 sign
  kHalfKana,     // half-width katakana
  kHiragana,
  kKatakana,
  kKanji1,       // the first level of JIS X 0208, the common kanji
  kKanji2,       // the second level
  kPunct,        // Japanese punctuation, long vowel and iteration marks
  kWideAlnum,    // full-width digits and letters
  kSymbol,       // signs, arrows, lines
  kForeign,      // Greek and Cyrillic of JIS X 0208
  kNoFont,       // a character none of the fonts has
  kAstral,       // one beyond the first plane of Unicode (UTF-8 only)
  kMalformed,    // a byte sequence that is no character
  kKinds
};

// What a character of each kind costs a reading: roughly how unlikely it
// is in Japanese text, in bits. A reading that needs fewer characters for
// the same bytes, or more common ones, costs less.
const double kCost[kKinds] = {
    2, 10, 8, 20, 22, 0, 8, 10, 13, 19, 9, 13, 15, 18, 25, 45, 50,
};
// An ASCII letter alone between characters of other kinds.
const double kLoneLetterCost = 17;
// A Latin-1 letter or sign next to an ASCII letter, digit or another
// Latin-1 letter: a word of a European language in UTF-8.
const double kLatinInWordCost = 6;
// Half-width kana come in runs: the first of a run costs much, the others
// less. One-byte kana (Shift_JIS) cost more, so that two or four bytes
// read as one or two kanji of EUC-JP; a run of them reads as kana when it
// is long or holds a byte EUC-JP cannot pair.
const double kKanaRunStart[2] = {30, 24};  // one byte; two or three bytes
const double kKanaRunStep[2] = {5, 1};
// A half-width kana where katakana never stands: a sound mark that does
// not compose with the kana before it, a small kana or long vowel mark
// that starts a word, two punctuation marks in a row.
const double kKanaMisplaced = 20;
// A sound mark that composes with the kana before it, as in ｶﾞ: what a
// run of kana read in the wrong encoding seldom shows.
const double kKanaVoiced = -14;

// What a half-width kana is in a word, from the Unicode classes.
enum KanaRole { kLetter, kSmall, kSoundMark, kLongVowel, kStop };

char32_t halfKana(int byte) { return static_cast<char32_t>(0xFF61 + byte - 0xA1); }

KanaRole kanaRole(int byte) {
  char32_t cp = halfKana(byte);
  if (uc_is_general_category(cp, UC_CATEGORY_P)) return kStop;
  int tag;
  ucs4_t wide[UC_DECOMPOSITION_MAX_LENGTH];
  if (uc_decomposition(cp, &tag, wide) == 1 && uc_combining_class(wide[0]))
    return kSoundMark;
  if (uc_is_general_category(cp, UC_CATEGORY_Lm)) return kLongVowel;
  char name[UNINAME_MAX];
  if (unicode_character_name(cp, name) && std::strstr(name, " SMALL "))
    return kSmall;
  return kLetter;
}

// Whether the kana `b` may follow `a` (0: `b` starts the run): -1 not,
// 1 a sound mark that composes with it, 0 for the others.
int kanaFit(int a, int b) {
  static const auto roles = [] {
    std::array<KanaRole, 64> r{};
    for (int x = 0xA1; x <= 0xDF; ++x) r[x - 0xA1] = kanaRole(x);
    return r;
  }();
  KanaRole rb = roles[b - 0xA1];
  if (!a) return rb == kLetter || rb == kStop ? 0 : -1;
  KanaRole ra = roles[a - 0xA1];
  if (rb == kSoundMark) {
    // The two compose into one voiced or semi-voiced katakana.
    ucs4_t pair[2] = {halfKana(a), halfKana(b)};
    size_t n = 0;
    ucs4_t* r = u32_normalize(UNINORM_NFKC, pair, 2, nullptr, &n);
    std::free(r);
    return ra == kLetter && n == 1 ? 1 : -1;
  }
  return rb != kLetter && ra == kStop ? -1 : 0;
}

// Kind of a JIS X 0208 character, from its row (kanji levels) or from
// the class of its code point.
Kind jisKind(int first, int second) {
  int row = first - 0xA0;
  if (row >= 16) return row < 48 ? kKanji1 : kKanji2;
  char32_t cp = jisCodePoint(first, second);
  const uc_script_t* script = uc_script(cp);
  if (script == uc_script(U'あ')) return kHiragana;
  if (script == uc_script(U'ア')) return kKatakana;
  if (script == uc_script(U'α') || script == uc_script(U'я')) return kForeign;
  if (uc_is_general_category(cp, UC_CATEGORY_P) ||
      uc_is_general_category(cp, UC_CATEGORY_Lm) ||
      uc_is_general_category(cp, UC_CATEGORY_Lo))
    return kPunct;
  if (uc_is_general_category(cp, UC_CATEGORY_L) ||
      uc_is_general_category(cp, UC_CATEGORY_N))
    return kWideAlnum;
  return kSymbol;
}

Kind kindOf(const Char& c) {
  if (c.cls == kKana) return kHalfKana;
  // Outside JIS X 0208: as rare as a character no font has.
  if (c.cls == kExtra) return kNoFont;
  if (c.cls == kKanji) {
    if (c.byte == kGetaFirst && c.second == kGetaSecond) return kNoFont;
    static std::array<int8_t, 94 * 94> kinds = [] {
      std::array<int8_t, 94 * 94> k;
      k.fill(-1);
      return k;
    }();
    int8_t& k = kinds[(c.byte - 0xA1) * 94 + c.second - 0xA1];
    if (k < 0) k = static_cast<int8_t>(jisKind(c.byte, c.second));
    return static_cast<Kind>(k);
  }
  int b = c.byte;
  if (b < 0x20 || b == 0x7F) return kControl;
  if (b < 0x80) return uc_is_alnum(static_cast<char32_t>(b)) ? kAsciiWord
                                                               : kAsciiOther;
  char32_t cp = b == kLatinYDieresis ? 0xFF : static_cast<char32_t>(b);
  return uc_is_alpha(cp) ? kLatinLetter : kLatinOther;
}

// `bytes` converted by iconv, or "" where they cannot be.
std::string convert(std::string_view bytes, const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return "";
  char out[16];
  char* in = const_cast<char*>(bytes.data());
  char* o = out;
  size_t inLeft = bytes.size(), outLeft = sizeof out;
  size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
  iconv_close(cd);
  return r == static_cast<size_t>(-1) ? "" : std::string(out, o);
}

// Whether a Shift_JIS pair is the code Windows writes for its character:
// CP932 has some characters twice (the NEC-selected rows), and text
// holds the other code.
bool writtenCode(std::string_view pair) {
  static std::vector<int8_t> known(65536, -1);
  int8_t& k = known[static_cast<unsigned char>(pair[0]) << 8 |
                    static_cast<unsigned char>(pair[1])];
  if (k < 0)
    k = convert(convert(pair, "UTF-8", "CP932"), "CP932", "UTF-8") == pair;
  return k;
}

// A character of one reading: its kind, and a half-width kana's byte.
struct Item {
  Kind kind;
  int kana;
};

// The characters of `text` read in `encoding`.
std::vector<Item> readAs(std::string_view text, int encoding) {
  Reader in(text);
  Decoder d(in, encoding);
  std::vector<Item> items;
  Char c;
  for (size_t bad = 0, left = text.size(); d.next(&c);
       bad = d.malformed(), left = in.buffered().size()) {
    Kind k = d.malformed() > bad ? kMalformed : kindOf(c);
    size_t n = left - in.buffered().size();
    std::string_view bytes = text.substr(text.size() - left, n);
    if (k == kNoFont && n == 4) k = kAstral;
    // What composing made ASCII, as U+037E the semicolon, is rare.
    if ((k == kAsciiWord || k == kAsciiOther) && n > 1) k = kSymbol;
    if (encoding == ENCODING_Sjis && c.cls == kKanji && n == 2 &&
        !writtenCode(bytes))
      k = kNoFont;
    items.push_back({k, k == kHalfKana ? c.byte : 0});
  }
  return items;
}

bool wordLike(Kind k) { return k == kAsciiWord || k == kLatinLetter; }

// What the characters of a reading cost; `wide`: its half-width kana
// take more than one byte.
double cost(const std::vector<Item>& items, Kind before, bool wide) {
  double sum = 0;
  int run = 0;  // half-width kana in a row
  for (size_t i = 0; i < items.size(); ++i) {
    Kind k = items[i].kind;
    run = k == kHalfKana ? run + 1 : 0;
    if (run) {
      sum += run == 1 ? kKanaRunStart[wide] : kKanaRunStep[wide];
      int fit = kanaFit(run == 1 ? 0 : items[i - 1].kana, items[i].kana);
      sum += fit < 0 ? kKanaMisplaced : fit > 0 ? kKanaVoiced : 0;
    } else if (k == kLatinLetter || k == kLatinOther || k == kAsciiWord) {
      bool word = wordLike(i ? items[i - 1].kind : before) ||
                  (i + 1 < items.size() && wordLike(items[i + 1].kind));
      if (k == kAsciiWord)
        sum += word || (i && items[i - 1].kind == kAsciiOther) ? kCost[k]
                                                               : kLoneLetterCost;
      else
        sum += word ? kLatinInWordCost : kCost[k];
    } else {
      sum += kCost[k];
    }
  }
  return sum;
}

}  // namespace

Guess guessEncoding(std::string_view text, int before, bool more) {
  // A character cut by the end of what is seen is no fault of the text.
  if (more && text.rfind('\n') != std::string_view::npos)
    text = text.substr(0, text.rfind('\n') + 1);
  Kind context = before < 0 ? kControl
                            : kindOf(Char{kSingleByte, before & 0x7F, 0});
  const int order[3] = {ENCODING_Euc, ENCODING_Utf8, ENCODING_Sjis};
  double costs[3];
  int top = 0;
  for (int i = 0; i < 3; ++i) {
    costs[i] = cost(readAs(text, order[i]), context,
                    order[i] != ENCODING_Sjis);
    if (costs[i] < costs[top]) top = i;
  }
  int next = top == 0 ? 1 : 0;
  for (int i = 0; i < 3; ++i)
    if (i != top && costs[i] < costs[next]) next = i;
  return {order[top], order[next], costs[next] - costs[top]};
}
