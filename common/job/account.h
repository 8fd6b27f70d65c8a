// The spooler's accounting file.
#ifndef COMMON_JOB_ACCOUNT_H_
#define COMMON_JOB_ACCOUNT_H_

#include <string>

/// Appends `record` to the accounting file when a login and an accounting
/// file were given and the file exists and is writable. Never creates the
/// file; failures are silent.
void appendAccounting(const std::string& record);

#endif  // COMMON_JOB_ACCOUNT_H_
