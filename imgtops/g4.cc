#include "g4.h"

#include <new>
#include <string>
#include <vector>

#include "options.h"
#include "writer.h"

namespace {

/// One code word: the run length or mode it stands for, its bits (right-
/// aligned) and its length in bits.
struct Code {
  int key;
  uint16_t bits;
  uint8_t length;
};

// Two-dimensional mode codes.
enum Mode { P = 0, H = 1, V0 = 2, VR1 = 3, VR2 = 4, VR3 = 5, VL1 = 6,
            VL2 = 7, VL3 = 8 };

const Code modeCodes[9] = {
    {P, 0b0001, 4},      {H, 0b001, 3},       {V0, 0b1, 1},
    {VR1, 0b011, 3},     {VR2, 0b000011, 6},  {VR3, 0b0000011, 7},
    {VL1, 0b010, 3},     {VL2, 0b000010, 6},  {VL3, 0b0000010, 7},
};

// Terminating codes, white runs 0..63.
const Code whiteTerminating[64] = {
    {0, 0b00110101, 8}, {1, 0b000111, 6},   {2, 0b0111, 4},
    {3, 0b1000, 4},     {4, 0b1011, 4},     {5, 0b1100, 4},
    {6, 0b1110, 4},     {7, 0b1111, 4},     {8, 0b10011, 5},
    {9, 0b10100, 5},    {10, 0b00111, 5},   {11, 0b01000, 5},
    {12, 0b001000, 6},  {13, 0b000011, 6},  {14, 0b110100, 6},
    {15, 0b110101, 6},  {16, 0b101010, 6},  {17, 0b101011, 6},
    {18, 0b0100111, 7}, {19, 0b0001100, 7}, {20, 0b0001000, 7},
    {21, 0b0010111, 7}, {22, 0b0000011, 7}, {23, 0b0000100, 7},
    {24, 0b0101000, 7}, {25, 0b0101011, 7}, {26, 0b0010011, 7},
    {27, 0b0100100, 7}, {28, 0b0011000, 7}, {29, 0b00000010, 8},
    {30, 0b00000011, 8}, {31, 0b00011010, 8}, {32, 0b00011011, 8},
    {33, 0b00010010, 8}, {34, 0b00010011, 8}, {35, 0b00010100, 8},
    {36, 0b00010101, 8}, {37, 0b00010110, 8}, {38, 0b00010111, 8},
    {39, 0b00101000, 8}, {40, 0b00101001, 8}, {41, 0b00101010, 8},
    {42, 0b00101011, 8}, {43, 0b00101100, 8}, {44, 0b00101101, 8},
    {45, 0b00000100, 8}, {46, 0b00000101, 8}, {47, 0b00001010, 8},
    {48, 0b00001011, 8}, {49, 0b01010010, 8}, {50, 0b01010011, 8},
    {51, 0b01010100, 8}, {52, 0b01010101, 8}, {53, 0b00100100, 8},
    {54, 0b00100101, 8}, {55, 0b01011000, 8}, {56, 0b01011001, 8},
    {57, 0b01011010, 8}, {58, 0b01011011, 8}, {59, 0b01001010, 8},
    {60, 0b01001011, 8}, {61, 0b00110010, 8}, {62, 0b00110011, 8},
    {63, 0b00110100, 8},
};

// Terminating codes, black runs 0..63.
const Code blackTerminating[64] = {
    {0, 0b0000110111, 10},   {1, 0b010, 3},           {2, 0b11, 2},
    {3, 0b10, 2},            {4, 0b011, 3},           {5, 0b0011, 4},
    {6, 0b0010, 4},          {7, 0b00011, 5},         {8, 0b000101, 6},
    {9, 0b000100, 6},        {10, 0b0000100, 7},      {11, 0b0000101, 7},
    {12, 0b0000111, 7},      {13, 0b00000100, 8},     {14, 0b00000111, 8},
    {15, 0b000011000, 9},    {16, 0b0000010111, 10},  {17, 0b0000011000, 10},
    {18, 0b0000001000, 10},  {19, 0b00001100111, 11}, {20, 0b00001101000, 11},
    {21, 0b00001101100, 11}, {22, 0b00000110111, 11}, {23, 0b00000101000, 11},
    {24, 0b00000010111, 11}, {25, 0b00000011000, 11},
    {26, 0b000011001010, 12}, {27, 0b000011001011, 12},
    {28, 0b000011001100, 12}, {29, 0b000011001101, 12},
    {30, 0b000001101000, 12}, {31, 0b000001101001, 12},
    {32, 0b000001101010, 12}, {33, 0b000001101011, 12},
    {34, 0b000011010010, 12}, {35, 0b000011010011, 12},
    {36, 0b000011010100, 12}, {37, 0b000011010101, 12},
    {38, 0b000011010110, 12}, {39, 0b000011010111, 12},
    {40, 0b000001101100, 12}, {41, 0b000001101101, 12},
    {42, 0b000011011010, 12}, {43, 0b000011011011, 12},
    {44, 0b000001010100, 12}, {45, 0b000001010101, 12},
    {46, 0b000001010110, 12}, {47, 0b000001010111, 12},
    {48, 0b000001100100, 12}, {49, 0b000001100101, 12},
    {50, 0b000001010010, 12}, {51, 0b000001010011, 12},
    {52, 0b000000100100, 12}, {53, 0b000000110111, 12},
    {54, 0b000000111000, 12}, {55, 0b000000100111, 12},
    {56, 0b000000101000, 12}, {57, 0b000001011000, 12},
    {58, 0b000001011001, 12}, {59, 0b000000101011, 12},
    {60, 0b000000101100, 12}, {61, 0b000001011010, 12},
    {62, 0b000001100110, 12}, {63, 0b000001100111, 12},
};

// Extended make-up codes 1792..2560, the same for both colours.
#define EXTENDED_MAKEUP                                                    \
  {1792, 0b00000001000, 11}, {1856, 0b00000001100, 11},                    \
  {1920, 0b00000001101, 11}, {1984, 0b000000010010, 12},                   \
  {2048, 0b000000010011, 12}, {2112, 0b000000010100, 12},                  \
  {2176, 0b000000010101, 12}, {2240, 0b000000010110, 12},                  \
  {2304, 0b000000010111, 12}, {2368, 0b000000011100, 12},                  \
  {2432, 0b000000011101, 12}, {2496, 0b000000011110, 12},                  \
  {2560, 0b000000011111, 12}

// Make-up codes, white runs 64..2560 (index run / 64 - 1).
const Code whiteMakeUp[40] = {
    {64, 0b11011, 5},        {128, 0b10010, 5},       {192, 0b010111, 6},
    {256, 0b0110111, 7},     {320, 0b00110110, 8},    {384, 0b00110111, 8},
    {448, 0b01100100, 8},    {512, 0b01100101, 8},    {576, 0b01101000, 8},
    {640, 0b01100111, 8},    {704, 0b011001100, 9},   {768, 0b011001101, 9},
    {832, 0b011010010, 9},   {896, 0b011010011, 9},   {960, 0b011010100, 9},
    {1024, 0b011010101, 9},  {1088, 0b011010110, 9},  {1152, 0b011010111, 9},
    {1216, 0b011011000, 9},  {1280, 0b011011001, 9},  {1344, 0b011011010, 9},
    {1408, 0b011011011, 9},  {1472, 0b010011000, 9},  {1536, 0b010011001, 9},
    {1600, 0b010011010, 9},  {1664, 0b011000, 6},     {1728, 0b010011011, 9},
    EXTENDED_MAKEUP,
};

// Make-up codes, black runs 64..2560 (index run / 64 - 1).
const Code blackMakeUp[40] = {
    {64, 0b0000001111, 10},     {128, 0b000011001000, 12},
    {192, 0b000011001001, 12},  {256, 0b000001011011, 12},
    {320, 0b000000110011, 12},  {384, 0b000000110100, 12},
    {448, 0b000000110101, 12},  {512, 0b0000001101100, 13},
    {576, 0b0000001101101, 13}, {640, 0b0000001001010, 13},
    {704, 0b0000001001011, 13}, {768, 0b0000001001100, 13},
    {832, 0b0000001001101, 13}, {896, 0b0000001110010, 13},
    {960, 0b0000001110011, 13}, {1024, 0b0000001110100, 13},
    {1088, 0b0000001110101, 13}, {1152, 0b0000001110110, 13},
    {1216, 0b0000001110111, 13}, {1280, 0b0000001010010, 13},
    {1344, 0b0000001010011, 13}, {1408, 0b0000001010100, 13},
    {1472, 0b0000001010101, 13}, {1536, 0b0000001011010, 13},
    {1600, 0b0000001011011, 13}, {1664, 0b0000001100100, 13},
    {1728, 0b0000001100101, 13},
    EXTENDED_MAKEUP,
};

#undef EXTENDED_MAKEUP

const int kLongestMakeUp = 2560;

// Bit-scanning tables: leading 0 bits and leading 1 bits of each byte,
// counted from the most significant bit.
struct LeadingBits {
  uint8_t zeros[256];
  uint8_t ones[256];
};

constexpr LeadingBits makeLeadingBits() {
  LeadingBits t{};
  for (int b = 0; b < 256; ++b) {
    int n = 0;
    while (n < 8 && !(b & (0x80 >> n))) ++n;
    t.zeros[b] = static_cast<uint8_t>(n);
    n = 0;
    while (n < 8 && (b & (0x80 >> n))) ++n;
    t.ones[b] = static_cast<uint8_t>(n);
  }
  return t;
}

constexpr LeadingBits leading = makeLeadingBits();

// Byte masks for n = 0..7: the top n bits set, and the low 8 - n bits set.
const uint8_t topBits[8] = {0x00, 0x80, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE};
const uint8_t fromBit[8] = {0xFF, 0x7F, 0x3F, 0x1F, 0x0F, 0x07, 0x03, 0x01};

/// Appends code words at a running bit position; bits before the start
/// position are kept.
struct BitWriter {
  uint8_t* out;
  size_t bit;

