// What the image readers share: whole reads, the size limit, and a copy
// of the input in a file for the formats that must seek.
#ifndef IMGTOPS_RAWINPUT_H_
#define IMGTOPS_RAWINPUT_H_

#include <cstddef>
#include <cstdint>
#include <string>

class Reader;
struct JobContext;

/// The most pixels an image may have: a 600-dpi A3 scan has 70 million.
/// Larger images, and sides beyond kMaxImageSide, are refused before any
/// output, so a small file that claims a huge size prints nothing. The
/// fuzz targets lower the limit.
inline uint64_t maxImagePixels = uint64_t{1} << 28;
const uint32_t kMaxImageSide = 1 << 17;

/// Reads up to `n` bytes, fewer only at the end of the input.
size_t readFully(Reader& in, uint8_t* out, size_t n);

/// Refuses (refuseInput) an image beyond the limits above.
void refuseHugeImage(uint64_t width, uint64_t height, const JobContext& job);

/// The rest of `in` in an unnamed temporary file, at its start; the caller
/// closes it. Throws FatalError when no file can be made or written.
int copyToTemporaryFile(Reader& in, const JobContext& job);

/// A resolution in pixels per inch when it is one a printer could mean
/// (20 to 10000), else 0.
double saneDpi(double dpi);

#endif  // IMGTOPS_RAWINPUT_H_
