// The image filter's command line: invocation names, modes, the spooler's
// arguments and the defaults file.
#ifndef IMGTOPS_OPTION_H_
#define IMGTOPS_OPTION_H_

#include "jobcontext.h"

/// The --help text: the options users need most.
extern const char* const kImageHelp;

/// The documents' creator: imgtops or imgtog4 standalone, qmpvf or qmpg4f
/// under a spooler, by whether Group 4 coding is asked for.
const char* imageCreator(RunMode mode, int g4);

/// Fills the option record from the command line and, in filter mode, the
/// defaults file; checks the paper size (standalone) and applies the stamp
/// offset rule. Returns the index of the first input file name. Fills
/// `job`: imgtops and imgtog4 run standalone, zavpsvf, zavpsg4f and any
/// other name under the spooler (the g4 names with Group 4 coding); under
/// the spooler also the owner, host and accounting file. Throws FatalError
/// for usage errors, -V and rejected options.
int parseImageCommandLine(int argc, char** argv, JobContext& job);

/// With a stamp, raises the image's vertical offset to leave it room.
void applyStampOffsetRule();

#endif  // IMGTOPS_OPTION_H_
