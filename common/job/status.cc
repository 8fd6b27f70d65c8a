#include "status.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "account.h"
#include "options.h"
#include "writer.h"

std::string inputName(bool standalone, const std::string& title) {
  if (!standalone) return opt.filter_name;
  return title.empty() ? "stdin" : title;
}

int openInput(const char* path) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw FatalError{std::string(path) + " cannot open\n", 255};
  return fd;
}

void refuseInput(bool standalone, const std::string& title,
                 const std::string& reason) {
  throw FatalError{inputName(standalone, title) + ": " + reason + "\n",
                   standalone ? kStatusError : kStatusDiscard};
}

bool isDirectory(int fd) {
  struct stat st;
  return fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
}

void refuseDirectory(int fd, bool standalone, const std::string& title) {
  if (isDirectory(fd)) refuseInput(standalone, title, "is a directory, not printed");
}

int failureStatus(bool standalone, int status) {
  if (standalone || status == 0) return status;
  return kStatusDiscard;
}

int finishOutput(Writer& out, bool standalone, int status) {
  out.flush();
  if (!out.failed()) {
    if (status == 0) writeAccounting();
    dropAccounting();
    return status;
  }
  dropAccounting();
  std::fprintf(stderr, "%s: cannot write output: %s\n",
               opt.filter_name.c_str(), std::strerror(out.error()));
  // A job that failed already keeps its status: a refused one is not
  // tried again.
  if (status != 0) return status;
  return standalone ? kStatusError : kStatusRetry;
}
