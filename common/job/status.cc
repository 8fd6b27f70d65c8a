#include "status.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "account.h"
#include "options.h"
#include "writer.h"

std::string inputName(const JobContext& job) {
  if (!job.standalone()) return job.name;
  return job.title.empty() ? "stdin" : job.title;
}

int openInput(const char* path) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw FatalError{std::string(path) + " cannot open\n", 255};
  return fd;
}

void refuseInput(const JobContext& job, const std::string& reason) {
  throw FatalError{inputName(job) + ": " + reason + "\n",
                   job.standalone() ? kStatusError : kStatusDiscard};
}

bool isDirectory(int fd) {
  struct stat st;
  return fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
}

void refuseDirectory(int fd, const JobContext& job) {
  if (isDirectory(fd)) refuseInput(job, "is a directory, not printed");
}

int failureStatus(const JobContext& job, int status) {
  if (job.standalone() || status == 0) return status;
  return kStatusDiscard;
}

int finishOutput(Writer& out, const JobContext& job, int status) {
  out.flush();
  if (!out.failed()) {
    if (status == 0) writeAccounting(job);
    dropAccounting();
    return status;
  }
  dropAccounting();
  std::fprintf(stderr, "%s: cannot write output: %s\n", job.name.c_str(),
               std::strerror(out.error()));
  // A job that failed already keeps its status: a refused one is not
  // tried again.
  if (status != 0) return status;
  return job.standalone() ? kStatusError : kStatusRetry;
}
