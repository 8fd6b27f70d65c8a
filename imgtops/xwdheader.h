// The header of an X window dump: its 25 fields, and which headers the
// converter reads.
#ifndef IMGTOPS_XWDHEADER_H_
#define IMGTOPS_XWDHEADER_H_

#include <cstddef>
#include <cstdint>

/// Size of the fixed part of a dump header.
const size_t kDumpHeaderSize = 100;
/// The version every window dump carries.
const uint32_t kDumpVersion = 7;

/// The 25 fields of a dump header, in file order.
struct DumpHeader {
  uint32_t header_size;  // header plus window name
  uint32_t file_version;
  uint32_t pixmap_format;  // 0 XYBitmap, 1 XYPixmap, 2 ZPixmap
  uint32_t pixmap_depth;
  uint32_t pixmap_width;
  uint32_t pixmap_height;
  uint32_t xoffset;
  uint32_t byte_order;  // 0 LSBFirst, 1 MSBFirst
  uint32_t bitmap_unit;
  uint32_t bitmap_bit_order;  // 0 LSBFirst, 1 MSBFirst
  uint32_t bitmap_pad;
  uint32_t bits_per_pixel;
  uint32_t bytes_per_line;
  uint32_t visual_class;  // 0 StaticGray ... 5 DirectColor
  uint32_t red_mask;
  uint32_t green_mask;
  uint32_t blue_mask;
  uint32_t bits_per_rgb;
  uint32_t colormap_entries;
  uint32_t ncolors;  // colormap records that follow the window name
  uint32_t window_width;
  uint32_t window_height;
  uint32_t window_x;
  uint32_t window_y;
  uint32_t window_bdrwidth;
};

/// Visual classes.
enum VisualClass { StaticGray = 0, GrayScale = 1, StaticColor = 2,
                   PseudoColor = 3, TrueColor = 4, DirectColor = 5 };

/// Decodes the 100 header bytes, most significant byte first.
void readDumpHeader(const uint8_t bytes[kDumpHeaderSize], DumpHeader* h);
/// 1 when the converter reads this dump, 0 when it is refused.
int checkDumpHeader(const DumpHeader& h);
/// Whether the header holds values no dump has: sizes of 0 or beyond
/// the limits, a row length that does not fit the width, an unknown
/// format.
bool damagedDumpHeader(const DumpHeader& h);

/// Bits one pixel takes in a stored row.
unsigned pixelBits(const DumpHeader& h);
/// Bytes of a stored row that hold pixels.
size_t rowBytesNeeded(const DumpHeader& h);
/// Bytes of a row after normalisation.
size_t normalizedRowBytes(const DumpHeader& h);

/// A 32-bit field, most significant byte first.
uint32_t bigEndian32(const uint8_t* p);

#endif  // IMGTOPS_XWDHEADER_H_
