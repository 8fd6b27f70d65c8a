// The one buffered writer every program sends its job through.
#ifndef COMMON_JOB_WRITER_H_
#define COMMON_JOB_WRITER_H_

#include <csignal>
#include <cstddef>
#include <string>
#include <string_view>

/// Buffered output to a file descriptor, or into memory for tests.
class Writer {
 public:
  /// Writes to `fd` (standard output by default).
  explicit Writer(int fd = 1);
  /// Collects everything in memory; read it with str().
  static Writer memory();
  ~Writer();
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;
  /// Takes over the other writer's buffered bytes; it is left empty.
  Writer(Writer&& other);
  Writer& operator=(Writer&&) = delete;

  void put(char c) {
    if (len_ == sizeof buf_) flush();
    buf_[len_++] = c;
  }
  void write(std::string_view s) {
    if (s.size() <= sizeof buf_ - len_) {
      s.copy(buf_ + len_, s.size());
      len_ += s.size();
    } else {
      writeLong(s);
    }
  }
  /// An unsigned number in decimal, without printf's work.
  void number(unsigned n) {
    char digits[10];
    size_t at = sizeof digits;
    do {
      digits[--at] = static_cast<char>('0' + n % 10);
      n /= 10;
    } while (n != 0);
    write(std::string_view(digits + at, sizeof digits - at));
  }
  /// Formatted text, as printf.
  void printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  /// Hands the buffered bytes on (to the descriptor or the memory string).
  void flush();
  /// What a memory writer has collected so far (flushes first).
  const std::string& str();
  /// Whether a write has failed; from then on output is dropped.
  bool failed() const { return error_ != 0; }
  /// The errno of the first failed write (0 when none failed).
  int error() const { return error_; }
  /// For a job a signal may end: `sent` sees every byte the descriptor
  /// has taken, and once `*stop` is set nothing more is written.
  void watch(void (*sent)(const char*, size_t),
             const volatile sig_atomic_t* stop) {
    sent_ = sent;
    stop_ = stop;
  }

 private:
  Writer(int fd, bool memory);
  void writeLong(std::string_view s);
  void send(const char* data, size_t n);
  int fd_;
  bool memory_;
  int error_ = 0;
  void (*sent_)(const char*, size_t) = nullptr;
  const volatile sig_atomic_t* stop_ = nullptr;
  size_t len_ = 0;
  std::string collected_;
  char buf_[65536];
};

#endif  // COMMON_JOB_WRITER_H_
