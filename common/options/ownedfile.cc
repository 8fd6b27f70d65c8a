#include "ownedfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Why the open file `st` is not one to read for `owner`; null when it is.
const char* refusal(const struct stat& st, uid_t owner) {
  if (st.st_uid != owner && st.st_uid != 0) return "owned by another user";
  if (st.st_uid != owner && st.st_nlink > 1)
    return "a second name of a file of another user";
  if (st.st_mode & S_IWOTH) return "writable by others";
  if (!S_ISREG(st.st_mode)) return "not a regular file";
  return nullptr;
}

}  // namespace

int openOwnedFile(const std::string& path, uid_t owner, std::string* problem) {
  problem->clear();
  // Without blocking: a FIFO must not stop the filter, and so the queue.
  int fd = open(path.c_str(),
                O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ELOOP)
      *problem = "a symbolic link, not followed";
    else if (errno != ENOENT && errno != ENOTDIR)
      *problem = std::strerror(errno);
    return -1;
  }
  struct stat st;
  const char* why = fstat(fd, &st) != 0 ? "cannot be examined" : refusal(st, owner);
  if (!why) return fd;
  *problem = why;
  close(fd);
  return -1;
}
