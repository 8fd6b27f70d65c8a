// Run-length coding of rows in the RunLengthDecode format, sent on
// through ASCII85: a length byte, then a literal of up to 128 bytes or
// one byte repeated up to 128 times; 128 ends the data.
#ifndef IMGTOPS_RUNLENGTH_H_
#define IMGTOPS_RUNLENGTH_H_

#include <cstddef>
#include <cstdint>

#include "ascii85.h"

/// Codes rows one after another onto a writer, ASCII85 encoded.
class RunLengthEncoder {
 public:
  explicit RunLengthEncoder(Writer& out) : text_(out) {}
  /// Codes one row, then a newline.
  void row(const uint8_t* bytes, size_t count);
  /// The end-of-data byte 128, then the end of the ASCII85 data.
  void end();

 private:
  size_t putRepeat(const uint8_t* p, size_t left);
  size_t putLiteral(const uint8_t* p, size_t left);
  Ascii85Encoder text_;
};

#endif  // IMGTOPS_RUNLENGTH_H_
