// imgtops, imgtog4, zavpsvf, zavpsg4f: X window dumps to PostScript gray
// images, run-length or Group 4 coded.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "error.h"
#include "option.h"
#include "options.h"
#include "processXwd.h"
#include "reader.h"
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
    convertWindowDump(standalone ? 1 : 0, in, out, title);
  } catch (const FatalError& e) {
    out.flush();
    std::fputs(e.message.c_str(), stderr);
    watchInput(-1);
    return e.status;
  }
  watchInput(-1);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Writer out(1);
  int mode = 0;
  try {
    int first = parseImageCommandLine(argc, argv, &mode);
    bool standalone = mode < 2;
    installInterruptHandler();
    int status = 0;
    try {
      if (!standalone || first >= argc) {
        status = convert(0, standalone, out, "");
      } else {
        for (int i = first; i < argc; ++i) {
          int fd = open(argv[i], O_RDONLY | O_CLOEXEC);
          if (fd < 0)
            throw FatalError{std::string(argv[i]) + " cannot open\n", 255};
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
    std::fputs(e.message.c_str(), stderr);
    return finishOutput(out, mode < 2, failureStatus(mode < 2, e.status));
  }
}
