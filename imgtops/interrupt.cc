#include "interrupt.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "logline.h"
#include "options.h"
#include "status.h"
#include "writer.h"

namespace {

volatile sig_atomic_t sigintSeen = 0;
volatile sig_atomic_t inputFd = -1;
int devNull = -1;

// Only async-signal-safe work: note the interrupt and put /dev/null in
// place of the input, so a read that is blocked, or about to block, ends
// at once. The job itself is ended by the loops that check the flag.
void onSigint(int) {
  sigintSeen = 1;
  int fd = inputFd;
  if (fd >= 0 && devNull >= 0) dup2(devNull, fd);
}

}  // namespace

void installInterruptHandler(bool filterMode) {
  if (devNull < 0) devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);
  struct sigaction action = {};
  action.sa_handler = onSigint;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a blocked read returns
  sigaction(SIGINT, &action, nullptr);
  // The spooler may end a job with these as well.
  if (!filterMode) return;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

void watchInput(int fd) { inputFd = fd; }

bool interrupted() { return sigintSeen != 0; }

void checkInterrupt() {
  if (sigintSeen) throw JobInterrupted{};
}

int endJob(Writer& out, const JobContext& job, int status) {
  if (sigintSeen)
    logLine(job, nameHead(job) + "interrupted, job ended\n");
  if (!job.standalone()) out.put('\x04');
  return finishOutput(out, job, status);
}
