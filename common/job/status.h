// How a filter's job ends when it cannot be printed: refused input, and
// output that could not be written.
#ifndef COMMON_JOB_STATUS_H_
#define COMMON_JOB_STATUS_H_

#include <string>

#include "jobcontext.h"

class Writer;

/// Exit statuses the spooler reads: retry the job, or discard it.
const int kStatusRetry = 1;
const int kStatusDiscard = 2;
/// Standalone runs end with the error status after refused input.
const int kStatusError = 255;

/// The input as messages name it: the file (the job's title, "stdin" when
/// empty) standalone, the filter's name under a spooler.
std::string inputName(const JobContext& job);

/// Throws FatalError "<input name>: <reason>\n"; the status is
/// kStatusError standalone, kStatusDiscard under a spooler.
[[noreturn]] void refuseInput(const JobContext& job, const std::string& reason);

/// Opens `path` for reading, or throws FatalError "<path> cannot open"
/// with the error status.
int openInput(const char* path);

/// Whether `fd` is a directory.
bool isDirectory(int fd);

/// Refuses `fd` when it is a directory.
void refuseDirectory(int fd, const JobContext& job);

/// The status a run that ended in FatalError exits with: under the
/// spooler every failure discards the job (an option error, say, would
/// fail again on a retry); standalone runs keep `status`.
int failureStatus(const JobContext& job, int status);

/// Flushes `out` and returns `status`; the job's accounting record is
/// written when the job printed (status 0, output written). When the
/// output could not be written, says so in one line on standard error
/// and, unless `status` already tells a failure, returns kStatusRetry
/// under the spooler, kStatusError standalone.
int finishOutput(Writer& out, const JobContext& job, int status);

#endif  // COMMON_JOB_STATUS_H_
