// The image filter's gray raster seam: a reader turns one image format
// into rows of gray samples; the document writer prints any reader.
#ifndef IMGTOPS_IMAGEREADER_H_
#define IMGTOPS_IMAGEREADER_H_

#include <cstddef>
#include <cstdint>
#include <string>

/// One image source, page by page, each page row by row from the top.
/// Rows come upright: a reader whose source records a turn (an EXIF
/// orientation) turns the image before it hands rows out.
struct ImageReader {
  virtual ~ImageReader() = default;

  /// Pixels across and rows down the current page.
  uint32_t width = 0;
  uint32_t height = 0;
  /// Bits of each sample nextRow() gives: 1 (a set bit prints black), or
  /// 4 or 8 (0 prints black, the highest value white).
  int bits = 8;
  /// Bits of a pixel in the source (1 to 32), before it became gray.
  int sourceDepth = 8;
  /// The source's resolution in pixels per inch across and down; 0 when
  /// the source does not say.
  double dpiX = 0;
  double dpiY = 0;

  /// Bytes of one row: samples packed from the most significant bit,
  /// every row starting on a byte; bits after the last sample print
  /// nowhere.
  size_t rowBytes() const { return (size_t{width} * unsigned(bits) + 7) / 8; }
  /// The next row of the current page, valid until the next call. Asked
  /// `height` times a page; a source that ends early gives white rows and
  /// says so in warning(), or nullptr to end the image there.
  virtual const uint8_t* nextRow() = 0;
  /// Moves to the next page of a source of several, setting its size;
  /// false when there is none.
  virtual bool nextPage() { return false; }
  /// What the source lacked, told once the document is written (rows
  /// printed white); empty when it was whole.
  virtual std::string warning() const { return {}; }
};

#endif  // IMGTOPS_IMAGEREADER_H_
