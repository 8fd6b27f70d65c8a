#include "run.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

std::string bin(const std::string& name) {
  const char* dir = std::getenv("ZAVPS_BIN");
  return std::string(dir ? dir : "bin") + "/" + name;
}

RunResult run(const std::vector<std::string>& argv, const RunOptions& o) {
  RunResult r;
  signal(SIGPIPE, SIG_IGN);  // a child may stop reading its input early
  int in[2], out[2], err[2];
  if (pipe(in) || pipe(out) || pipe(err)) return r;
  pid_t pid = fork();
  if (pid == 0) {
    signal(SIGPIPE, SIG_DFL);
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
    for (const std::string& e : o.env) {
      size_t eq = e.find('=');
      if (eq == std::string::npos)
        unsetenv(e.c_str());
      else
        setenv(e.substr(0, eq).c_str(), e.c_str() + eq + 1, 1);
    }
    if (!o.cwd.empty() && chdir(o.cwd.c_str()) != 0) _exit(126);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  size_t sent = 0;
  if (o.input.empty()) {
    close(in[1]);
    in[1] = -1;
  } else {
    fcntl(in[1], F_SETFL, O_NONBLOCK);
  }
  bool outOpen = true, errOpen = true;
  char buf[65536];
  while (outOpen || errOpen) {
    pollfd fds[3] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0},
                     {in[1], POLLOUT, 0}};
    if (!outOpen) fds[0].fd = -1;
    if (!errOpen) fds[1].fd = -1;
    if (poll(fds, 3, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[2].revents & (POLLOUT | POLLERR | POLLHUP)) {
      ssize_t n = write(in[1], o.input.data() + sent, o.input.size() - sent);
      if (n > 0) sent += static_cast<size_t>(n);
      if (n < 0 && errno != EAGAIN) sent = o.input.size();
      if (sent == o.input.size()) {
        close(in[1]);
        in[1] = -1;
      }
    }
    for (int i = 0; i < 2; ++i) {
      if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      ssize_t n = read(fds[i].fd, buf, sizeof buf);
      if (n <= 0) {
        (i == 0 ? outOpen : errOpen) = false;
        continue;
      }
      (i == 0 ? r.out : r.err).append(buf, static_cast<size_t>(n));
    }
  }
  if (in[1] >= 0) close(in[1]);
  close(out[0]);
  close(err[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return r;
}

namespace {

// The printer keeps toner saving among its engine parameters; Ghostscript
// has no such device, so the tests give it one.
const char kEnginePrelude[] =
    "/currentdevparams { dup (%Engine%) eq { pop << /TonerSaver false >> }\n"
    "  { //currentdevparams } ifelse } bind def\n"
    "/setdevparams { 1 index (%Engine%) eq { pop pop }\n"
    "  { //setdevparams } ifelse } bind def\n";

}  // namespace

RunResult ghostscript(const std::string& document,
                      const std::vector<std::string>& args) {
  TempDir dir;
  std::string prelude = dir.write("prelude.ps", kEnginePrelude);
  std::string doc = dir.write("doc.ps", document);
  // A document that loops fails the test instead of stopping the suite.
  std::vector<std::string> argv = {"timeout", "120", "gs", "-q", "-dSAFER",
                                   "-dBATCH", "-dNOPAUSE"};
  bool device = false;
  for (const std::string& a : args) device |= a.rfind("-sDEVICE=", 0) == 0;
  if (!device) argv.push_back("-sDEVICE=nullpage");
  argv.insert(argv.end(), args.begin(), args.end());
  argv.push_back(prelude);
  argv.push_back(doc);
  return run(argv);
}

bool printsCleanly(const std::string& document, std::string* why) {
  RunResult r = ghostscript(document);
  bool ok = r.status == 0 && r.out.find("Error") == std::string::npos &&
            r.err.find("Error") == std::string::npos;
  if (!ok && why) *why = r.out + r.err;
  return ok;
}

int pagesPrinted(const std::string& document) {
  TempDir dir;
  RunResult r = ghostscript(document, {"-sDEVICE=pbmraw", "-r10",
                                       "-sOutputFile=" + dir.path + "/p%d"});
  if (r.status != 0 || r.out.find("Error") != std::string::npos) return -1;
  int pages = 0;
  while (access((dir.path + "/p" + std::to_string(pages + 1)).c_str(), F_OK) ==
         0)
    ++pages;
  return pages;
}

namespace {

// The value of attribute `name` in one line of txtwrite's output.
std::string attribute(const std::string& line, const std::string& name) {
  size_t at = line.find(" " + name + "=\"");
  if (at == std::string::npos) return "";
  at += name.size() + 3;
  std::string value = line.substr(at, line.find('"', at) - at);
  static const char* const entities[][2] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"},
      {"&amp;", "&"}, {nullptr, nullptr}};
  for (int e = 0; entities[e][0]; ++e)
    for (size_t i = value.find(entities[e][0]); i != std::string::npos;
         i = value.find(entities[e][0], i + 1))
      value.replace(i, std::strlen(entities[e][0]), entities[e][1]);
  return value;
}

}  // namespace

std::vector<TextSpan> textSpans(const std::string& document) {
  RunResult r = ghostscript(document, {"-sDEVICE=txtwrite", "-dTextFormat=0",
                                       "-sOutputFile=-"});
  std::vector<TextSpan> spans;
  std::istringstream in(r.out);
  int page = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("<page", 0) == 0) {
      ++page;
    } else if (line.rfind("<span ", 0) == 0) {
      TextSpan s;
      s.page = page;
      s.font = attribute(line, "font");
      s.size = std::atof(attribute(line, "size").c_str());
      std::istringstream(attribute(line, "bbox")) >> s.x0 >> s.y0 >> s.x1 >>
          s.y1;
      spans.push_back(s);
    } else if (line.rfind("<char ", 0) == 0 && !spans.empty()) {
      spans.back().text += attribute(line, "c");
    }
  }
  return spans;
}

