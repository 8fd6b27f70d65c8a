#include "pdf.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "logline.h"
#include "options.h"
#include "passthrough.h"
#include "reader.h"
#include "status.h"
#include "writer.h"

extern char** environ;

namespace {

/// A step of the conversion that failed; passPdf names the filter.
struct PdfFailure {
  std::string what;
};

[[noreturn]] void fail(const std::string& what) { throw PdfFailure{what}; }

/// A file of our own in the temporary directory, removed when done.
struct TempFile {
  std::string path;
  int fd = -1;
  explicit TempFile(const char* tag) {
    const char* dir = std::getenv("TMPDIR");
    // Ghostscript reads '%' in a file name as a format.
    std::string base = dir && *dir && !std::strchr(dir, '%') ? dir : "/tmp";
    path = base + "/zavps" + tag + "-XXXXXX";
    fd = mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0) fail("cannot make a temporary file in " + base);
  }
  ~TempFile() {
    if (fd >= 0) close(fd);
    unlink(path.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
};

/// Copies the rest of `in` into `fd`; returns the bytes written.
uint64_t saveInput(Reader& in, int fd) {
  char buf[65536];
  uint64_t total = 0;
  size_t n;
  while ((n = in.read(buf, sizeof buf)) > 0) {
    for (size_t done = 0; done < n;) {
      ssize_t w = ::write(fd, buf + done, n - done);
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) fail("cannot save the PDF: " + std::string(std::strerror(errno)));
      done += static_cast<size_t>(w);
    }
    total += n;
  }
  return total;
}

/// Starts Ghostscript on `pdf`, writing PostScript to `ps` and its messages
/// to `log`. Returns the process id, or -1 when there is no gs to run.
pid_t startGhostscript(const std::string& pdf, const std::string& ps, int log) {
  std::string outArg = "-sOutputFile=" + ps;
  std::vector<const char*> args = {"gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE",
                                   "-sDEVICE=ps2write", "-sstdout=%stderr",
                                   outArg.c_str(), "-f", pdf.c_str(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, log, 1);
  posix_spawn_file_actions_adddup2(&actions, log, 2);
  pid_t pid;
  int err = posix_spawnp(&pid, "gs", &actions, nullptr,
                         const_cast<char* const*>(args.data()), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (err == ENOENT) return -1;
  if (err != 0) fail("cannot run gs: " + std::string(std::strerror(err)));
  return pid;
}

/// Waits for `pid` at most `seconds`; kills it after that. Returns its
/// wait status, or -1 when it was killed for taking too long.
int waitAtMost(pid_t pid, unsigned seconds) {
  const timespec tick = {0, 20 * 1000 * 1000};
  for (uint64_t waited = 0; waited < uint64_t{seconds} * 50; ++waited) {
    int status;
    pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) return status;
    if (r < 0 && errno != EINTR) return status;
    nanosleep(&tick, nullptr);
  }
  kill(pid, SIGKILL);
  int status;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return -1;
}

/// The first line of Ghostscript's messages that names an error (or the
/// first line at all), made printable and short.
std::string firstError(int log) {
  std::string text(4096, '\0');
  ssize_t n = pread(log, text.data(), text.size(), 0);
  text.resize(n > 0 ? static_cast<size_t>(n) : 0);
  std::string chosen;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = std::min(text.find('\n', start), text.size());
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    if (chosen.empty()) chosen = line;
    if (line.find("rror") != std::string::npos) {
      chosen = line;
      break;
    }
  }
  chosen.erase(0, chosen.find_first_not_of(" \t*"));
  if (chosen.size() > 200) chosen.resize(200);
  for (char& c : chosen)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return chosen.empty() ? "no PostScript made" : chosen;
}

/// Whether Ghostscript said it made nothing of the file: it then still
/// ends with status 0 and a blank page.
bool noPages(int log) {
  std::string text(65536, '\0');
  ssize_t n = pread(log, text.data(), text.size(), 0);
  text.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return text.find("No pages will be processed") != std::string::npos ||
         text.find("Couldn't initialise file") != std::string::npos;
}

}  // namespace

unsigned pdfTimeLimit(uint64_t bytes) {
  return static_cast<unsigned>(std::min<uint64_t>(60 + bytes / 65536, 1800));
}

namespace {

// The conversion and the pass; a failed step throws PdfFailure.
unsigned convertPdf(Reader& in, Writer& out, const JobContext& job) {
  TempFile pdf("pdf"), ps("ps"), log("log");
  uint64_t size = saveInput(in, pdf.fd);
  pid_t pid = startGhostscript(pdf.path, ps.path, log.fd);
  if (pid < 0) refuseInput(job, "PDF needs Ghostscript (gs), not printed");
  unsigned limit = pdfTimeLimit(size);
  int status = waitAtMost(pid, limit);
  if (status == -1)
    refuseInput(job,
                "PDF took Ghostscript more than " + std::to_string(limit) +
                    " s, not printed");
  struct stat st;
  bool made = fstat(ps.fd, &st) == 0 && st.st_size > 0;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !made || noPages(log.fd))
    refuseInput(job, "PDF not printed: " + firstError(log.fd));
  Reader converted(ps.fd);
  int b1 = converted.get(), b2 = converted.get();
  return passPostScript(b1, b2, converted, out);
}

}  // namespace

unsigned passPdf(Reader& in, Writer& out, const JobContext& job) {
  try {
    return convertPdf(in, out, job);
  } catch (const PdfFailure& f) {
    throw FatalError{nameHead(job) + f.what + "\n", 255};
  }
}
