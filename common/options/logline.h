// Lines for the spooler's log, which may hold words a job's owner chose.
#ifndef COMMON_OPTIONS_LOGLINE_H_
#define COMMON_OPTIONS_LOGLINE_H_

#include <string>

#include "jobcontext.h"

/// `text` with every control character but a final newline replaced by
/// '?': no terminal escape, carriage return or line of its own reaches a
/// log or a document through it.
std::string printable(const std::string& text);

/// Writes printable(`message`) to standard error.
void logMessage(const std::string& message);

/// The head of every line a filter run by lpd writes to the printer's
/// log, which the jobs of every user share: "<name>: job of
/// <owner>@<host>: ", with "?" for an owner or host the spooler did not
/// give.
std::string lpdHead(const JobContext& job);

/// What a message of the run itself begins with: "<name>: ", but nothing
/// under lpd, where logLine heads the line.
std::string nameHead(const JobContext& job);

/// Writes `message`, one line about `job`, to standard error: under lpd
/// after lpdHead(job), otherwise as it is; control characters as '?'.
void logLine(const JobContext& job, const std::string& message);

#endif  // COMMON_OPTIONS_LOGLINE_H_
