#include "defaults.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
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

// The file a write goes to: the end of a chain of symbolic links, so
// that the links stay in place; a dangling link's target is created.
std::string writeTarget(const std::string& path) {
  std::string target = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
    std::string link(PATH_MAX, '\0');
    ssize_t n = readlink(target.c_str(), link.data(), link.size());
    if (n <= 0) break;
    link.resize(static_cast<size_t>(n));
    size_t slash = target.rfind('/');
    if (link[0] != '/' && slash != std::string::npos)
      link = target.substr(0, slash + 1) + link;
    target = link;
  }
  return target;
}

// The temporary file being written, and the lock file held, for the
// signal handler; null when there is none.
const char* volatile pendingTemp = nullptr;
const char* volatile pendingLock = nullptr;

// Signals that end the tool while it writes.
const int endingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, 0};

extern "C" void removeTempAndDie(int sig) {
  if (const char* name = pendingTemp) unlink(name);
  if (const char* name = pendingLock) unlink(name);
  signal(sig, SIG_DFL);
  raise(sig);
}

// Blocks the ending signals while it lives, so that the temporary file
// and its record in `pendingTemp` appear and vanish together.
struct SignalsHeld {
  sigset_t old;
  SignalsHeld() {
    sigset_t set;
    sigemptyset(&set);
    for (const int* s = endingSignals; *s; ++s) sigaddset(&set, *s);
    sigprocmask(SIG_BLOCK, &set, &old);
  }
  ~SignalsHeld() { sigprocmask(SIG_SETMASK, &old, nullptr); }
};

// Catches the ending signals while it lives, so that they remove the
// files of a run, and restores the handlers before.
struct SignalsCaught {
  struct sigaction old[4];
  SignalsCaught() {
    struct sigaction act = {};
    act.sa_handler = removeTempAndDie;
    sigemptyset(&act.sa_mask);
    for (int i = 0; endingSignals[i]; ++i)
      sigaction(endingSignals[i], &act, &old[i]);
  }
  ~SignalsCaught() {
    for (int i = 0; endingSignals[i]; ++i)
      sigaction(endingSignals[i], &old[i], nullptr);
  }
};

// Whether `fd` is the file `name` names.
bool sameFile(int fd, const std::string& name) {
  struct stat held, named;
  return fstat(fd, &held) == 0 && lstat(name.c_str(), &named) == 0 &&
         held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// The lock under which runs on the same file take turns, from reading the
// file to the rename of the new one: flock on the file's name with
// ".lock" added. The holder removes the lock file when done (or ended by
// a signal); a waiter that then finds the name gone or given to another
// file locks anew. One left by a killed run is taken over. Where no lock
// file can be made the run goes on unlocked.
struct FileLock {
  SignalsCaught caught;
  std::string name;
  int fd = -1;
  explicit FileLock(const std::string& target) : name(target + ".lock") {
    for (int tries = 0; tries < 1000; ++tries) {
      {
        // A lock file this run makes is its own to remove from the start.
        SignalsHeld held;
        fd = open(name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) return;
        if (flock(fd, LOCK_EX | LOCK_NB) == 0 && sameFile(fd, name)) {
          pendingLock = name.c_str();
          return;
        }
      }
      // Another run holds it: wait (a signal ends the wait, and the lock
      // file is the other run's to remove).
      while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
      }
      SignalsHeld held;
      if (sameFile(fd, name)) {
        pendingLock = name.c_str();
        return;
      }
      close(fd);
      fd = -1;
    }
  }
  ~FileLock() {
    if (fd < 0) return;
    {
      SignalsHeld held;
      unlink(name.c_str());
      pendingLock = nullptr;
    }
    close(fd);
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
};

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
  std::vector<std::string> missing;
  for (int i = 0; filterNames[i]; ++i) {
    FilterSettings settings = filterSettings(tool, filterNames[i]);
    bool here = composeFilterLines(lines, filterNames[i], settings);
    found |= here;
    if (!here && settings.others) missing.push_back(filterNames[i]);
  }
  if (!found) toolError(kErrNoFilterLine);
  // A filter named by -X gets the line it lacks, rather than losing its
  // options without a word.
  for (const std::string& name : missing) {
    if (!lines.empty() && lines.back().back() != '\n') lines.back() += '\n';
    lines.push_back(name + "\n");
    std::vector<std::string> added(1, lines.back());
    composeFilterLines(added, name, filterSettings(tool, name));
    lines.back() = added[0];
  }
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
  struct sigaction act = {}, old[4];
  act.sa_handler = removeTempAndDie;
  sigemptyset(&act.sa_mask);
  for (int i = 0; endingSignals[i]; ++i)
    sigaction(endingSignals[i], &act, &old[i]);
  // One name, so that what a run killed outright left is replaced by the
  // next run's file; runs take turns under the file's lock.
  std::string name = path + kTemporarySuffix;
  int fd;
  {
    SignalsHeld held;
    unlink(name.c_str());
    fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) pendingTemp = name.c_str();
  }
  bool ok = fd >= 0;
  if (ok) {
    ok = fchmod(fd, static_cast<mode_t>(mode)) == 0 &&
         writeAll(fd, content) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    SignalsHeld held;
    ok = ok && rename(name.c_str(), path.c_str()) == 0;
    if (!ok) unlink(name.c_str());
    pendingTemp = nullptr;
  }
  for (int i = 0; endingSignals[i]; ++i)
    sigaction(endingSignals[i], &old[i], nullptr);
  if (ok) syncDirectory(path);
  return ok;
}

