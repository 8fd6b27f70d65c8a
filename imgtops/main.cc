// imgtops, imgtog4, zavpsvf, zavpsg4f, zavpscups-image: X window dumps to PostScript gray
// images, run-length or Group 4 coded.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "cups.h"
#include "error.h"
#include "option.h"
#include "options.h"
#include "processXwd.h"
#include "reader.h"
#include "spooler.h"
#include "writer.h"

namespace {

// Converts one input; the descriptor is watched so that SIGINT ends it.
void convert(int fd, int jobKind, Writer& out, const std::string& title) {
  checkInterrupt();
  watchInput(fd);
  Reader in(fd);
  convertWindowDump(jobKind, in, out, title);
  watchInput(-1);
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
    int fd = job.file ? open(job.file, O_RDONLY | O_CLOEXEC) : 0;
    if (fd < 0) throw FatalError{std::string(job.file) + " cannot open\n", 255};
    Reader in(fd);
    // An input shorter than a dump header prints nothing: refused unless
    // it is empty.
    size_t head = in.peek(kDumpHeaderSize).size();
    bool empty = head == 0;
    if ((!empty && head < kDumpHeaderSize) ||
        !convertWindowDump(0, in, out, job.title))
      throw FatalError{"The input is not a window dump this filter can print\n", 255};
    out.flush();
    cupsPages(empty || opt.image_no_showpage ? 0 : 1, opt.image_copies);
  } catch (const FatalError& e) {
    out.flush();
    return cupsFailure(e.message);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (asksForHelp(argc, argv)) {
    std::fputs(kImageHelp, stdout);
    std::fputs(kSharedHelp, stdout);
    return 0;
  }
  Writer out(1);
  if (startedAs(kCupsImageName, argc, argv)) return runCups(argc, argv, out);
  try {
    int mode = 2;
    int first = parseImageCommandLine(argc, argv, &mode);
    bool standalone = mode < 2;
    installInterruptHandler();
    try {
      if (!standalone) {
        convert(0, 0, out, "");
      } else if (first >= argc) {
        convert(0, 1, out, "");
      } else {
        for (int i = first; i < argc; ++i) {
          int fd = open(argv[i], O_RDONLY | O_CLOEXEC);
          if (fd < 0)
            throw FatalError{std::string(argv[i]) + " cannot open\n", 255};
          convert(fd, 1, out, argv[i]);
          close(fd);
        }
      }
    } catch (const JobInterrupted&) {
      return endJob(out, !standalone, 2);
    }
    return endJob(out, !standalone, interrupted() ? 2 : 0);
  } catch (const FatalError& e) {
    out.flush();
    std::fputs(e.message.c_str(), stderr);
    return e.status;
  }
}
