#include "reader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include <cerrno>
#include <cstring>

#include "writer.h"

namespace {
const size_t kChunk = 65536;
// The most a stream is read ahead to learn how much of it there is.
const size_t kMaxLookAhead = size_t{64} << 20;
}

Reader::Reader(int fd) : fd_(fd), buf_(kChunk, '\0') {}

Reader::Reader(std::string_view data)
    : fd_(-1), buf_(data), end_(data.size()) {}

bool Reader::fill() {
  if (fd_ < 0 || (output_ && output_->failed())) return false;
  // Keep what has not been read yet and append after it.
  if (pos_ > 0) {
    std::memmove(&buf_[0], &buf_[pos_], end_ - pos_);
    end_ -= pos_;
    pos_ = 0;
  }
  if (buf_.size() - end_ < kChunk / 2) buf_.resize(end_ + kChunk);
  for (;;) {
    ssize_t n = ::read(fd_, &buf_[end_], buf_.size() - end_);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    end_ += static_cast<size_t>(n);
    return true;
  }
}

void Reader::unget(int c) {
  if (pos_ == 0) {
    buf_.insert(buf_.begin(), static_cast<char>(c));
    ++end_;
    return;
  }
  buf_[--pos_] = static_cast<char>(c);
}

std::string_view Reader::peek(size_t n) {
  while (end_ - pos_ < n && fill()) {
  }
  size_t have = end_ - pos_ < n ? end_ - pos_ : n;
  return std::string_view(buf_.data() + pos_, have);
}

size_t Reader::available(size_t n) {
  size_t have = end_ - pos_;
  struct stat st;
  if (have < n && fd_ >= 0 && fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) {
    off_t at = lseek(fd_, 0, SEEK_CUR);
    if (at >= 0) {
      size_t rest = st.st_size > at ? static_cast<size_t>(st.st_size - at) : 0;
      return std::min(n, have + rest);
    }
  }
  if (n <= kMaxLookAhead) return peek(n).size();
  size_t seen = peek(kMaxLookAhead).size();
  return seen < kMaxLookAhead ? seen : n;
}

size_t Reader::read(char* out, size_t n) {
  if (pos_ == end_ && !fill()) return 0;
  size_t have = end_ - pos_ < n ? end_ - pos_ : n;
  std::memcpy(out, buf_.data() + pos_, have);
  pos_ += have;
  return have;
}
