// The image filter's command line: invocation names, modes, the spooler's
// arguments and the defaults file.
#ifndef IMGTOPS_OPTION_H_
#define IMGTOPS_OPTION_H_

/// The --help text: the options users need most.
extern const char* const kImageHelp;

/// Modes by invocation name: 0 imgtops, 1 imgtog4 (standalone); 2 zavpsvf
/// and any other name, 3 zavpsg4f (filter mode).
int imageMode(const char* program);

/// Fills the option record from the command line and, in filter mode, the
/// defaults file; checks the paper size (standalone) and applies the stamp
/// offset rule. Returns the index of the first input file name and sets
/// `*mode`. Throws FatalError for usage errors, -V and rejected options.
int parseImageCommandLine(int argc, char** argv, int* mode);

/// With a stamp, raises the image's vertical offset to leave it room.
void applyStampOffsetRule();

#endif  // IMGTOPS_OPTION_H_
