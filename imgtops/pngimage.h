// The PNG reader (libpng): every colour type and depth, interlaced files,
// transparency laid on white.
#ifndef IMGTOPS_PNGIMAGE_H_
#define IMGTOPS_PNGIMAGE_H_

#include <memory>
#include <string>
#include <string_view>

#include "imagereader.h"

class Reader;
struct JobContext;

/// Whether the input begins with the PNG signature.
bool looksLikePng(std::string_view head);

/// Reads up to the first row. A one-bit gray image without transparency
/// stays one bit deep; every other becomes 8-bit gray. Refuses
/// (refuseInput) what libpng cannot read and sizes beyond maxImagePixels.
std::unique_ptr<ImageReader> openPng(Reader& in, const JobContext& job);

#endif  // IMGTOPS_PNGIMAGE_H_
