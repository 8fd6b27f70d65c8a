// The spooler's accounting file.
#ifndef COMMON_JOB_ACCOUNT_H_
#define COMMON_JOB_ACCOUNT_H_

#include <string>

/// Appends one record, `head` followed by "host:login" and a newline,
/// when a login and an accounting file were given and the file exists and
/// is writable. Control characters in host and login become '?', so the
/// record stays one line. Never creates the file; failures are silent.
void appendAccounting(const std::string& head);

#endif  // COMMON_JOB_ACCOUNT_H_
