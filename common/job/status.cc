#include "status.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "account.h"
#include "logline.h"
#include "options.h"
#include "writer.h"

std::string inputHead(const JobContext& job) {
  if (!job.standalone()) return nameHead(job);
  return job.name + ": " + (job.title.empty() ? "stdin" : job.title) + ": ";
}

int openInput(const char* path, const std::string& head) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    throw FatalError{head + path + ": " + std::strerror(errno) + "\n", 255};
  return fd;
}

void refuseInput(const JobContext& job, const std::string& reason) {
  throw FatalError{inputHead(job) + reason + "\n",
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

int answer(const Answer& a, Writer& out) {
  if (a.to_error) {
    std::fputs(a.text.c_str(), stderr);
    return 0;
  }
  out.write(a.text);
  out.flush();
  return out.failed() ? kStatusError : 0;
}

int finishOutput(Writer& out, const JobContext& job, int status) {
  out.flush();
  if (!out.failed()) {
    if (status == 0) writeAccounting(job);
    dropAccounting();
    return status;
  }
  dropAccounting();
  logLine(job, nameHead(job) + "cannot write output: " +
                   std::strerror(out.error()) + "\n");
  // A job that failed already keeps its status: a refused one is not
  // tried again.
  if (status != 0) return status;
  return job.standalone() ? kStatusError : kStatusRetry;
}
