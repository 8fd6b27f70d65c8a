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
#include "status.h"
#include "writer.h"

namespace {

// Standalone: one file (or standard input) as one document. A refused
// file is reported and the next one converted; returns the file's status.
int convertFile(int fd, const std::string& title, Writer& out) {
  try {
    refuseDirectory(fd, true, title);
    Reader in(fd);
    in.endWithOutput(out);
    dispatchInput(in, out, true, title);
  } catch (const FatalError& e) {
    if (e.status != kStatusError) throw;
    out.flush();
    logMessage(e.message);
    return e.status;
  }
  return 0;
}

// Under CUPS: the owner's zavpsif line, then CUPS's options; errors as
// CUPS reads them.
int runCups(int argc, char** argv, Writer& out) {
  try {
    CupsJob job = readCupsJob(argc, argv);
    applyCupsJob(job, "zavpsif", true);
    applyLayoutRules(false);
    if (checkPaperSize(opt.text_input_tray) < 0)
      throw FatalError{"Illegal paper size\n", 255};
    Reader in(openCupsInput(job));
    in.endWithOutput(out);
    unsigned pages = dispatchInput(in, out, false, job.title);
    return cupsFinish(out, pages, opt.text_copies);
  } catch (const FatalError& e) {
    out.flush();
    return cupsFailure(e.message);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (asksForHelp(argc, argv)) {
    std::fputs(kTextHelp, stdout);
    std::fputs(kSharedHelp, stdout);
    return 0;
  }
  std::setlocale(LC_ALL, "");
  // A reader that went away is a write error like any other.
  std::signal(SIGPIPE, SIG_IGN);
  Writer out(1);
  if (startedAs(kCupsTextName, argc, argv)) return runCups(argc, argv, out);
  int status = 0;
  bool standalone = true;
  try {
    int first = parseTextCommandLine(argc, argv, &standalone);
    if (!standalone) {
      watchForCancel(out, 0);
      refuseDirectory(0, false, "");
      Reader in(0);
      in.endWithOutput(out);
      copyJobHeader(in, out);
      dispatchInput(in, out, false, "");
    } else if (first >= argc) {
      status = convertFile(0, "", out);
    } else {
      for (int i = first; i < argc; ++i) {
        int fd = openInput(argv[i]);
        if (convertFile(fd, argv[i], out)) status = kStatusError;
        close(fd);
      }
    }
  } catch (const FatalError& e) {
    out.flush();
    logMessage(e.message);
    status = failureStatus(standalone, e.status);
  }
  if (jobCancelled()) return endCancelledJob();
  return finishOutput(out, standalone, status);
}
