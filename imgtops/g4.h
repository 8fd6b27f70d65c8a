// CCITT Group 4 (T.6) encoder for 1-bit rows: every row coded two-
// dimensionally against the row above, rows not byte-aligned, the block
// closed by the end-of-facsimile-block code. 1 bits are black.
#ifndef IMGTOPS_G4_H_
#define IMGTOPS_G4_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ascii85.h"

/// Codes the rows of one image, each against the one before it; the row
/// above the first is all white.
class G4Coder {
 public:
  /// For rows of `width` pixels. Throws FatalError when the working rows
  /// cannot be had.
  explicit G4Coder(int width);
  /// Codes one row (most significant bit = leftmost pixel) starting at bit
  /// `bitPosition` (0..7) of `*output`, keeping the bits before it. Returns
  /// the number of bits written. The row becomes the reference row.
  size_t codeRow(const uint8_t* row, uint8_t* output, int bitPosition);
  /// Bytes that any single row's code fits in, plus the three bytes the
  /// bit writer may touch beyond its last bit.
  size_t rowBound() const;

 private:
  /// The changing elements of one row: the positions where the colour
  /// changes, the first a change from white to black (so black runs start
  /// at even indices), followed by the width three times.
  using Changes = std::vector<int32_t>;
  void findChanges(const uint8_t* row, Changes& changes) const;
  int width_;
  Changes rows_[2];
  Changes* reference_ = &rows_[0];
  Changes* coding_ = &rows_[1];
};

/// One Group 4 block onto ASCII85 text, 60 bytes a line: whole bytes go
/// out as rows are coded, the bits of an unfinished byte wait for the
/// next row.
class Group4Encoder {
 public:
  /// For rows of `width` pixels. Throws FatalError when the encoder's
  /// memory cannot be had.
  Group4Encoder(int width, Writer& out);
  /// Codes one row of (width + 7) / 8 bytes.
  void row(const uint8_t* bits);
  /// The end-of-block code, the last byte padded, the end of the text.
  void end();

 private:
  void put(uint8_t byte);
  void passWholeBytes(size_t endBit);
  G4Coder coder_;
  Ascii85Encoder text_;
  std::vector<uint8_t> code_;  // the unfinished byte first
  int bit_ = 0;                // bits of code_[0] already coded
  size_t written_ = 0;
};

/// Writes EOFB, the end-of-facsimile-block code (two EOL codes), after
/// the last row, at bit `bitPosition` of `*output`; returns the bits
/// written (24), touching at most the five bytes from `output`.
size_t g4EndOfBlock(uint8_t* output, int bitPosition);

/// Writes the make-up and terminating codes of a white (black) run.
size_t putWhiteRun(uint8_t* output, int bitPosition, int run);
size_t putBlackRun(uint8_t* output, int bitPosition, int run);

#endif  // IMGTOPS_G4_H_
