#include "rawinput.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "jobcontext.h"
#include "logline.h"
#include "options.h"
#include "reader.h"
#include "status.h"

size_t readFully(Reader& in, uint8_t* out, size_t n) {
  size_t done = 0;
  while (done < n) {
    size_t k = in.read(reinterpret_cast<char*>(out) + done, n - done);
    if (k == 0) break;
    done += k;
  }
  return done;
}

void refuseHugeImage(uint64_t width, uint64_t height, const JobContext& job) {
  if (width > kMaxImageSide || height > kMaxImageSide ||
      width * height > maxImagePixels)
    refuseInput(job,
                "image of " + std::to_string(width) + " x " + std::to_string(height) +
                    " pixels is larger than this filter prints, not printed");
}

int copyToTemporaryFile(Reader& in, const JobContext& job) {
  const char* dir = std::getenv("TMPDIR");
  std::string path = std::string(dir && *dir ? dir : "/tmp") + "/zavpsimg-XXXXXX";
  int fd = mkostemp(path.data(), O_CLOEXEC);
  if (fd < 0)
    throw FatalError{nameHead(job) + "cannot make a temporary file: " +
                         std::strerror(errno) + "\n", 255};
  unlink(path.c_str());
  char buf[65536];
  size_t n;
  while ((n = in.read(buf, sizeof buf)) > 0) {
    for (size_t done = 0; done < n;) {
      ssize_t w = ::write(fd, buf + done, n - done);
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) {
        int err = errno;
        close(fd);
        throw FatalError{nameHead(job) + "cannot copy the input: " +
                             std::strerror(err) + "\n", 255};
      }
      done += static_cast<size_t>(w);
    }
  }
  lseek(fd, 0, SEEK_SET);
  return fd;
}

double saneDpi(double dpi) { return dpi >= 20 && dpi <= 10000 ? dpi : 0; }
