// texttops, zavposttxt, zavpsif: plain text (and EUC Japanese) to
// PostScript; PostScript input passed through with the printer setup.
#include <fcntl.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <string>

#include "dispatch.h"
#include "passthrough.h"
#include "option.h"
#include "options.h"
#include "reader.h"
#include "writer.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  Writer out(1);
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
