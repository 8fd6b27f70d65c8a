// The gray of a window dump's pixels: through its colour records, or
// through the channel masks of TrueColor and DirectColor dumps.
#ifndef IMGTOPS_XWDGRAY_H_
#define IMGTOPS_XWDGRAY_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "xwdheader.h"

/// The dump's colour records in file order: red, green, blue bytes and
/// the pixel value each record describes.
struct ColourTable {
  std::vector<uint8_t> rgb;
  std::vector<uint32_t> pixel;
  size_t size() const { return rgb.size() / 3; }
};

/// How a TrueColor or DirectColor pixel value becomes a colour: each
/// channel's bits, taken through its mask, index that channel's levels.
struct ChannelMaps {
  bool gray;  // masks equal or zero: the pixel value is a gray level
  uint32_t mask[3];
  int shift[3];
  uint32_t max[3];
  std::vector<uint8_t> level[3];  // by channel value, for max up to 64K

  /// One channel of a pixel, 0..255.
  uint8_t channel(int c, uint32_t pixel) const;
  uint8_t gray8(uint32_t pixel) const;
  uint8_t gray4(uint32_t pixel) const;
};

/// Turns normalised rows (see normalizeRow) into gray rows: 1 bit a
/// pixel for depth 1, 4 bits for depth 4, 8 bits for deeper dumps.
struct DumpGray {
  DumpGray(const DumpHeader& h, const ColourTable& colours);
  /// Bits of a gray sample.
  int bits() const;
  /// One row of gray samples from a normalised row.
  void convert(const uint8_t* pixels, uint8_t* gray) const;
  /// The normalised byte that fills a row the input did not deliver, so
  /// that it prints white (or as light as the colours allow).
  uint8_t white;

 private:
  const DumpHeader& h_;
  ChannelMaps maps_;
  std::vector<uint8_t> byValue_;  // gray of every 4-bit or 8-bit pixel
};

#endif  // IMGTOPS_XWDGRAY_H_
