#include "linebreak.h"

#include <unilbrk.h>

namespace {

const char32_t kGeta = 0x3013;
const char32_t kHalfWidthKanaBase = 0xFF61 - 0xA1;

// The code point a character prints as; 0 for controls and spaces.
char32_t printed(const Char& c) {
  switch (c.cls) {
    case kSingleByte:
      if (c.byte <= 0x20 || c.byte == 0x7F) return 0;
      return c.byte == kLatinYDieresis ? 0xFF : static_cast<char32_t>(c.byte);
    case kKana:
      return kHalfWidthKanaBase + static_cast<char32_t>(c.byte);
    case kExtra:
      return static_cast<char32_t>(c.byte);
    default: {
      char32_t cp = jisCodePoint(c.byte, c.second);
      if (cp == 0x3000) return 0;
      return cp ? cp : kGeta;
    }
  }
}

}  // namespace

bool heldTogether(const Char& a, const Char& b) {
  if (a.cls == kSingleByte && b.cls == kSingleByte) return false;
  uint32_t pair[2] = {printed(a), printed(b)};
  if (!pair[0] || !pair[1]) return false;
  char breaks[2];
  u32_possible_linebreaks(pair, 2, "UTF-8", breaks);
  return breaks[1] == UC_BREAK_PROHIBITED;
}
