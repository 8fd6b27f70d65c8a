#include "account.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "logline.h"

namespace {

// `text` with every control character replaced by '?'.
std::string oneLine(const std::string& text) {
  std::string s = text;
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return s;
}

// The head of the record of the job being printed, if it was printed.
std::optional<std::string> pending;

}  // namespace

void keepAccounting(const std::string& head) { pending = head; }

void dropAccounting() { pending.reset(); }

void writeAccounting(const JobContext& job) {
  std::optional<std::string> head;
  head.swap(pending);
  if (!head || job.owner.empty() || job.accounting_file.empty()) return;
  std::string record =
      *head + oneLine(job.host) + ":" + oneLine(job.owner) + "\n";
  const char* path = job.accounting_file.c_str();
  // No O_CREAT: the file must exist. A record that cannot be written is
  // said in the log, so that a queue that bills nobody is noticed.
  int fd = open(path, O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) {
    logLine(job, nameHead(job) + "accounting file " + path +
                     " not written: " + std::strerror(errno) + "\n");
    return;
  }
  ssize_t n = ::write(fd, record.data(), record.size());
  (void)n;  // accounting is best effort
  close(fd);
}
