// The image document: any gray raster as one PostScript page, placed and
// fitted by the image options, with the stamp, its data run-length or
// Group 4 coded (1-bit rows) or plain (4-bit and 8-bit rows), all ASCII85.
#ifndef IMGTOPS_IMAGEDOC_H_
#define IMGTOPS_IMAGEDOC_H_

#include <string>

#include "imagereader.h"
#include "jobcontext.h"

class Writer;

/// Writes the page of `image` as a document on `out` for `job`. Throws FatalError, before anything is written, when the data
/// coder cannot be set up; JobInterrupted after SIGINT.
void writeImageDocument(ImageReader& image, Writer& out,
                        const JobContext& job);

#endif  // IMGTOPS_IMAGEDOC_H_
