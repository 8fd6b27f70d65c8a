// The image job driver: reads an X window dump (header, window name,
// colormap, rows) and writes it as one PostScript image document.
#ifndef IMGTOPS_PROCESSXWD_H_
#define IMGTOPS_PROCESSXWD_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "jobcontext.h"

class Reader;
class Writer;

/// Size of the fixed part of a dump header.
const size_t kDumpHeaderSize = 100;

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

/// The dump's colour records in file order: red, green, blue bytes and
/// the pixel value each record describes.
struct ColourTable {
  std::vector<uint8_t> rgb;
  std::vector<uint32_t> pixel;
  size_t size() const { return rgb.size() / 3; }
};

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

/// Reads the colormap records (their count is `ncolors`) into a table.
/// Returns false when the input ends first.
bool readColormap(Reader& in, const DumpHeader& h, ColourTable* table);

/// Brings one stored row into the layout the converter reads: 1-bit rows
/// most significant bit leftmost; 4-bit rows two pixels a byte, left pixel
/// high; 8-bit rows a byte a pixel; deeper pixels as 4 bytes, the pixel
/// value most significant byte first.
void normalizeRow(const DumpHeader& h, const uint8_t* source, size_t length,
                  uint8_t* destination);

/// Delivers the image rows one at a time, normalised. A row the input
/// does not deliver whole is filled with `white`.
struct RowSource {
  RowSource(Reader& in, const DumpHeader& h, uint8_t white);
  /// The next row, top to bottom. Throws JobInterrupted after SIGINT.
  const uint8_t* next();

  Reader& in;
  const DumpHeader& header;
  uint8_t white;
  uint32_t arrived = 0;  // rows read whole so far
  std::vector<uint8_t> stored;
  std::vector<uint8_t> row;
};

/// Converts one dump from `in` into a document on `out` for `job`.
/// Returns 1 when a document was written. Refuses (refuseInput)
/// empty input, what is not a window dump, a dump of a kind it does not
/// print and one with less than half its rows.
int convertWindowDump(const JobContext& job, Reader& in, Writer& out);

/// The document parts, in the order the driver writes them.
void writeImageSetup(Writer& out, const JobContext& job);
void writeImageProlog(const DumpHeader& h, Writer& out, int g4);
int writeImageData(const DumpHeader& h, const ColourTable& colours,
                   RowSource& rows, Writer& out, int g4);
void writeImageTrailer(Writer& out);

#endif  // IMGTOPS_PROCESSXWD_H_
