#include "gray.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

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

}  // namespace
