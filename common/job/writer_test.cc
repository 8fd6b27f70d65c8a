#include "writer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string>
#include <utility>

namespace {

// What `use` makes a writer on a pipe write, read back once it is gone.
std::string throughPipe(const std::function<void(int fd)>& use) {
  int p[2];
  EXPECT_EQ(0, pipe(p));
  use(p[1]);
  close(p[1]);
  std::string got;
  char buf[4096];
  ssize_t n;
  while ((n = read(p[0], buf, sizeof buf)) > 0) got.append(buf, size_t(n));
  close(p[0]);
  return got;
}

TEST(Writer, NumbersInDecimal) {
  Writer w = Writer::memory();
  for (unsigned n : {0u, 7u, 10u, 2048u, 4294967295u}) {
    w.number(n);
    w.put(' ');
  }
  EXPECT_EQ(w.str(), "0 7 10 2048 4294967295 ");
}

TEST(Writer, MovedWriterHandsOnItsBytesOnce) {
  EXPECT_EQ("once\nmore\n", throughPipe([](int fd) {
              Writer a(fd);
              a.write("once\n");
              Writer b(std::move(a));
              b.write("more\n");
            }));
  Writer a = Writer::memory();
  a.write("once\n");
  Writer b(std::move(a));
  EXPECT_EQ("once\n", b.str());
}

TEST(Writer, KeepsTheFirstWriteError) {
  int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(full, 0);
  const std::function<void(Writer&)> writes[] = {
      [](Writer& w) { w.put('x'); },
      [](Writer& w) { w.write(std::string(200000, 'x')); },
      [](Writer& w) { w.printf("%0*d", 100000, 1); },
  };
  for (const auto& write : writes) {
    Writer w(full);
    EXPECT_FALSE(w.failed());
    write(w);
    w.flush();
    EXPECT_TRUE(w.failed());
    EXPECT_EQ(ENOSPC, w.error());
    w.write("dropped");
    w.flush();
    EXPECT_EQ(ENOSPC, w.error());
  }
  close(full);
  throughPipe([](int fd) {
    Writer w(fd);
    w.write("fine\n");
    w.flush();
    EXPECT_FALSE(w.failed());
  });
}

}  // namespace