std::string spoolerWarning(const std::string& path) {
  // The filters read no file through a link for another user's job.
  struct stat link;
  if (lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
    return "zavpsoption : warning: the print spooler does not follow the "
           "link " + path + " (make it the file itself)";
  std::string fixes;
  std::vector<std::string> dirs;
  // The way to the link and the way to its target.
  char* real = realpath(path.c_str(), nullptr);
  std::string target = real ? real : writeTarget(path);
  std::free(real);
  for (const std::string& full : {path, target}) {
    for (size_t slash = full.find('/', 1); slash != std::string::npos;
         slash = full.find('/', slash + 1))
      dirs.push_back(full.substr(0, slash));
    if (full[0] == '/' && full.find('/', 1) != std::string::npos)
      dirs.insert(dirs.begin(), "/");
  }
  for (size_t i = 0; i < dirs.size(); ++i) {
    struct stat st;
    bool repeated = std::find(dirs.begin(), dirs.begin() + i, dirs[i]) !=
                    dirs.begin() + i;
    if (!repeated && stat(dirs[i].c_str(), &st) == 0 &&
        !(st.st_mode & S_IXOTH))
      fixes += (fixes.empty() ? "" : "; ") + ("chmod o+x " + dirs[i]);
  }
  struct stat st;
  if (stat(path.c_str(), &st) == 0 && !(st.st_mode & S_IROTH))
    fixes += (fixes.empty() ? "" : "; ") + ("chmod o+r " + path);
  if (fixes.empty()) return "";
  return "zavpsoption : warning: the print spooler cannot read " + path +
         " (" + fixes + ")";
}

std::string rewriteDefaults(const ToolSettings& tool) {
  std::string path = defaultsPath();
  try {
    std::string target = writeTarget(path);
    FileLock lock(target);
    std::string content;
    unsigned mode = 0;
    ReadResult read = readWhole(path, &content, &mode);
    // A file that exists but cannot be read is left alone rather than
    // replaced by a fresh one.
    if (read == FILE_Unreadable) throw ToolError{0, path + " cannot create"};
    bool isNew = read == FILE_Missing;
    if (isNew) mode = newFileMode();
    std::string out = composeFile(tool, content, isNew);
    if (!replaceFile(target, out, mode))
      throw ToolError{0, path + (isNew ? " cannot create" : " cannot write")};
  } catch (const std::bad_alloc&) {
    toolError(kErrMemory);
  }
  return path;
}
