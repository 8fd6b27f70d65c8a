// Converting one text input stream into a complete PostScript document.
#ifndef TEXTTOPS_PROCESSTEXT_H_
#define TEXTTOPS_PROCESSTEXT_H_

#include <string>

class Reader;
class Writer;

/// Writes the whole document for the text in `in`, whose first two bytes
/// `first` and `second` (-1 at the end) were already read; `title` is the
/// file name, empty for standard input. Keeps the accounting record in
/// filter mode. Returns the pages written when the filter counts them (a
/// line count was given), else 0.
unsigned convertText(bool standalone, int first, int second,
                 const std::string& title, Reader& in, Writer& out);

#endif  // TEXTTOPS_PROCESSTEXT_H_
