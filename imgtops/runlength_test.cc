#include "runlength.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run.h"
#include "writer.h"

namespace {

// Runs a row through the run-length coder and returns the coded bytes,
// the end-of-data byte 128 dropped.
std::vector<uint8_t> runLength(const std::vector<uint8_t>& row) {
  Writer out = Writer::memory();
  RunLengthEncoder coder(out);
  coder.row(row.data(), row.size());
  EXPECT_EQ('\n', out.str().back());
  coder.end();
  std::string bytes = decodeAscii85(out.str());
  EXPECT_EQ('\x80', bytes.back());
  return {bytes.begin(), bytes.end() - 1};
}

std::vector<uint8_t> decode85(const std::string& text) {
  std::string bytes = decodeAscii85(text);
  return {bytes.begin(), bytes.end()};
}

TEST(RunLength, RepeatRunsAndShortRows) {
  // 130 equal bytes: a run of 128, then a literal of the last two.
  std::vector<uint8_t> row(130, 0xAA);
  EXPECT_EQ((std::vector<uint8_t>{129, 0xAA, 1, 0xAA, 0xAA}), runLength(row));
  EXPECT_EQ((std::vector<uint8_t>{1, 5, 5}), runLength({5, 5}));
  EXPECT_EQ((std::vector<uint8_t>{254, 5}), runLength({5, 5, 5}));
  EXPECT_EQ((std::vector<uint8_t>{0, 9}), runLength({9}));
  EXPECT_EQ((std::vector<uint8_t>{1, 1, 2, 254, 3}), runLength({1, 2, 3, 3, 3}));
}

TEST(RunLength, LongLiteralsSplitAt125) {
  std::vector<uint8_t> row;
  for (int i = 0; i < 200; ++i) row.push_back(uint8_t(i));
  std::vector<uint8_t> coded = runLength(row);
  ASSERT_EQ(202u, coded.size());
  EXPECT_EQ(124, coded[0]);
  EXPECT_EQ(74, coded[126]);
  // A literal takes the last two bytes of a row rather than end short.
  row.resize(127);
  coded = runLength(row);
  EXPECT_EQ(126, coded[0]);
  EXPECT_EQ(128u, coded.size());
}

// Decodes the RunLengthDecode format.
std::vector<uint8_t> unRunLength(const std::vector<uint8_t>& coded) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < coded.size();) {
    int n = coded[i++];
    if (n == 128) break;
    if (n < 128) {
      bytes.insert(bytes.end(), coded.begin() + long(i), coded.begin() + long(i) + n + 1);
      i += size_t(n) + 1;
    } else {
      bytes.insert(bytes.end(), size_t(257 - n), coded[i++]);
    }
  }
  return bytes;
}

TEST(RunLength, RoundTripsMixedRowsAndEndsWithEndOfData) {
  std::vector<uint8_t> row;
  unsigned seed = 1;
  for (int i = 0; i < 5000; ++i) {
    seed = seed * 1103515245 + 12345;
    int kind = (seed >> 16) % 4;
    int n = 1 + int((seed >> 8) % 300);
    for (int k = 0; k < n; ++k)
      row.push_back(kind ? uint8_t(kind) : uint8_t((seed >> (k % 24)) & 0xFF));
  }
  Writer out = Writer::memory();
  RunLengthEncoder coder(out);
  coder.row(row.data(), row.size());
  coder.end();
  std::vector<uint8_t> coded = decode85(out.str());
  EXPECT_EQ(128, coded.back());
  EXPECT_EQ(row, unRunLength(coded));
}

}  // namespace
