// texttops, zavposttxt, zavpsif, zavpscups-text: plain text (and EUC
// Japanese) to PostScript; PostScript input passed through with the
// printer setup.
#include <fcntl.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <string>

#include "cups.h"
#include "dispatch.h"
#include "passthrough.h"
#include "option.h"
#include "options.h"
#include "reader.h"
#include "spooler.h"
#include "writer.h"

namespace {

// Under CUPS: the owner's zavpsif line, then CUPS's options; errors as
// CUPS reads them.
int runCups(int argc, char** argv, Writer& out) {
  try {
    CupsJob job = readCupsJob(argc, argv);
    applyCupsJob(job, "zavpsif", true);
    applyLayoutRules(false);
    if (checkPaperSize(opt.text_input_tray) < 0)
      throw FatalError{"Illegal paper size\n", 255};
    int fd = job.file ? open(job.file, O_RDONLY | O_CLOEXEC) : 0;
    if (fd < 0) throw FatalError{std::string(job.file) + " cannot open\n", 255};
    Reader in(fd);
    unsigned pages = dispatchInput(in, out, false, job.title);
    out.flush();
    cupsPages(pages, opt.text_copies);
  } catch (const FatalError& e) {
    out.flush();
    return cupsFailure(e.message);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (asksForHelp(argc, argv)) {
    std::fputs(kTextHelp, stdout);
    std::fputs(kSharedHelp, stdout);
    return 0;
  }
  std::setlocale(LC_ALL, "");
  Writer out(1);
  if (startedAs(kCupsTextName, argc, argv)) return runCups(argc, argv, out);
  try {
    bool standalone = false;
    int first = parseTextCommandLine(argc, argv, &standalone);
    if (!standalone) {
      Reader in(0);
      copyJobHeader(in, out);
      dispatchInput(in, out, false, "");
    } else if (first >= argc) {
      Reader in(0);
      dispatchInput(in, out, true, "");
    } else {
      for (int i = first; i < argc; ++i) {
        int fd = open(argv[i], O_RDONLY | O_CLOEXEC);
        if (fd < 0) throw FatalError{std::string(argv[i]) + " cannot open\n", 255};
        Reader in(fd);
        dispatchInput(in, out, true, argv[i]);
        close(fd);
      }
    }
  } catch (const FatalError& e) {
    out.flush();
    std::fputs(e.message.c_str(), stderr);
    return e.status;
  }
  out.flush();
  return 0;
}
