// CCITT Group 4 (T.6) encoder for 1-bit rows: every row coded two-
// dimensionally against the row above, rows not byte-aligned, the block
// closed by the end-of-facsimile-block code. 1 bits are black.
#ifndef IMGTOPS_G4_H_
#define IMGTOPS_G4_H_

#include <cstddef>
#include <cstdint>

/// Prepares the working arrays for an image of `width` pixels; the row
/// above the first is all white. 0 ready, 1 out of memory.
int g4Setup(int width);

/// Bytes to reserve per row (an average; a single row may need more).
size_t g4RowCapacity(int width);
/// Bytes that any single row's code fits in, plus the three bytes the bit
/// writer may touch beyond its last bit.
size_t g4RowBound(int width);

/// Codes one row (most significant bit = leftmost pixel) starting at bit
/// `bitPosition` (0..7) of `*output`, keeping the bits before it. Returns
/// the number of bits written. The row becomes the reference row.
size_t g4EncodeRow(const uint8_t* row, uint8_t* output, int bitPosition);

/// Writes EOFB, the end-of-facsimile-block code (two EOL codes), after
/// the last row, at bit `bitPosition` of `*output`; returns the bits
/// written (24), touching at most the five bytes from `output`.
size_t g4EndOfBlock(uint8_t* output, int bitPosition);

/// Writes the make-up and terminating codes of a white (black) run.
size_t putWhiteRun(uint8_t* output, int bitPosition, int run);
size_t putBlackRun(uint8_t* output, int bitPosition, int run);

#endif  // IMGTOPS_G4_H_
