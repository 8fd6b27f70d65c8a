// The TIFF reader (libtiff): one-bit (fax coded too), gray, palette, RGB
// and CMYK, 8 or 16 bits, stripped or tiled, one page per directory.
#ifndef IMGTOPS_TIFFIMAGE_H_
#define IMGTOPS_TIFFIMAGE_H_

#include <memory>
#include <string>
#include <string_view>

#include "imagereader.h"

class Reader;
struct JobContext;

/// Whether the input begins with a TIFF (or BigTIFF) header.
bool looksLikeTiff(std::string_view head);

/// Copies the input to a temporary file (TIFF must be read out of order)
/// and reads the first directory. One-bit images stay one bit deep;
/// others become 8-bit gray. Refuses (refuseInput) what libtiff cannot
/// read and sizes beyond maxImagePixels.
std::unique_ptr<ImageReader> openTiff(Reader& in, const JobContext& job);

#endif  // IMGTOPS_TIFFIMAGE_H_
