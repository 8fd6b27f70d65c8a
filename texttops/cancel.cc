#include "cancel.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "account.h"
#include "logline.h"
#include "options.h"
#include "status.h"
#include "writer.h"

void PostScriptTail::feed(const char* data, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    char c = data[i];
    switch (state) {
      case kCode:
        if (c == '(') {
          state = kString;
          depth = 1;
        } else if (c == '%') {
          state = kComment;
        } else if (c == '<') {
          state = kLess;
        }
        break;
      case kComment:
        if (c == '\n' || c == '\r' || c == '\f') state = kCode;
        break;
      case kString:
        if (escape)
          escape = false;
        else if (c == '\\')
          escape = true;
        else if (c == '(')
          ++depth;
        else if (c == ')' && --depth == 0)
          state = kCode;
        break;
      case kLess:  // "<<" a dictionary, "<~" ASCII85, else hex
        state = c == '<' || c == '>' ? kCode : c == '~' ? kAscii85 : kHex;
        break;
      case kHex:
        if (c == '>') state = kCode;
        break;
      case kAscii85:
        if (escape && c == '>') state = kCode;
        escape = c == '~';
        break;
    }
  }
}

std::string PostScriptTail::closing() const {
  switch (state) {
    case kString:
      // A pending backslash is given a backslash to escape.
      return (escape ? "\\" : "") + std::string(depth, ')');
    case kLess:
    case kHex:
      return ">";
    case kAscii85:
      return escape ? ">" : "~>";
    default:
      return "";
  }
}

namespace {

volatile sig_atomic_t cancelled = 0;
volatile sig_atomic_t inputFd = -1;
int devNull = -1;
PostScriptTail tail;

void onSent(const char* data, size_t n) { tail.feed(data, n); }

// Only async-signal-safe work: note the signal and put /dev/null in place
// of the input, so that a read blocked or about to block ends at once.
// The converter then finishes into a writer that writes no more.
extern "C" void onCancel(int) {
  cancelled = 1;
  int fd = inputFd;
  if (fd >= 0 && devNull >= 0) dup2(devNull, fd);
}

}  // namespace

void watchForCancel(Writer& out, int fd) {
  if (devNull < 0) devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);
  inputFd = fd;
  out.watch(onSent, &cancelled);
  struct sigaction action = {};
  action.sa_handler = onCancel;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a blocked read or write returns
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &action, nullptr);
}

bool jobCancelled() { return cancelled != 0; }

int endCancelledJob(const JobContext& job) {
  dropAccounting();
  Writer end(1);
  end.write(tail.closing() + "\n\004");
  end.flush();
  logLine(job, nameHead(job) + "interrupted, job ended\n");
  return kStatusDiscard;
}
