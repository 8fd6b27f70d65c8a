#include "defaults.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <new>

#include "compose.h"

namespace {

/// How reading the defaults file went.
enum ReadResult { FILE_Read, FILE_Missing, FILE_Unreadable };

// Reads the whole file at `path` into `content`, its mode into `mode`.
ReadResult readWhole(const std::string& path, std::string* content,
                     unsigned* mode) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno == ENOENT ? FILE_Missing : FILE_Unreadable;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return FILE_Unreadable;
  }
  *mode = st.st_mode & 07777;
  char buf[65536];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      close(fd);
      return FILE_Unreadable;
    }
    content->append(buf, static_cast<size_t>(n));
  }
  close(fd);
  return FILE_Read;
}

// The permission bits a newly created file gets.
unsigned newFileMode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// The file a write goes to: the target of a symbolic link, so that the
// link itself stays in place.
std::string writeTarget(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* real = realpath(path.c_str(), nullptr);
  if (!real) return path;
  std::string target = real;
  std::free(real);
  return target;
}

bool writeAll(int fd, const std::string& content) {
  size_t done = 0;
  while (done < content.size()) {
    ssize_t n = write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Makes the rename itself durable; a failure here loses nothing.
void syncDirectory(const std::string& path) {
  size_t slash = path.rfind('/');
  std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

std::string composeFile(const ToolSettings& tool, const std::string& content,
                        bool isNew) {
  std::vector<std::string> lines;
  if (isNew) {
    for (int i = 0; filterNames[i]; ++i)
      lines.push_back(std::string(filterNames[i]) + "\n");
  } else {
    lines = splitLines(content);
  }
  bool found = false;
  for (int i = 0; filterNames[i]; ++i)
    found |= composeFilterLines(lines, filterNames[i],
                                filterSettings(tool, filterNames[i]));
  if (!found) toolError(kErrNoFilterLine);
  std::string out;
  for (const std::string& line : lines) out += line;
  return out;
}

}  // namespace

std::string defaultsPath() {
  const char* home = std::getenv("HOME");
  if (!home || !*home) throw ToolError{0, "cannot get your home directory"};
  std::string path = home;
  if (path.back() != '/') path += '/';
  return path + ".zavpsdefault";
}

std::vector<std::string> splitLines(const std::string& content) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < content.size()) {
    size_t nl = content.find('\n', start);
    size_t end = nl == std::string::npos ? content.size() : nl + 1;
    lines.push_back(content.substr(start, end - start));
    start = end;
  }
  return lines;
}

bool replaceFile(const std::string& path, const std::string& content,
                 unsigned mode) {
  std::string name = path + ".XXXXXX";
  int fd = mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = fchmod(fd, static_cast<mode_t>(mode)) == 0 &&
            writeAll(fd, content) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(name.c_str(), path.c_str()) == 0;
  if (!ok) {
    unlink(name.c_str());
    return false;
  }
  syncDirectory(path);
  return true;
}

std::string rewriteDefaults(const ToolSettings& tool) {
  std::string path = defaultsPath();
  try {
    std::string content;
    unsigned mode = 0;
    ReadResult read = readWhole(path, &content, &mode);
    // A file that exists but cannot be read is left alone rather than
    // replaced by a fresh one.
    if (read == FILE_Unreadable) throw ToolError{0, path + " cannot create"};
    bool isNew = read == FILE_Missing;
    if (isNew) mode = newFileMode();
    std::string out = composeFile(tool, content, isNew);
    if (!replaceFile(writeTarget(path), out, mode))
      throw ToolError{0, path + (isNew ? " cannot create" : " cannot write")};
  } catch (const std::bad_alloc&) {
    toolError(kErrMemory);
  }
  return path;
}
