// Choosing between conversion and pass-through for one input stream.
#ifndef TEXTTOPS_DISPATCH_H_
#define TEXTTOPS_DISPATCH_H_

#include "jobcontext.h"

class Reader;
class Writer;

/// Reads the first bytes of `in` and converts the text or passes the
/// PostScript through, writing one document to `out`. Returns the pages
/// where they are known: a converted text's when they are counted, the
/// "%%Page:" comments of PostScript (and of PDF once converted); else 0. A
/// PDF file is converted by Ghostscript and passed through; under lpd an
/// image the raster filter reads is printed as it prints it. Throws FatalError
/// (refuseInput) for binary data that would be converted as text.
unsigned dispatchInput(Reader& in, Writer& out, const JobContext& job);

#endif  // TEXTTOPS_DISPATCH_H_
