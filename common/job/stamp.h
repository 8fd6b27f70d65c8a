// The header/footer stamp: its text and the procedures that place it.
#ifndef COMMON_JOB_STAMP_H_
#define COMMON_JOB_STAMP_H_

#include <string>

#include "jobcontext.h"
#include "options.h"

class Writer;

/// Sets the names a stamp shows: the job's owner and host when both are
/// given, else the running user's login and this host's name.
void nameStamp(const JobContext& job);

/// The stamps of the text and of the image print set.
const StampSettings& textStamp();
const StampSettings& imageStamp();

/// The stamp text ("User:%s Host:%s ..."), at most 127 bytes, with "(",
/// ")" and the backslash escaped for a PostScript string.
std::string makeStamp(const StampSettings& stamp);

/// Writes the placement procedure of the stamp's position and StartHF.
/// `landscape`: the corners are those of the sheet turned
/// a quarter turn (width and height exchanged). `measured`: the corners
/// are found from the page size in force when the page ends, for
/// documents that choose their own sheet.
void writeStampProcedures(Writer& out, const StampSettings& stamp,
                          bool landscape = false, bool measured = false);

#endif  // COMMON_JOB_STAMP_H_
