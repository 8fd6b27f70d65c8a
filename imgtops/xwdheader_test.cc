#include "xwdheader.h"

#include <gtest/gtest.h>

#include <string>

#include "testdump.h"

namespace {

DumpHeader headerOf(const TestDump& d) {
  std::string bytes = d.bytes();
  DumpHeader h;
  readDumpHeader(reinterpret_cast<const uint8_t*>(bytes.data()), &h);
  return h;
}

TEST(XwdHeader, HeaderIsMostSignificantByteFirst) {
  std::string bytes(100, '\0');
  bytes[16 + 2] = 0x02;
  bytes[16 + 3] = char(0x80);
  DumpHeader h;
  readDumpHeader(reinterpret_cast<const uint8_t*>(bytes.data()), &h);
  EXPECT_EQ(640u, h.pixmap_width);
}

TEST(XwdHeader, AcceptanceByClassDepthAndFormat) {
  EXPECT_EQ(1, checkDumpHeader(headerOf(TestDump(8, 4, 4, PseudoColor))));
  EXPECT_EQ(1, checkDumpHeader(headerOf(TestDump(4, 4, 4, PseudoColor))));
  EXPECT_EQ(0, checkDumpHeader(headerOf(TestDump(16, 4, 4, PseudoColor))));
  EXPECT_EQ(0, checkDumpHeader(headerOf(TestDump(8, 4, 4, GrayScale))));
  EXPECT_EQ(0, checkDumpHeader(headerOf(TestDump(8, 4, 4, StaticColor))));
  EXPECT_EQ(1, checkDumpHeader(headerOf(TestDump(24, 4, 4, DirectColor))));
  EXPECT_EQ(1, checkDumpHeader(headerOf(TestDump(8, 4, 4, DirectColor))));
  EXPECT_EQ(1, checkDumpHeader(headerOf(TestDump(24, 4, 4, TrueColor))));
  EXPECT_EQ(1, checkDumpHeader(headerOf(TestDump(16, 4, 4, TrueColor))));
  TestDump xy(1, 4, 4, StaticGray);
  xy.field[TestDump::kFormat] = 1;
  EXPECT_EQ(1, checkDumpHeader(headerOf(xy)));
  TestDump xyTrue(1, 4, 4, TrueColor);
  xyTrue.field[TestDump::kFormat] = 1;
  EXPECT_EQ(0, checkDumpHeader(headerOf(xyTrue)));
  // Depths without a conversion are refused before any output.
  EXPECT_EQ(0, checkDumpHeader(headerOf(TestDump(2, 4, 4, StaticGray))));
  EXPECT_EQ(0, checkDumpHeader(headerOf(TestDump(20, 4, 4, TrueColor))));
  EXPECT_EQ(1, checkDumpHeader(headerOf(TestDump(30, 4, 4, TrueColor))));
}

TEST(XwdHeader, HeadersThatMakeNoSenseAreRefused) {
  auto refused = [](int field, uint32_t value) {
    TestDump d(8, 16, 16, PseudoColor);
    d.field[field] = value;
    // Refused, and named as damage rather than as a kind not printed.
    return checkDumpHeader(headerOf(d)) == 0 && damagedDumpHeader(headerOf(d));
  };
  EXPECT_TRUE(refused(TestDump::kHeaderSize, 99));
  EXPECT_TRUE(refused(TestDump::kHeaderSize, 0xFFFFFFFF));
  EXPECT_TRUE(refused(TestDump::kWidth, 0));
  EXPECT_TRUE(refused(TestDump::kHeight, 0));
  EXPECT_TRUE(refused(TestDump::kWidth, 0x40000000));
  EXPECT_TRUE(refused(TestDump::kHeight, 0xFFFFFFFF));
  EXPECT_TRUE(refused(TestDump::kBytesPerLine, 15));
  EXPECT_TRUE(refused(TestDump::kBytesPerLine, 0xFFFFFFF0));
  EXPECT_TRUE(refused(TestDump::kColours, 0x10000000));
  EXPECT_TRUE(refused(TestDump::kFormat, 7));
  EXPECT_FALSE(refused(TestDump::kBytesPerLine, 20));
  EXPECT_FALSE(damagedDumpHeader(headerOf(TestDump(8, 4, 4, StaticColor))));
  EXPECT_FALSE(damagedDumpHeader(headerOf(TestDump(20, 4, 4, TrueColor))));
}

}  // namespace
