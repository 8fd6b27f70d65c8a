// Builds window dumps for tests: a header with sensible values for the
// depth, a window name, colormap records and raw row bytes.
#ifndef IMGTOPS_TESTDUMP_H_
#define IMGTOPS_TESTDUMP_H_

#include <array>
#include <cstdint>
#include <string>
#include <vector>

/// A dump under construction; `field` indexes the 25 header words.
struct TestDump {
  uint32_t field[25] = {};
  std::string windowName;
  std::vector<std::array<uint8_t, 3>> colours;
  std::vector<uint32_t> pixels;  // each record's pixel value; index if absent
  std::string rows;

  enum { kHeaderSize = 0, kFormat = 2, kDepth = 3, kWidth = 4, kHeight = 5,
         kByteOrder = 7, kUnit = 8, kBitOrder = 9, kPad = 10, kBpp = 11,
         kBytesPerLine = 12, kClass = 13, kRed = 14, kGreen = 15, kBlue = 16,
         kEntries = 18, kColours = 19 };

  /// A ZPixmap of `depth`, MSBFirst, 8-bit units, rows padded to bytes.
  TestDump(uint32_t depth, uint32_t width, uint32_t height, uint32_t klass) {
    uint32_t bpp = depth == 1 ? 1 : depth == 4 ? 4 : depth <= 8 ? 8
                 : depth <= 16 ? 16 : 32;
    field[kHeaderSize] = 100;
    field[1] = 7;
    field[kFormat] = 2;
    field[kDepth] = depth;
    field[kWidth] = width;
    field[kHeight] = height;
    field[kByteOrder] = 1;
    field[kUnit] = 8;
    field[kBitOrder] = 1;
    field[kPad] = 8;
    field[kBpp] = bpp;
    field[kBytesPerLine] = (width * bpp + 7) / 8;
    field[kClass] = klass;
    field[17] = 8;
  }

  void addColour(uint8_t r, uint8_t g, uint8_t b) { colours.push_back({r, g, b}); }

  static void put32(std::string& s, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) s += char(v >> shift);
  }

  std::string bytes() const {
    std::string s;
    uint32_t f[25];
    std::copy(field, field + 25, f);
    if (f[kHeaderSize] == 100) f[kHeaderSize] = uint32_t(100 + windowName.size());
    if (f[kColours] == 0) f[kColours] = uint32_t(colours.size());
    if (f[kEntries] == 0) f[kEntries] = f[kColours];
    for (uint32_t v : f) put32(s, v);
    s += windowName;
    for (size_t i = 0; i < colours.size(); ++i) {
      const auto& c = colours[i];
      put32(s, i < pixels.size() ? pixels[i] : uint32_t(i));
      for (uint8_t v : c) {
        s += char(v);
        s += char(v);
      }
      s += char(7);
      s += char(0);
    }
    return s + rows;
  }
};

#endif  // IMGTOPS_TESTDUMP_H_
