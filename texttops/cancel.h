// A text job the spooler cancels (SIGINT, SIGTERM, SIGHUP) is ended so
// that the printer discards it and starts the next job afresh.
#ifndef TEXTTOPS_CANCEL_H_
#define TEXTTOPS_CANCEL_H_

#include <cstddef>
#include <string>

#include "jobcontext.h"

class Writer;

/// Where the printer's reading stands at the end of what it was sent: in
/// a string, a comment, a hex or ASCII85 string, or between tokens.
struct PostScriptTail {
  enum State { kCode, kComment, kString, kLess, kHex, kAscii85 };
  State state = kCode;
  unsigned depth = 0;   // open parentheses of a string
  bool escape = false;  // after a backslash in a string, a '~' in ASCII85
  /// Follows the bytes sent.
  void feed(const char* data, size_t n);
  /// What closes the token the bytes sent leave open ("" when none).
  std::string closing() const;
};

/// Filter mode: from now on SIGINT, SIGTERM and SIGHUP cancel the job.
/// The input `inputFd` then ends at once and nothing more of `out` is
/// written; `out` is watched, so that the end knows what to close.
void watchForCancel(Writer& out, int inputFd);

/// Whether a signal has cancelled the job.
bool jobCancelled();

/// Ends a cancelled job: closes what the printer is reading, writes
/// "\n\004", says so on standard error under the name of `job`; no
/// accounting record. Returns the status that discards the job.
int endCancelledJob(const JobContext& job);

#endif  // TEXTTOPS_CANCEL_H_
