#include "xwdrow.h"

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

std::string bitmapRow(uint32_t unit, uint32_t byteOrder, uint32_t bitOrder,
                      const std::string& stored, uint32_t width) {
  TestDump d(1, width, 1, StaticGray);
  d.field[TestDump::kUnit] = unit;
  d.field[TestDump::kByteOrder] = byteOrder;
  d.field[TestDump::kBitOrder] = bitOrder;
  d.field[TestDump::kBytesPerLine] = uint32_t(stored.size());
  DumpHeader h = headerOf(d);
  std::string out((width + 7) / 8, '\0');
  normalizeRow(h, reinterpret_cast<const uint8_t*>(stored.data()), stored.size(),
               reinterpret_cast<uint8_t*>(&out[0]));
  return out;
}

TEST(XwdRow, BitmapRowsOfEveryLayout) {
  // Pixels 0 and 9 and 31 black, as MSB-first bytes: 80 40 00 01.
  const std::string want("\x80\x40\x00\x01", 4);
  EXPECT_EQ(want, bitmapRow(8, 1, 1, want, 32));
  EXPECT_EQ(want, bitmapRow(8, 0, 1, want, 32));
  EXPECT_EQ(want, bitmapRow(8, 0, 0, std::string("\x01\x02\x00\x80", 4), 32));
  EXPECT_EQ(want, bitmapRow(32, 1, 1, want, 32));
  EXPECT_EQ(want, bitmapRow(32, 0, 0, std::string("\x01\x02\x00\x80", 4), 32));
  EXPECT_EQ(want, bitmapRow(32, 0, 1, std::string("\x01\x00\x40\x80", 4), 32));
  EXPECT_EQ(want, bitmapRow(32, 1, 0, std::string("\x80\x00\x02\x01", 4), 32));
  EXPECT_EQ(want, bitmapRow(16, 0, 1, std::string("\x40\x80\x01\x00", 4), 32));
  EXPECT_EQ(want, bitmapRow(16, 1, 0, std::string("\x02\x01\x80\x00", 4), 32));
  // A row shorter than its unit is not swapped, and nothing is read past it.
  EXPECT_EQ(std::string("\x80\x40", 2),
            bitmapRow(32, 0, 1, std::string("\x80\x40", 2), 16));
}

}  // namespace
