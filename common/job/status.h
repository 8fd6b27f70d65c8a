// How a filter's job ends when it cannot be printed: refused input, and
// output that could not be written.
#ifndef COMMON_JOB_STATUS_H_
#define COMMON_JOB_STATUS_H_

#include <string>

#include "jobcontext.h"
#include "options.h"

class Writer;

/// Exit statuses the spooler reads: retry the job, or discard it.
const int kStatusRetry = 1;
const int kStatusDiscard = 2;
/// Standalone runs end with the error status after refused input.
const int kStatusError = 255;

/// What a message about the input begins with: standalone the program
/// and the file ("<name>: <file>: ", "stdin" for standard input), under
/// CUPS "<name>: ", under lpd nothing (logLine heads the line).
std::string inputHead(const JobContext& job);

/// Throws FatalError inputHead(job) + "<reason>\n"; the status is
/// kStatusError standalone, kStatusDiscard under a spooler.
[[noreturn]] void refuseInput(const JobContext& job, const std::string& reason);

/// Opens `path` for reading, or throws FatalError "<head><path>: <why>"
/// with the error status; `head` names the program ("texttops: ").
int openInput(const char* path, const std::string& head);

/// Whether `fd` is a directory.
bool isDirectory(int fd);

/// Refuses `fd` when it is a directory.
void refuseDirectory(int fd, const JobContext& job);

/// The status a run that ended in FatalError exits with: under the
/// spooler every failure discards the job (an option error, say, would
/// fail again on a retry); standalone runs keep `status`.
int failureStatus(const JobContext& job, int status);

/// Writes what the command line asked for, to `out` or standard error;
/// returns the status to exit with (0, or kStatusError when `out` could
/// not be written).
int answer(const Answer& a, Writer& out);

/// Flushes `out` and returns `status`; the job's accounting record is
/// written when the job printed (status 0, output written). When the
/// output could not be written, says so in one line on standard error
/// and, unless `status` already tells a failure, returns kStatusRetry
/// under the spooler, kStatusError standalone.
int finishOutput(Writer& out, const JobContext& job, int status);

#endif  // COMMON_JOB_STATUS_H_
