#include "imageformat.h"

#include "jpegimage.h"
#include "pngimage.h"
#include "pnmimage.h"
#include "reader.h"
#include "status.h"
#include "tiffimage.h"
#include "xwd.h"

namespace {

/// Every format the filter reads, asked in this order.
const ImageFormat kFormats[] = {
    {"XWD", looksLikeXwd, openXwd},
    {"PNG", looksLikePng, openPng},
    {"JPEG", looksLikeJpeg, openJpeg},
    {"TIFF", looksLikeTiff, openTiff},
    {"PNM", looksLikePnm, openPnm},
};

}  // namespace

const ImageFormat* imageFormatOf(std::string_view head) {
  for (const ImageFormat& format : kFormats)
    if (format.sniff(head)) return &format;
  return nullptr;
}

const ImageFormat& sniffImageFormat(Reader& in, const JobContext& job) {
  std::string_view head = in.peek(kSniffBytes);
  if (head.empty()) refuseInput(job, "empty input, not printed");
  if (const ImageFormat* format = imageFormatOf(head)) return *format;
  refuseInput(job, "not an image this filter prints, not printed");
}
