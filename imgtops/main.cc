// imgtops, imgtog4, zavpsvf, zavpsg4f, zavpscups-image: X window dumps to PostScript gray
// images, run-length or Group 4 coded.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "cups.h"
#include "imagejob.h"
#include "interrupt.h"
#include "logline.h"
#include "option.h"
#include "options.h"
#include "reader.h"
#include "spooler.h"
#include "status.h"
#include "writer.h"

namespace {

// Converts one input; the descriptor is watched so that SIGINT ends it.
// A refused input is reported; returns its status, 0 when printed.
int convert(int fd, bool standalone, Writer& out, const std::string& title) {
  try {
    refuseDirectory(fd, standalone, title);
    checkInterrupt();
    watchInput(fd);
    Reader in(fd);
    convertImage(standalone ? 1 : 0, in, out, title);
  } catch (const FatalError& e) {
    out.flush();
    logMessage(e.message);
    watchInput(-1);
    return e.status;
  }
  watchInput(-1);
  return 0;
}

// Under CUPS: the owner's zavpsvf line, then CUPS's options; errors as
// CUPS reads them. No end-of-transmission byte: CUPS ends the job.
int runCups(int argc, char** argv, Writer& out) {
  try {
    CupsJob job = readCupsJob(argc, argv);
    applyCupsJob(job, "zavpsvf", false);
    applyStampOffsetRule();
    if (checkPaperSize(opt.image_input_tray) < 0)
      throw FatalError{"Illegal paper size\n", 255};
    Reader in(openCupsInput(job));
    if (in.peek(1).empty()) throw FatalError{"The input is empty, not printed\n", 1};
    // A refused input is named as CUPS shows it.
    try {
      convertImage(0, in, out, job.title);
    } catch (const FatalError&) {
      throw FatalError{"The input is not a window dump this filter can print\n", 255};
    }
    return cupsFinish(out, opt.image_no_showpage ? 0 : 1, opt.image_copies);
  } catch (const FatalError& e) {
    out.flush();
    return cupsFailure(e.message);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (asksForHelp(argc, argv)) {
    std::fputs(kImageHelp, stdout);
    std::fputs(kSharedHelp, stdout);
    return 0;
  }
  // A reader that went away is a write error like any other.
  std::signal(SIGPIPE, SIG_IGN);
  Writer out(1);
  if (startedAs(kCupsImageName, argc, argv)) return runCups(argc, argv, out);
  int mode = 0;
  try {
    int first = parseImageCommandLine(argc, argv, &mode);
    bool standalone = mode < 2;
    installInterruptHandler(!standalone);
    int status = 0;
    try {
      if (!standalone || first >= argc) {
        status = convert(0, standalone, out, "");
      } else {
        for (int i = first; i < argc; ++i) {
          int fd = openInput(argv[i]);
          if (convert(fd, true, out, argv[i])) status = kStatusError;
          close(fd);
        }
      }
    } catch (const JobInterrupted&) {
      return endJob(out, !standalone, 2);
    }
    return endJob(out, !standalone, interrupted() ? 2 : status);
  } catch (const FatalError& e) {
    out.flush();
    logMessage(e.message);
    return finishOutput(out, mode < 2, failureStatus(mode < 2, e.status));
  }
}
