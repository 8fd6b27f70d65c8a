// imgtops, imgtog4, zavpsvf, zavpsg4f, zavpscups-image: PNG, JPEG, TIFF,
// netpbm and X window dump images to PostScript gray images, run-length or
// Group 4 coded.
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
#include "stamp.h"
#include "status.h"
#include "writer.h"

namespace {

// Converts one input; the descriptor is watched so that SIGINT ends it.
// A refused input is reported; returns its status, 0 when printed.
int convert(int fd, const JobContext& job, Writer& out) {
  try {
    refuseDirectory(fd, job);
    checkInterrupt();
    watchInput(fd);
    Reader in(fd);
    convertImage(job, in, out);
  } catch (const FatalError& e) {
    out.flush();
    logLine(job, e.message);
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
    JobContext run;
    run.name = "zavpsvf";
    run.mode = RunMode::CupsFilter;
    run.title = job.title;
    applyCupsJob(job, false, run);
    run.creator = imageCreator(run.mode, opt.image_g4);
    nameStamp(run);
    applyStampOffsetRule();
    if (checkPaperSize(opt.image_printer.input_tray) < 0)
      throw FatalError{"Illegal paper size\n", 255};
    Reader in(openCupsInput(job));
    if (in.peek(1).empty()) throw FatalError{"The input is empty, not printed\n", 1};
    // A refused input is named as CUPS shows it.
    try {
      convertImage(run, in, out);
    } catch (const FatalError&) {
      throw FatalError{"The input is not an image this filter can print\n", 255};
    }
    return cupsFinish(out, opt.image_no_showpage ? 0 : 1, opt.image_printer.copies);
  } catch (const FatalError& e) {
    out.flush();
    return cupsFailure(e.message);
  }
}

}  // namespace

int main(int argc, char** argv) {
  // A reader that went away is a write error like any other.
  std::signal(SIGPIPE, SIG_IGN);
  Writer out(1);
  if (startedAs(kCupsImageName, argc, argv)) return runCups(argc, argv, out);
  JobContext job;
  try {
    int first = parseImageCommandLine(argc, argv, job);
    nameStamp(job);
    installInterruptHandler(!job.standalone());
    int status = 0;
    try {
      if (!job.standalone() || first >= argc) {
        status = convert(0, job, out);
      } else {
        for (int i = first; i < argc; ++i) {
          int fd = openInput(argv[i], job.name + ": ");
          JobContext file = job;
          file.title = argv[i];
          if (convert(fd, file, out)) status = kStatusError;
          close(fd);
        }
      }
    } catch (const JobInterrupted&) {
      return endJob(out, job, 2);
    }
    return endJob(out, job, interrupted() ? 2 : status);
  } catch (const Answer& a) {
    return answer(a, out);
  } catch (const FatalError& e) {
    out.flush();
    logLine(job, e.message);
    return finishOutput(out, job, failureStatus(job, e.status));
  }
}
