// Gray levels of colour pixels and the two text encodings of the image
// data: run-length (RunLengthDecode format) and ASCII85.
#ifndef IMGTOPS_PROCESSENCODE_H_
#define IMGTOPS_PROCESSENCODE_H_

#include <cstddef>
#include <cstdint>

class Writer;

/// 8-bit gray of a colour: 0.3 R + 0.59 G + 0.11 B, truncated, at most 255.
uint8_t grayLevel(uint8_t red, uint8_t green, uint8_t blue);
/// 4-bit gray of a colour: the 8-bit gray scaled to 0..15, rounded.
uint8_t grayLevel4(uint8_t red, uint8_t green, uint8_t blue);

/// Empties the pending ASCII85 group.
void beginAscii85();
/// Adds one byte; writes a full group as five characters or "z".
void putAscii85(Writer& out, uint8_t byte);
/// Adds `count` bytes.
void putAscii85(Writer& out, const uint8_t* bytes, size_t count);
/// Writes the pending partial group and the end marker "~>".
void endAscii85(Writer& out);

/// Run-length codes one row through the ASCII85 encoder, then a newline.
void runLengthRow(Writer& out, const uint8_t* bytes, size_t count);
/// Feeds the end-of-data byte 128, then ends the ASCII85 data.
void endRunLength(Writer& out);

#endif  // IMGTOPS_PROCESSENCODE_H_
