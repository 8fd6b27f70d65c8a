// What both filters' command lines share: program names, the usage text
// and the spooler's arguments in filter mode.
#ifndef COMMON_OPTIONS_SPOOLER_H_
#define COMMON_OPTIONS_SPOOLER_H_

#include <string>

#include "jobcontext.h"
#include "options.h"

/// The last component of a program name.
const char* baseName(const char* path);

/// The usage text for the argument "-" (status 1).
FatalError usageError(const char* program);

/// The line -V and --version write: "<name> version = <version>\n".
std::string versionLine(const std::string& name);

/// Standalone: throws Answer (standard output) with `help` for "-h" or
/// "--help", with versionLine(`name`) for "--version", the first of them
/// among the leading options (before "--"); else returns.
void answerQuestions(int argc, char** argv, const std::string& help,
                     const std::string& name);

/// The --help lines of both filters' printer options, the text filter's
/// (`text`) or the image filter's, then -h, -V and -.
std::string sharedHelp(bool text);

/// The letters a filter's spooler passes for its page size, and those
/// filter mode ignores.
struct SpoolerLetters {
  char width;           // 'w' (text) or 'x' (image)
  char length;          // 'l' (text) or 'y' (image)
  std::string ignored;  // ignored letters: only this one argument
};

/// The text filter's letters (`text`) or the image filter's: each ignores
/// the other's page size letters besides those both ignore.
SpoolerLetters spoolerLetters(bool text);

/// Filter mode: takes the spooler argument argv[*i], with its value when it
/// has one (attached, or else the next argument, which advances *i): the
/// owner, host and accounting file go to `job`, the page size to the
/// option record. Returns false for an argument the option grammar reads
/// instead.
bool readSpoolerArgument(int argc, char** argv, int* i,
                         const SpoolerLetters& letters, JobContext& job);

#endif  // COMMON_OPTIONS_SPOOLER_H_