  void put(const Code& c) {
    uint8_t* p = out + (bit >> 3);
    int used = static_cast<int>(bit & 7);
    // Up to 13 bits after up to 7 used bits: three bytes at most.
    uint32_t v = uint32_t{c.bits} << (24 - used - c.length);
    p[0] = static_cast<uint8_t>((p[0] & topBits[used]) | (v >> 16));
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v);
    bit += c.length;
  }
};

void putRun(BitWriter& w, int run, const Code* makeUp, const Code* term) {
  while (run > 63) {
    int m = run >= kLongestMakeUp ? kLongestMakeUp : run / 64 * 64;
    w.put(makeUp[m / 64 - 1]);
    run -= m;
  }
  w.put(term[run]);
}

/// First position >= pos holding a 1 bit, or width.
int nextOne(const uint8_t* row, int pos, int width) {
  while (pos < width) {
    uint8_t b = row[pos >> 3] & fromBit[pos & 7];
    if (b == 0) {
      pos = (pos | 7) + 1;
      continue;
    }
    pos = (pos & ~7) + leading.zeros[b];
    return pos < width ? pos : width;
  }
  return width;
}

/// First position >= pos holding a 0 bit, or width.
int nextZero(const uint8_t* row, int pos, int width) {
  while (pos < width) {
    uint8_t b = row[pos >> 3] | topBits[pos & 7];
    if (b == 0xFF) {
      pos = (pos | 7) + 1;
      continue;
    }
    pos = (pos & ~7) + leading.ones[b];
    return pos < width ? pos : width;
  }
  return width;
}

