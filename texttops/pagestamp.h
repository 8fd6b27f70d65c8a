// The stamp on the pages of a converted or passed-through document.
#ifndef TEXTTOPS_PAGESTAMP_H_
#define TEXTTOPS_PAGESTAMP_H_

class Writer;

/// Writes the stamp procedures of the text print set and makes the page
/// device draw the stamp as each page is printed (only the first page when
/// `firstPageOnly`), after whatever the document drew or set up for the
/// page. `converted`: a converted text document, whose stamp is worked out
/// once for the document and stands in the corner of its landscape sheet
/// when it is turned.
void writePageStamp(Writer& out, bool converted, bool firstPageOnly);

#endif  // TEXTTOPS_PAGESTAMP_H_
