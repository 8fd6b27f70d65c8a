// The spooler's accounting file.
#ifndef COMMON_JOB_ACCOUNT_H_
#define COMMON_JOB_ACCOUNT_H_

#include <string>

#include "jobcontext.h"

/// Keeps the head of the job's record (what was printed, or the pages) for
/// writeAccounting: a job is accounted once it has been printed, not when
/// the spooler will run it again.
void keepAccounting(const std::string& head);

/// Appends the kept record, its head followed by "host:owner" of `job` and
/// a newline, when the job names an owner and an accounting file that
/// exists; then forgets it. Control characters in host and owner become
/// '?', so the record stays one line. Never creates the file; a record that
/// cannot be written is named in a line on standard error.
void writeAccounting(const JobContext& job);

/// Forgets the kept record.
void dropAccounting();

#endif  // COMMON_JOB_ACCOUNT_H_
