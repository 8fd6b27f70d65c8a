#include "reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

namespace {

// How much input there is, for a file, a pipe and a string, asked for
// less, exactly and far more than there is.
TEST(Reader, AvailableCountsWhatThereIs) {
  const std::string data(60000, 'x');  // fits in a pipe
  char path[] = "/tmp/zavps-reader-XXXXXX";
  int file = mkstemp(path);
  ASSERT_GE(file, 0);
  ASSERT_EQ(ssize_t(data.size()), write(file, data.data(), data.size()));
  ASSERT_EQ(0, lseek(file, 0, SEEK_SET));
  int p[2];
  ASSERT_EQ(0, pipe(p));
  ASSERT_EQ(ssize_t(data.size()), write(p[1], data.data(), data.size()));
  close(p[1]);
  Reader fromFile(file), fromPipe(p[0]), fromString(data);
  for (Reader* in : {&fromFile, &fromPipe, &fromString}) {
    EXPECT_EQ(10u, in->available(10));
    EXPECT_EQ(data.size(), in->available(data.size()));
    EXPECT_EQ(data.size(), in->available(size_t{1} << 40));
    EXPECT_EQ(10u, in->peek(10).size());
    in->skip(10);
    EXPECT_EQ(data.size() - 10, in->available(data.size()));
  }
  close(file);
  close(p[0]);
  unlink(path);
}

}  // namespace
