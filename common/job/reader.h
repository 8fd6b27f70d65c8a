// Buffered input from a file descriptor (or a string, for tests), with
// room to put bytes back and to look ahead.
#ifndef COMMON_JOB_READER_H_
#define COMMON_JOB_READER_H_

#include <cstddef>
#include <string>
#include <string_view>

class Writer;

/// Byte input with put-back and look-ahead. get() returns -1 at the end.
class Reader {
 public:
  /// Reads from `fd`; the caller keeps and closes it.
  explicit Reader(int fd);
  /// Reads the bytes of `data`.
  explicit Reader(std::string_view data);
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  int get() {
    if (pos_ == end_ && !fill()) return -1;
    return static_cast<unsigned char>(buf_[pos_++]);
  }
  /// Puts `c` back in front of the input (c != -1).
  void unget(int c);
  /// Up to `n` of the next bytes, not consumed (fewer at the end).
  std::string_view peek(size_t n);
  /// The bytes already buffered and not yet read (possibly none).
  std::string_view buffered() const {
    return std::string_view(buf_.data() + pos_, end_ - pos_);
  }
  /// Consumes `n` of the buffered bytes.
  void skip(size_t n) { pos_ += n; }
  /// How many of the next `n` bytes the input holds, waiting for them
  /// (n at most). A regular file is measured, not read ahead; a stream is
  /// read ahead at most 64 MiB, and when that much is there it counts as
  /// all `n`.
  size_t available(size_t n);
  /// Reads up to `n` bytes into `out`; returns how many (0 at the end).
  size_t read(char* out, size_t n);
  /// Ends the input once `out` has failed: a job whose output is lost is
  /// not read on to its end (which a pipe may never reach).
  void endWithOutput(const Writer& out) { output_ = &out; }

 private:
  bool fill();
  int fd_;
  const Writer* output_ = nullptr;
  std::string buf_;
  size_t pos_ = 0;
  size_t end_ = 0;
};

#endif  // COMMON_JOB_READER_H_
