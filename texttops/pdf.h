// PDF input: converted to PostScript by Ghostscript, run as a child
// process, and then passed through like any PostScript job.
#ifndef TEXTTOPS_PDF_H_
#define TEXTTOPS_PDF_H_

#include <cstdint>
#include <string>

#include "jobcontext.h"

class Reader;
class Writer;

/// Seconds Ghostscript may take for a PDF of `bytes`: a minute, and a
/// second more for every 64 KiB, at most half an hour.
unsigned pdfTimeLimit(uint64_t bytes);

/// Converts the PDF in `in` with Ghostscript's ps2write and passes the
/// result through with the printer setup. Refuses the job (refuseInput)
/// when Ghostscript is not installed, fails on the file or takes too long.
/// Returns the pages passed.
unsigned passPdf(Reader& in, Writer& out, const JobContext& job);

#endif  // TEXTTOPS_PDF_H_
