#include "g4.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The bits [from, from + count) of a buffer as a string of 0 and 1.
std::string bitsOf(const std::vector<uint8_t>& buf, size_t from, size_t count) {
  std::string s;
  for (size_t i = from; i < from + count; ++i)
    s += (buf[i / 8] >> (7 - i % 8)) & 1 ? '1' : '0';
  return s;
}

// Encodes rows (each a vector of row bytes) into one stream; returns the
// stream as a bit string.
std::string encode(int width, const std::vector<std::vector<uint8_t>>& rows) {
  G4Coder coder(width);
  std::vector<uint8_t> buf(rows.size() * coder.rowBound() + 8, 0);
  size_t bit = 0;
  for (const auto& row : rows)
    bit += coder.codeRow(row.data(), &buf[bit / 8], int(bit % 8));
  return bitsOf(buf, 0, bit);
}

TEST(G4, AllWhiteRowIsOneVerticalZero) {
  EXPECT_EQ("1", encode(8, {{0x00}}));
  EXPECT_EQ("1", encode(1728, {std::vector<uint8_t>(216, 0)}));
  EXPECT_EQ("1", encode(13, {{0x00, 0x00}}));
}

TEST(G4, AllBlackRowIsHorizontalWhiteZeroBlackEight) {
  EXPECT_EQ("001" "00110101" "000101", encode(8, {{0xFF}}));
}

TEST(G4, BlackRunAfterWhiteRun) {
  EXPECT_EQ("001" "1011" "011" "1", encode(16, {{0x0F, 0x00}}));
}

TEST(G4, SecondIdenticalRowIsAllVerticalZero) {
  // Changing elements at 4 and 8: two V(0), then the final V(0).
  std::string two = encode(16, {{0x0F, 0x00}, {0x0F, 0x00}});
  EXPECT_EQ("001" "1011" "011" "1" "111", two);
}

TEST(G4, PassAndVerticalOffsets) {
  // Reference: black 0..7; coding row: white, so pass over b1 b2 ...
  std::string s = encode(16, {{0xFF, 0x00}, {0x00, 0x00}});
  EXPECT_EQ("001" "00110101" "000101" "1" "0001" "1", s);
  // Black 2..9 under black 0..7: VR(2) at 2, VR(2) at 10.
  s = encode(16, {{0xFF, 0x00}, {0x3F, 0xC0}});
  EXPECT_EQ("001" "00110101" "000101" "1" "000011" "000011" "1", s);
  // Black 1..6 under black 0..7: VR(1) at 1, VL(1) at 7.
  s = encode(16, {{0xFF, 0x00}, {0x7E, 0x00}});
  EXPECT_EQ("001" "00110101" "000101" "1" "011" "010" "1", s);
}

TEST(G4, HorizontalModeMayEndWithAnEmptyRun) {
  // A white row under a black one: b2 = a1 = 8, a1 - b1 = 8, so
  // horizontal mode with a white run of 8 and a black run of 0.
  EXPECT_EQ("001" "00110101" "000101" "001" "10011" "0000110111",
            encode(8, {{0xFF}, {0x00}}));
}

TEST(G4, TwentyBitsLeaveTheThirdRowAtBitFour) {
  G4Coder coder(8);
  std::vector<uint8_t> buf(16, 0);
  const uint8_t black = 0xFF;
  size_t bit = coder.codeRow(&black, &buf[0], 0);     // 17 bits
  const uint8_t shift = 0x7F;                          // VR(1), V(0)?
  bit += coder.codeRow(&shift, &buf[bit / 8], int(bit % 8));
  ASSERT_EQ(17u + 3u + 1u, bit);  // VR(1) "011", then final V(0) "1"
  // The previous rows' bits are kept when a row starts inside a byte.
  EXPECT_EQ("001" "00110101" "000101" "011" "1", bitsOf(buf, 0, bit));
  size_t before = bit;
  bit += coder.codeRow(&shift, &buf[bit / 8], int(bit % 8));
  EXPECT_EQ(5u, before % 8);
  EXPECT_EQ("11", bitsOf(buf, before, bit - before));
}

TEST(G4, MakeUpCodes) {
  std::vector<uint8_t> buf(16, 0);
  EXPECT_EQ(18u, putWhiteRun(buf.data(), 0, 2561));
  EXPECT_EQ("000000011111" "000111", bitsOf(buf, 0, 18));
  std::fill(buf.begin(), buf.end(), 0);
  EXPECT_EQ(20u, putBlackRun(buf.data(), 0, 64));
  EXPECT_EQ("0000001111" "0000110111", bitsOf(buf, 0, 20));
  std::fill(buf.begin(), buf.end(), 0);
  EXPECT_EQ(8u + 9u, putWhiteRun(buf.data(), 3, 1728));  // 1728 + 0
  EXPECT_EQ("010011011" "00110101", bitsOf(buf, 3, 17));
  // 5200 = 2560 + 2560 + 64 + 16.
  std::fill(buf.begin(), buf.end(), 0);
  EXPECT_EQ(12u + 12u + 10u + 10u, putBlackRun(buf.data(), 0, 5200));
  EXPECT_EQ("000000011111" "000000011111" "0000001111" "0000010111",
            bitsOf(buf, 0, 44));
}

TEST(G4, BitsBeforeTheStartAreKept) {
  std::vector<uint8_t> buf(8, 0);
  buf[0] = 0xA0;  // 101 already written
  putWhiteRun(buf.data(), 3, 2);  // 0111
  EXPECT_EQ("1010111", bitsOf(buf, 0, 7));
}

TEST(G4, RowBound) {
  // No single row, however busy, outgrows the bound: alternating pixels
  // under three-pixel runs.
  const int w = 1728;
  std::vector<uint8_t> threes(w / 8), alternate(w / 8, 0xAA);
  for (int x = 0; x < w; ++x)
    if ((x / 3) % 2) threes[x / 8] |= uint8_t(0x80 >> (x % 8));
  G4Coder coder(w);
  std::vector<uint8_t> buf(2 * coder.rowBound(), 0);
  size_t bits = coder.codeRow(threes.data(), buf.data(), 0);
  size_t more = coder.codeRow(alternate.data(), &buf[bits / 8], int(bits % 8));
  EXPECT_EQ(10942u, more);
  EXPECT_LE(more / 8 + 4, coder.rowBound());
}

TEST(G4, EachImageStartsUnderAWhiteRow) {
  EXPECT_EQ("001" "00110101" "000101", encode(8, {{0xFF}}));
  EXPECT_EQ("001" "00110101" "000101", encode(8, {{0xFF}}));
}

}  // namespace
