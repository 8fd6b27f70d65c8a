// The text filter's command line: invocation names, modes and the layout
// conflict rules.
#ifndef TEXTTOPS_OPTION_H_
#define TEXTTOPS_OPTION_H_

/// Fills the option record from TEXTTOPSOPTION (as "texttops"), the command
/// line and, in filter mode, the defaults file; applies the layout rules.
/// Returns the index of the first input file name. Sets `*standalone`.
/// Throws FatalError for usage errors, -V and rejected options.
int parseTextCommandLine(int argc, char** argv, bool* standalone);

/// The --help text: the options users need most.
extern const char* const kTextHelp;

/// The layout conflict rules, in their order, once all options are read.
void applyLayoutRules(bool standalone);

#endif  // TEXTTOPS_OPTION_H_
