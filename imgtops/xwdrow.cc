#include "xwdrow.h"

#include <cstring>

namespace {

constexpr uint8_t reverseBits(uint8_t b) {
  uint8_t r = 0;
  for (int i = 0; i < 8; ++i)
    if (b & (1 << i)) r = static_cast<uint8_t>(r | (0x80 >> i));
  return r;
}

struct BitReversal {
  uint8_t of[256];
};

constexpr BitReversal makeBitReversal() {
  BitReversal t{};
  for (int b = 0; b < 256; ++b) t.of[b] = reverseBits(static_cast<uint8_t>(b));
  return t;
}

constexpr BitReversal reversed = makeBitReversal();

const uint32_t LSBFirst = 0;
const uint32_t MSBFirst = 1;

/// Depth 1: bitmap units swapped into most-significant-byte-first order,
/// bits reversed when the leftmost pixel is the least significant bit.
void normalizeBitmap(const DumpHeader& h, const uint8_t* src, size_t length,
                     uint8_t* dst) {
  size_t n = (size_t{h.pixmap_width} + 7) / 8;
  size_t unit = h.bitmap_unit == 16 || h.bitmap_unit == 32 ? h.bitmap_unit / 8 : 1;
  bool swap = unit > 1 && h.byte_order != h.bitmap_bit_order;
  bool reverse = h.bitmap_bit_order == LSBFirst;
  if (!swap && !reverse) {
    std::memcpy(dst, src, n);
    return;
  }
  for (size_t i = 0; i < n; ++i) {
    size_t from = i;
    size_t start = i / unit * unit;
    if (swap && start + unit <= length) from = start + (unit - 1 - i % unit);
    dst[i] = reverse ? reversed.of[src[from]] : src[from];
  }
}

/// Depth 4: left pixel into the high nibble.
void normalizeNibbles(const DumpHeader& h, const uint8_t* src, uint8_t* dst) {
  size_t w = h.pixmap_width;
  if (pixelBits(h) == 8) {
    for (size_t x = 0; x < w; x += 2) {
      uint8_t right = x + 1 < w ? src[x + 1] & 0x0F : 0;
      dst[x / 2] = static_cast<uint8_t>((src[x] & 0x0F) << 4 | right);
    }
    return;
  }
  size_t n = (w + 1) / 2;
  if (h.byte_order == MSBFirst) {
    std::memcpy(dst, src, n);
    return;
  }
  for (size_t i = 0; i < n; ++i)
    dst[i] = static_cast<uint8_t>(src[i] << 4 | src[i] >> 4);
}

/// Pixels of 2 or 3 bytes as 4 bytes, most significant first.
void widenPixels(const DumpHeader& h, size_t bytes, const uint8_t* src,
                 uint8_t* dst) {
  for (size_t x = 0; x < h.pixmap_width; ++x, src += bytes, dst += 4) {
    uint32_t v = 0;
    for (size_t i = 0; i < bytes; ++i) {
      size_t at = h.byte_order == MSBFirst ? i : bytes - 1 - i;
      v = v << 8 | src[at];
    }
    dst[0] = static_cast<uint8_t>(v >> 24);
    dst[1] = static_cast<uint8_t>(v >> 16);
    dst[2] = static_cast<uint8_t>(v >> 8);
    dst[3] = static_cast<uint8_t>(v);
  }
}

/// Deeper pixels: each value as 4 bytes, most significant first.
void normalizePixels(const DumpHeader& h, const uint8_t* src, uint8_t* dst) {
  size_t bytes = pixelBits(h) / 8;
  if (bytes < 4) return widenPixels(h, bytes, src, dst);
  if (h.byte_order == MSBFirst) {
    std::memcpy(dst, src, 4 * size_t{h.pixmap_width});
    return;
  }
  for (size_t x = 0; x < h.pixmap_width; ++x, src += 4, dst += 4) {
    dst[0] = src[3];
    dst[1] = src[2];
    dst[2] = src[1];
    dst[3] = src[0];
  }
}

}  // namespace

void normalizeRow(const DumpHeader& h, const uint8_t* source, size_t length,
                  uint8_t* destination) {
  switch (h.pixmap_depth) {
    case 1:
      normalizeBitmap(h, source, length, destination);
      break;
    case 4:
      normalizeNibbles(h, source, destination);
      break;
    case 8:
      std::memcpy(destination, source, h.pixmap_width);
      break;
    default:
      normalizePixels(h, source, destination);
      break;
  }
}

