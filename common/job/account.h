// The spooler's accounting file.
#ifndef COMMON_JOB_ACCOUNT_H_
#define COMMON_JOB_ACCOUNT_H_

#include <string>

/// Keeps the job's record, `head` followed by "host:login" and a newline,
/// for writeAccounting: a job is accounted once it has been printed, not
/// when the spooler will run it again.
void keepAccounting(const std::string& head);

/// Appends the kept record, if any, when a login and an accounting file
/// were given and the file exists and is writable, then forgets it.
/// Control characters in host and login become '?', so the record stays
/// one line. Never creates the file; failures are silent.
void writeAccounting();

/// Forgets the kept record.
void dropAccounting();

#endif  // COMMON_JOB_ACCOUNT_H_
