#include "writer.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <utility>
#include <vector>

Writer::Writer(int fd) : Writer(fd, false) {}

Writer::Writer(int fd, bool memory) : fd_(fd), memory_(memory) {}

Writer Writer::memory() { return Writer(-1, true); }

Writer::Writer(Writer&& other)
    : fd_(other.fd_), memory_(other.memory_), error_(other.error_),
      len_(other.len_), collected_(std::move(other.collected_)) {
  std::copy(other.buf_, other.buf_ + len_, buf_);
  other.len_ = 0;
  other.collected_.clear();
}

Writer::~Writer() { flush(); }

// Writes `n` bytes to the descriptor. The first failure is kept, and
// nothing more is written after it.
void Writer::send(const char* data, size_t n) {
  size_t done = 0;
  while (done < n && !error_) {
    if (stop_ && *stop_) return;
    ssize_t k = ::write(fd_, data + done, n - done);
    if (k < 0 && errno == EINTR) continue;
    if (k < 0) error_ = errno;
    if (k == 0) error_ = EIO;
    if (k <= 0) break;
    if (sent_) sent_(data + done, static_cast<size_t>(k));
    done += static_cast<size_t>(k);
  }
}

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
  send(s.data(), s.size());
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
  send(buf_, len_);
  len_ = 0;
}

const std::string& Writer::str() {
  flush();
  return collected_;
}