void passMode(BitWriter& w) { w.put(modeCodes[P]); }

void verticalMode(BitWriter& w, int delta) {
  static const Mode byDelta[7] = {VL3, VL2, VL1, V0, VR1, VR2, VR3};
  w.put(modeCodes[byDelta[delta + 3]]);
}

void horizontalMode(BitWriter& w, bool white, int run1, int run2) {
  w.put(modeCodes[H]);
  if (white) {
    putRun(w, run1, whiteMakeUp, whiteTerminating);
    putRun(w, run2, blackMakeUp, blackTerminating);
  } else {
    putRun(w, run1, blackMakeUp, blackTerminating);
    putRun(w, run2, whiteMakeUp, whiteTerminating);
  }
}

/// Index of b1 on the reference row: the first change right of a0 to
/// the colour opposite a0's, searched from the last b1 at `j`. Steps
/// back first: after vertical mode with a1 left of b1 (VL1..VL3) a0 lies
/// left of the old b1, and the change just before it, passed over only
/// for its colour, may now lie right of a0 with the colour wanted.
size_t findB1(const int32_t* ref, size_t j, int a0, bool white) {
  while (j > 0 && ref[j - 1] > a0) --j;
  while (ref[j] <= a0) ++j;
  if ((j & 1) != (white ? 0u : 1u)) ++j;
  return j;
}

}  // namespace

G4Coder::G4Coder(int width) : width_(width) {
  try {
    if (width < 0) throw std::bad_alloc();
    for (Changes& r : rows_) {
      r.reserve(static_cast<size_t>(width) + 4);
      r.insert(r.end(), 3, width);  // a white row: no changes
    }
  } catch (const std::bad_alloc&) {
    throw FatalError{"no memory for Group 4 coding of rows " +
                         std::to_string(width) + " pixels wide\n",
                     255};
  }
}

size_t G4Coder::rowBound() const {
  // Every coding step moves a0 right by at least one pixel, so a row has
  // at most width + 1 steps; the costliest, horizontal mode, takes 3 bits
  // plus two terminating codes (at most 12 bits each) plus make-up codes
  // (at most 13 bits per 64 pixels of run).
  size_t steps = static_cast<size_t>(width_) + 1;
  size_t bits = steps * 27 + (steps / 64 + 2) * 13 * 2;
  return bits / 8 + 1 + 3;
}

