#include "processEncode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run.h"
#include "writer.h"

namespace {

std::string ascii85(const std::vector<uint8_t>& bytes) {
  Writer out = Writer::memory();
  beginAscii85();
  putAscii85(out, bytes.data(), bytes.size());
  endAscii85(out);
  return out.str();
}

std::vector<uint8_t> decode85(const std::string& text) {
  std::string bytes = decodeAscii85(text);
  return {bytes.begin(), bytes.end()};
}

// Runs a row through the run-length coder and returns the coded bytes.
std::vector<uint8_t> runLength(const std::vector<uint8_t>& row) {
  Writer out = Writer::memory();
  beginAscii85();
  runLengthRow(out, row.data(), row.size());
  std::string text = out.str();
  EXPECT_EQ('\n', text.back());
  endAscii85(out);
  return decode85(out.str());
}

TEST(GrayLevel, LuminanceTruncated) {
  EXPECT_EQ(76, grayLevel(255, 0, 0));
  EXPECT_EQ(150, grayLevel(0, 255, 0));
  EXPECT_EQ(28, grayLevel(0, 0, 255));
  EXPECT_EQ(255, grayLevel(255, 255, 255));
  EXPECT_EQ(0, grayLevel(0, 0, 0));
  EXPECT_EQ(100, grayLevel(100, 100, 100));
  // The same truncation as the formula written out, for every channel.
  for (int v = 0; v < 256; v += 3)
    for (int w = 0; w < 256; w += 5) {
      double l = 0.3 * v + 0.59 * w + 0.11 * (255 - v);
      EXPECT_EQ(l < 255 ? int(l) : 255, grayLevel(uint8_t(v), uint8_t(w), uint8_t(255 - v)));
    }
}

TEST(GrayLevel, FourBitSamplesSpanTheGrayRange) {
  EXPECT_EQ(15, grayLevel4(255, 255, 255));
  EXPECT_EQ(0, grayLevel4(0, 0, 0));
  // A mid gray stays a mid gray: 100 of 255 is nearest to 6 of 15.
  EXPECT_EQ(6, grayLevel4(100, 100, 100));
  EXPECT_EQ(4, grayLevel4(255, 0, 0));   // 76 / 17 = 4.47
  EXPECT_EQ(9, grayLevel4(0, 255, 0));   // 150 / 17 = 8.8
  for (int g = 0; g < 256; ++g) {
    uint8_t v = uint8_t(g);
    int s = grayLevel4(v, v, v);
    EXPECT_LE(std::abs(s * 17 - grayLevel(v, v, v)), 8) << g;
  }
}

TEST(Ascii85, FullGroups) {
  EXPECT_EQ("z~>", ascii85({0, 0, 0, 0}));
  EXPECT_EQ("s8W-!~>", ascii85({0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ("zs8W-!~>", ascii85({0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(Ascii85, PartialGroupsNeverUseZ) {
  EXPECT_EQ("!!~>", ascii85({0}));
  EXPECT_EQ("s8N~>", ascii85({0xFF, 0xFF}));
  EXPECT_EQ("!!!!~>", ascii85({0, 0, 0}));
  EXPECT_EQ("~>", ascii85({}));
}

TEST(Ascii85, RoundTripsEveryLength) {
  std::vector<uint8_t> bytes;
  for (int n = 0; n < 40; ++n) {
    EXPECT_EQ(bytes, decode85(ascii85(bytes))) << n;
    bytes.push_back(uint8_t(n * 37 + 11));
  }
}

TEST(Ascii85, BeginEmptiesThePendingGroup) {
  Writer out = Writer::memory();
  beginAscii85();
  putAscii85(out, 7);
  beginAscii85();
  endAscii85(out);
  EXPECT_EQ("~>", out.str());
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
  beginAscii85();
  runLengthRow(out, row.data(), row.size());
  endRunLength(out);
  std::vector<uint8_t> coded = decode85(out.str());
  EXPECT_EQ(128, coded.back());
  EXPECT_EQ(row, unRunLength(coded));
}

}  // namespace
