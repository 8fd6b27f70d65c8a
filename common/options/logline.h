// Lines for the spooler's log, which may hold words a job's owner chose.
#ifndef COMMON_OPTIONS_LOGLINE_H_
#define COMMON_OPTIONS_LOGLINE_H_

#include <string>

/// `text` with every control character but a final newline replaced by
/// '?': no terminal escape, carriage return or line of its own reaches a
/// log or a document through it.
std::string printable(const std::string& text);

/// Writes printable(`message`) to standard error.
void logMessage(const std::string& message);

#endif  // COMMON_OPTIONS_LOGLINE_H_
