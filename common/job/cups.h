// The filters as CUPS filters: CUPS's command line, and its options mapped
// to the option language.
#ifndef COMMON_JOB_CUPS_H_
#define COMMON_JOB_CUPS_H_

#include <string>
#include <vector>

#include "jobcontext.h"
#include "printeroptions.h"

class Writer;

/// Invocation names of the CUPS entries.
extern const char* const kCupsTextName;
extern const char* const kCupsImageName;

/// Whether the program was started under the CUPS entry's `name`. CUPS
/// passes the queue's name as argv[0], so the path it started counts too.
bool startedAs(const char* name, int argc, char** argv);

/// The arguments CUPS runs a filter with.
struct CupsJob {
  std::string id;
  std::string user;  // the job's owner
  std::string title;
  unsigned copies = 1;
  std::string options;
  const char* file = nullptr;  // nullptr: standard input
};

/// Reads "job-id user title copies options [file]". Throws FatalError
/// with the usage text for any other command line.
CupsJob readCupsJob(int argc, char** argv);

/// One name=value of CUPS's options argument.
struct CupsOption {
  std::string name;
  std::string value;
};

/// Whether two CUPS option names or values are the same, in any case.
bool sameCupsName(const std::string& a, const char* b);

/// Splits the options argument as CUPS writes it: name=value pairs apart
/// by blanks, values quoted with ' or " or escaped with a backslash; a bare
/// name is "true", a bare "noname" is name "false".
std::vector<CupsOption> parseCupsOptions(const std::string& text);

/// The option-language words one CUPS option asks for.
struct CupsWords {
  std::string source;  // the CUPS option, "name=value", for a warning
  std::string words;
};

/// What CUPS's options ask of a print set.
struct CupsRequest {
  // Option-language words for the filter's grammar, in the order they
  // apply; words the grammar refuses are left out with a warning.
  std::vector<CupsWords> options;
  // Requests the option language has no words for: the printer options
  // whose field is cleared, switching off what a defaults file switched on.
  std::vector<const PrinterOption*> off;
  bool newStamp = false;  // a stamp replaces the defaults' items, not adds to them
  std::string own;  // zavps-options, parsed last
  std::vector<std::string> warnings;  // values ignored, one line each
};

/// The queue's defaults: the choice of each "*Default<Option>: <choice>"
/// line of the PPD text `ppd`, as CUPS options.
std::vector<CupsOption> ppdDefaults(const std::string& ppd);

/// Maps the options and the copies argument (0: none) for the text (`text`) or the
/// image grammar. Names and values are matched in any case; unknown
/// options are ignored, unknown values of known ones warned about.
CupsRequest mapCupsOptions(const std::vector<CupsOption>& options,
                           unsigned copies, bool text);

/// Fills the option record for a CUPS job: the filter's print set, the
/// queue's defaults from the PPD named in $PPD, the owner's line of the
/// defaults file (that of filter `run.name`, read as in filter mode), then
/// the CUPS options; each later one wins, and the job's copies always
/// stand. The job's owner and originating host go to `run`. A
/// value the grammar refuses is a warning on standard error and changes
/// nothing; throws FatalError on zavps-options the grammar refuses.
void applyCupsJob(const CupsJob& job, bool text, JobContext& run);

/// Writes an error as CUPS reads it ("ERROR: " and one line) to standard
/// error; returns the status of a failed job, 1.
int cupsFailure(const std::string& message);

/// Opens the job's file (standard input when none), refusing a directory.
/// Throws FatalError.
int openCupsInput(const CupsJob& job);

/// Ends a job whose document is in `out`: flushes it, then writes CUPS's
/// page count lines for `pages` pages and returns 0, or, when the output
/// could not be written, fails the job with cupsFailure.
int cupsFinish(Writer& out, unsigned pages, unsigned copies);

#endif  // COMMON_JOB_CUPS_H_
