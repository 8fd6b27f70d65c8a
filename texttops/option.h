// The text filter's command line: invocation names, modes and the layout
// conflict rules.
#ifndef TEXTTOPS_OPTION_H_
#define TEXTTOPS_OPTION_H_

#include "jobcontext.h"

/// Fills the option record from TEXTTOPSOPTION (as "texttops"), the command
/// line and, in filter mode, the defaults file; applies the layout rules.
/// Returns the index of the first input file name. Fills `job` with the
/// name, the mode the name selects, the creator and, under the spooler,
/// the owner, host and accounting file. Throws FatalError for usage
/// errors, -V and rejected options.
int parseTextCommandLine(int argc, char** argv, JobContext& job);

/// The --help text: the options users need most.
extern const char* const kTextHelp;

/// The layout conflict rules, in their order, once all options are read.
void applyLayoutRules(RunMode mode);

#endif  // TEXTTOPS_OPTION_H_