/// Finds the changing elements of a row.
void G4Coder::findChanges(const uint8_t* row, Changes& changes) const {
  int w = width_;
  changes.clear();
  for (int pos = nextOne(row, 0, w); pos < w; pos = nextOne(row, pos, w)) {
    changes.push_back(pos);
    pos = nextZero(row, pos + 1, w);
    if (pos >= w) break;
    changes.push_back(pos);
    ++pos;
  }
  changes.insert(changes.end(), 3, w);
}

size_t g4EndOfBlock(uint8_t* output, int bitPosition) {
  const Code eol = {0, 0x001, 12};
  BitWriter w{output, static_cast<size_t>(bitPosition)};
  w.put(eol);
  w.put(eol);
  return w.bit - static_cast<size_t>(bitPosition);
}

size_t putWhiteRun(uint8_t* output, int bitPosition, int run) {
  BitWriter w{output, static_cast<size_t>(bitPosition)};
  putRun(w, run, whiteMakeUp, whiteTerminating);
  return w.bit - static_cast<size_t>(bitPosition);
}

size_t putBlackRun(uint8_t* output, int bitPosition, int run) {
  BitWriter w{output, static_cast<size_t>(bitPosition)};
  putRun(w, run, blackMakeUp, blackTerminating);
  return w.bit - static_cast<size_t>(bitPosition);
}

// One row in the two-dimensional coding of T.6, against the row before it
// (all white above the first row). The coding procedure, step by step:
//  1. a0 is where coding stands on the coding row: first an imaginary white
//     element just left of the row, later the element a mode ended on.
//  2. Detect a1, the next change right of a0 on the coding row; b1, the
//     first change right of a0 on the reference row to the colour opposite
//     a0's; b2, the next change after b1.
//  3. Pass mode when b2 lies left of a1: the reference row's run b1..b2 has
//     no counterpart; a0 moves under b2 and keeps its colour.
//  4. Vertical mode when |a1 - b1| <= 3: one code gives a1 as an offset from
//     b1; a0 moves to a1 and changes colour.
//  5. Otherwise horizontal mode: the runs a0..a1 and a1..a2 (a2 the change
//     after a1) in the one-dimensional codes; a0 moves to a2.
// Even entries of a change list are changes to black, odd ones to white;
// three entries at the width end every list, so b2 and a2 always exist.
size_t G4Coder::codeRow(const uint8_t* row, uint8_t* output, int bitPosition) {
  findChanges(row, *coding_);
  const int w = width_;
  const int32_t* ref = reference_->data();
  const int32_t* cod = coding_->data();
  BitWriter out{output, static_cast<size_t>(bitPosition)};
  bool white = true;
  int a0 = -1;
  size_t i = 0;  // coding row: cod[i] is a1
  size_t j = 0;  // reference row: ref[j] is b1
  while (a0 < w) {
    while (cod[i] <= a0) ++i;
    int a1 = cod[i];
    j = findB1(ref, j, a0, white);
    int b1 = ref[j];
    int b2 = ref[j + 1];
    if (b2 < a1) {
      passMode(out);
      a0 = b2;
    } else if (a1 - b1 >= -3 && a1 - b1 <= 3) {
      verticalMode(out, a1 - b1);
      a0 = a1;
      white = !white;
    } else {
      int a2 = cod[i + 1];
      horizontalMode(out, white, a1 - (a0 < 0 ? 0 : a0), a2 - a1);
      a0 = a2;
    }
  }
  std::swap(reference_, coding_);
  return out.bit - static_cast<size_t>(bitPosition);
}

Group4Encoder::Group4Encoder(int width, Writer& out)
    : coder_(width), text_(out), code_(coder_.rowBound() + 1, 0) {}

void Group4Encoder::put(uint8_t byte) {
  text_.put(byte);
  if (++written_ % 60 == 0) text_.lineBreak();
}

// Sends the bytes before bit `endBit`; the unfinished byte moves to the
// front.
void Group4Encoder::passWholeBytes(size_t endBit) {
  for (size_t i = 0; i < endBit / 8; ++i) put(code_[i]);
  code_[0] = code_[endBit / 8];
  bit_ = static_cast<int>(endBit % 8);
}

void Group4Encoder::row(const uint8_t* bits) {
  passWholeBytes(size_t(bit_) + coder_.codeRow(bits, code_.data(), bit_));
}

void Group4Encoder::end() {
  // Decoders read ahead of the last row's code: the end-of-block code
  // gives them what to read, so that no decoder loses the last row.
  passWholeBytes(size_t(bit_) + g4EndOfBlock(code_.data(), bit_));
  if (bit_ > 0) put(static_cast<uint8_t>(code_[0] & (0xFF00 >> bit_)));
  text_.end();
}
