#include "writer.h"

#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <vector>

Writer::Writer(int fd) : Writer(fd, false) {}

Writer::Writer(int fd, bool memory) : fd_(fd), memory_(memory) {}

Writer Writer::memory() { return Writer(-1, true); }

Writer::~Writer() { flush(); }

void Writer::writeLong(std::string_view s) {
  flush();
  if (s.size() < sizeof buf_) {
    s.copy(buf_, s.size());
    len_ = s.size();
    return;
  }
  if (memory_) {
    collected_.append(s);
    return;
  }
  size_t done = 0;
  while (done < s.size()) {
    ssize_t n = ::write(fd_, s.data() + done, s.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // write errors are not reported
    done += static_cast<size_t>(n);
  }
}

void Writer::printf(const char* format, ...) {
  char small[512];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  int n = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (n < 0) {
    va_end(again);
    return;
  }
  if (static_cast<size_t>(n) < sizeof small) {
    write(std::string_view(small, static_cast<size_t>(n)));
  } else {
    std::vector<char> big(static_cast<size_t>(n) + 1);
    std::vsnprintf(big.data(), big.size(), format, again);
    write(std::string_view(big.data(), static_cast<size_t>(n)));
  }
  va_end(again);
}

void Writer::flush() {
  if (memory_) {
    collected_.append(buf_, len_);
    len_ = 0;
    return;
  }
  size_t done = 0;
  while (done < len_) {
    ssize_t n = ::write(fd_, buf_ + done, len_ - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // write errors are not reported
    done += static_cast<size_t>(n);
  }
  len_ = 0;
}

const std::string& Writer::str() {
  flush();
  return collected_;
}
