// Converting one text input stream into a complete PostScript document.
#ifndef TEXTTOPS_PROCESSTEXT_H_
#define TEXTTOPS_PROCESSTEXT_H_

#include "jobcontext.h"

class Reader;
class Writer;

/// Writes the whole document for the text in `in`, whose first two bytes
/// `first` and `second` (-1 at the end) were already read. Keeps the
/// accounting record under a spooler. Returns the pages written when the
/// filter counts them (a line count was given), else 0.
unsigned convertText(const JobContext& job, int first, int second, Reader& in,
                     Writer& out);

#endif  // TEXTTOPS_PROCESSTEXT_H_
