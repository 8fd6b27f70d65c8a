// The netpbm reader: PBM, PGM and PPM, plain (ASCII) and raw.
#ifndef IMGTOPS_PNMIMAGE_H_
#define IMGTOPS_PNMIMAGE_H_

#include <memory>
#include <string>
#include <string_view>

#include "imagereader.h"

class Reader;
struct JobContext;

/// Whether the input begins "P1" to "P6" and white space.
bool looksLikePnm(std::string_view head);

/// Reads the header; rows are read as the document asks for them. A PBM
/// stays one bit deep; PGM and PPM become 8-bit gray. Refuses (refuseInput)
/// a damaged header and a size beyond maxImagePixels.
std::unique_ptr<ImageReader> openPnm(Reader& in, const JobContext& job);

#endif  // IMGTOPS_PNMIMAGE_H_