std::string decodeAscii85(const std::string& text) {
  size_t end = std::min(text.find("~>"), text.size());
  std::string bytes;
  uint32_t value = 0;
  int n = 0;
  for (size_t i = 0; i < end; ++i) {
    char c = text[i];
    if (c == '\n') continue;
    if (c == 'z') {
      bytes.append(4, '\0');
      continue;
    }
    value = value * 85 + static_cast<uint32_t>(c - 33);
    if (++n == 5) {
      for (int s = 24; s >= 0; s -= 8) bytes += static_cast<char>(value >> s);
      value = 0;
      n = 0;
    }
  }
  if (n > 0) {
    int keep = n - 1;
    for (; n < 5; ++n) value = value * 85 + 84;
    for (int s = 24; keep > 0; s -= 8, --keep)
      bytes += static_cast<char>(value >> s);
  }
  return bytes;
}

std::string imageData(const std::string& doc) {
  size_t from = doc.find("doit\n");
  if (from == std::string::npos) return "";
  return decodeAscii85(doc.substr(from + 5));
}

TempDir::TempDir() {
  char templ[] = "/tmp/zavps-test-XXXXXX";
  const char* made = mkdtemp(templ);
  path = made ? made : "/tmp";
}

TempDir::~TempDir() {
  std::error_code ec;
  if (path != "/tmp") std::filesystem::remove_all(path, ec);
}

std::string TempDir::write(const std::string& name,
                           const std::string& content) const {
  std::string p = path + "/" + name;
  std::ofstream(p, std::ios::binary) << content;
  return p;
}

namespace {

// Runs an account tool, again while another process holds the password
// file's lock (status 1 or 10).
int accountTool(const std::vector<std::string>& argv) {
  int status = run(argv).status;
  for (int tries = 0; (status == 1 || status == 10) && tries < 50; ++tries) {
    usleep(100 * 1000);
    status = run(argv).status;
  }
  return status;
}

}  // namespace

TestUser::TestUser(const std::string& prefix)
    : name(prefix + std::to_string(getpid())) {
  if (geteuid() != 0 || !haveProgram("useradd")) return;
  ok = accountTool({"useradd", "-M", "-N", "-d", home.path, "-s", "/bin/false",
                    name}) == 0;
}

TestUser::~TestUser() {
  if (ok) accountTool({"userdel", name});
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool haveProgram(const std::string& name) {
  return run({"sh", "-c", "command -v " + name + " >/dev/null"}).status == 0;
}
