// Passing a PostScript job through with the printer setup inserted.
#ifndef TEXTTOPS_PASSTHROUGH_H_
#define TEXTTOPS_PASSTHROUGH_H_

class Reader;
class Writer;

/// Filter mode: copies a job header (a line that begins with ESC, and the
/// "@" lines after it) at the head of the input through unchanged,
/// leaving the input at the first byte after it.
void copyJobHeader(Reader& in, Writer& out);

/// Copies the PostScript job in `in` (its first two bytes already read) to
/// `out`, adding the device setup and the stamp; keeps the accounting record.
/// Returns the document's pages: its "%%Page:" comments outside embedded
/// documents.
unsigned passPostScript(int first, int second, Reader& in, Writer& out);

#endif  // TEXTTOPS_PASSTHROUGH_H_
