#include "account.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "options.h"

namespace {

// `text` with every control character replaced by '?'.
std::string oneLine(const std::string& text) {
  std::string s = text;
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return s;
}

// The record of the job being printed; empty when there is none.
std::string pending;

}  // namespace

void keepAccounting(const std::string& head) {
  if (opt.login_name.empty() || opt.accounting_file.empty()) return;
  pending = head + oneLine(opt.host_name) + ":" + oneLine(opt.login_name) + "\n";
}

void dropAccounting() { pending.clear(); }

void writeAccounting() {
  std::string record;
  record.swap(pending);
  if (record.empty()) return;
  const char* path = opt.accounting_file.c_str();
  // No O_CREAT: the file must exist. A record that cannot be written is
  // said in the log, so that a queue that bills nobody is noticed.
  int fd = open(path, O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) {
    std::fprintf(stderr, "%s: accounting file %s not written: %s\n",
                 opt.filter_name.c_str(), oneLine(path).c_str(), std::strerror(errno));
    return;
  }
  ssize_t n = ::write(fd, record.data(), record.size());
  (void)n;  // accounting is best effort
  close(fd);
}
