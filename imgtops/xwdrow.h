// The stored rows of an X window dump in every layout X writes, brought
// into one layout.
#ifndef IMGTOPS_XWDROW_H_
#define IMGTOPS_XWDROW_H_

#include <cstddef>
#include <cstdint>

#include "xwdheader.h"

/// Brings one stored row into the layout the converter reads: 1-bit rows
/// most significant bit leftmost; 4-bit rows two pixels a byte, left pixel
/// high; 8-bit rows a byte a pixel; deeper pixels as 4 bytes, the pixel
/// value most significant byte first.
void normalizeRow(const DumpHeader& h, const uint8_t* source, size_t length,
                  uint8_t* destination);

#endif  // IMGTOPS_XWDROW_H_
