// The JPEG reader (libjpeg-turbo): baseline and progressive, gray, colour
// and CMYK, turned upright by the EXIF orientation.
#ifndef IMGTOPS_JPEGIMAGE_H_
#define IMGTOPS_JPEGIMAGE_H_

#include <memory>
#include <string>
#include <string_view>

#include "imagereader.h"

class Reader;
struct JobContext;

/// Whether the input begins with a JPEG start-of-image marker.
bool looksLikeJpeg(std::string_view head);

/// Reads the header; scanlines are decoded as the document asks for them
/// (all of them first when the EXIF orientation turns the image). Refuses
/// (refuseInput) what libjpeg cannot read and sizes beyond maxImagePixels.
std::unique_ptr<ImageReader> openJpeg(Reader& in, const JobContext& job);

/// The EXIF orientation (1 to 8) in the data of an APP1 marker; 1 when it
/// holds none.
int exifOrientation(const uint8_t* data, size_t size);

#endif  // IMGTOPS_JPEGIMAGE_H_
