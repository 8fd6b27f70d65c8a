// texttops, zavposttxt, zavpsif, zavpscups-text: plain text (also
// Japanese in EUC-JP, UTF-8 or Shift_JIS) to PostScript; PostScript input
// passed through with the printer setup.
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cstdio>
#include <string>

#include "cancel.h"
#include "cups.h"
#include "logline.h"
#include "dispatch.h"
#include "passthrough.h"
#include "option.h"
#include "options.h"
#include "reader.h"
#include "spooler.h"
#include "stamp.h"
#include "status.h"
#include "writer.h"

namespace {

// Standalone: one file (or standard input) as one document. A refused
// file is reported and the next one converted; returns the file's status.
int convertFile(int fd, const JobContext& job, Writer& out) {
  try {
    refuseDirectory(fd, job);
    Reader in(fd);
    in.endWithOutput(out);
    dispatchInput(in, out, job);
  } catch (const FatalError& e) {
    if (e.status != kStatusError) throw;
    out.flush();
    logLine(job, e.message);
    return e.status;
  }
  return 0;
}

// Under CUPS: the owner's zavpsif line, then CUPS's options; errors as
// CUPS reads them.
int runCups(int argc, char** argv, Writer& out) {
  try {
    CupsJob job = readCupsJob(argc, argv);
    JobContext run;
    run.name = run.creator = "zavpsif";
    run.mode = RunMode::CupsFilter;
    run.title = job.title;
    applyCupsJob(job, true, run);
    nameStamp(run);
    applyLayoutRules(run.mode);
    if (checkPaperSize(opt.text_printer.input_tray) < 0)
      throw FatalError{"Illegal paper size\n", 255};
    Reader in(openCupsInput(job));
    in.endWithOutput(out);
    unsigned pages = dispatchInput(in, out, run);
    return cupsFinish(out, pages, opt.text_printer.copies);
  } catch (const FatalError& e) {
    out.flush();
    return cupsFailure(e.message);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  // A reader that went away is a write error like any other.
  std::signal(SIGPIPE, SIG_IGN);
  Writer out(1);
  if (startedAs(kCupsTextName, argc, argv)) return runCups(argc, argv, out);
  int status = 0;
  JobContext job;
  try {
    int first = parseTextCommandLine(argc, argv, job);
    nameStamp(job);
    if (!job.standalone()) {
      watchForCancel(out, 0);
      refuseDirectory(0, job);
      Reader in(0);
      in.endWithOutput(out);
      copyJobHeader(in, out);
      dispatchInput(in, out, job);
    } else if (first >= argc) {
      status = convertFile(0, job, out);
    } else {
      for (int i = first; i < argc; ++i) {
        int fd = openInput(argv[i], job.name + ": ");
        JobContext file = job;
        file.title = argv[i];
        if (convertFile(fd, file, out)) status = kStatusError;
        close(fd);
      }
    }
  } catch (const Answer& a) {
    return answer(a, out);
  } catch (const FatalError& e) {
    out.flush();
    logLine(job, e.message);
    status = failureStatus(job, e.status);
  }
  if (jobCancelled()) return endCancelledJob(job);
  return finishOutput(out, job, status);
}
