// Who runs a filter and for which job: made once in main, passed down.
#ifndef COMMON_OPTIONS_JOBCONTEXT_H_
#define COMMON_OPTIONS_JOBCONTEXT_H_

#include <string>

/// How a filter was started.
enum class RunMode {
  Standalone,  // by a user, on files or standard input
  LpdFilter,   // by the lpd spooler, on standard input
  CupsFilter,  // by CUPS
};

/// One run of a filter.
struct JobContext {
  /// The name messages show and whose defaults line is read: the name the
  /// program was started under; a CUPS entry runs as zavpsif or zavpsvf.
  std::string name;
  RunMode mode = RunMode::Standalone;
  std::string creator;          // the documents' %%Creator
  std::string title;            // the file printed; empty: standard input
  std::string owner;            // the job's owner; empty: not given
  std::string host;             // the host the job came from; empty: not given
  std::string accounting_file;  // the spooler's accounting file, or empty

  bool standalone() const { return mode == RunMode::Standalone; }
};

#endif  // COMMON_OPTIONS_JOBCONTEXT_H_
