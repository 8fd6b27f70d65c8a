// Whole-program tests of how jobs end when things go wrong around them:
// the printer connection drops, the spooler ends a job, the job owner's
// defaults file is not theirs, two option tool runs meet.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "run.h"
#include "testdump.h"

namespace {

// A reader that goes away after the first byte: the rest of the job cannot
// be written, which is reported like a full disk, and the job is retried.
TEST(Robustness, LostReaderIsAWriteError) {
  TempDir dir;
  std::string text = dir.write("t.txt", std::string(3000000, 'x') + "\n");
  TestDump d(8, 1500, 1000, 0);
  d.rows.assign(1500 * 1000, '\0');
  for (size_t i = 0; i < d.rows.size(); ++i) d.rows[i] = char(i * 7919 % 251);
  std::string dump = dir.write("d.xwd", d.bytes());
  const struct {
    const char* name;
    std::string args;
    int status;
    const char* err;
  } cases[] = {
      {"texttops", text, 255, "texttops: cannot write output: Broken pipe\n"},
      {"zavpsif", "-n ann -h pc1 <" + text, 1,
       "zavpsif: job of ann@pc1: cannot write output: Broken pipe\n"},
      {"zavpscups-text", "1 ann t 1 '' " + text, 1,
       "ERROR: cannot write output: Broken pipe\n"},
      {"imgtops", dump, 255, "imgtops: cannot write output: Broken pipe\n"},
      {"zavpsvf", "<" + dump, 1, "zavpsvf: job of ?@?: cannot write output: Broken pipe\n"},
      // Endless input ends too, once the output is lost.
      {"texttops", "< <(yes)", 255, "texttops: cannot write output: Broken pipe\n"},
  };
  for (const auto& c : cases) {
    RunResult r = run({"timeout", "60", "bash", "-c",
                       "\"$0\" " + c.args + " | head -c 1 >/dev/null;"
                       " exit ${PIPESTATUS[0]}",
                       bin(c.name)});
    EXPECT_EQ(r.status, c.status) << c.name;
    EXPECT_EQ(r.err, c.err);
  }
}

// Whether `pid` catches `sig` and, having read all of the pipe `fd`,
// sleeps waiting for more. Gives up after ten seconds.
bool waitsForInput(pid_t pid, int sig, int fd) {
  std::string proc = "/proc/" + std::to_string(pid);
  for (int tries = 0; tries < 1000; ++tries, usleep(10 * 1000)) {
    std::string status = readFile(proc + "/status");
    size_t at = status.find("SigCgt:");
    if (at == std::string::npos) continue;
    unsigned long long caught = std::strtoull(status.c_str() + at + 7, nullptr, 16);
    int unread = -1;
    if (!(caught & (1ull << (sig - 1))) || ioctl(fd, FIONREAD, &unread) != 0 ||
        unread != 0)
      continue;
    std::string stat = readFile(proc + "/stat");
    size_t paren = stat.rfind(") ");
    if (paren != std::string::npos && stat[paren + 2] == 'S') return true;
  }
  return false;
}

// Parentheses of PostScript strings still open in `doc`, which holds no
// comment with one.
int openParentheses(const std::string& doc) {
  int depth = 0;
  for (size_t i = 0; i < doc.size(); ++i) {
    if (doc[i] == '\\') ++i;
    else if (doc[i] == '(') ++depth;
    else if (doc[i] == ')') --depth;
  }
  return depth;
}

// The spooler cancels a job while the filter waits for more input, with
// part of the document sent: the printer gets the part, the open string
// closed, and the end of the job; the job is discarded, not accounted.
TEST(Robustness, CancelledJobEndsCleanly) {
  TestDump d(8, 100, 100, 0);
  std::string text;
  while (text.size() < 100000) text += std::string(300, 'w') + "\n";
  const struct {
    const char* name;
    int sig;
    bool filter;  // filter mode: the job is ended, not killed
  } cases[] = {{"zavpsif", SIGINT, true}, {"zavpsif", SIGTERM, true},
               {"zavpsif", SIGHUP, true}, {"zavpsvf", SIGTERM, true},
               {"zavpsvf", SIGHUP, true}, {"texttops", SIGTERM, false}};
  TempDir dir;
  std::string acct = dir.write("acct", "");
  signal(SIGPIPE, SIG_IGN);
  for (const auto& c : cases) {
    bool image = c.name == std::string("zavpsvf");
    int in[2], out[2];
    ASSERT_EQ(0, pipe(in));
    ASSERT_EQ(0, pipe(out));
    std::string log = dir.write("log", "");
    pid_t pid = fork();
    if (pid == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      dup2(open(log.c_str(), O_WRONLY), 2);
      for (int fd : {in[0], in[1], out[0], out[1]}) close(fd);
      if (c.filter)
        execl(bin(c.name).c_str(), c.name, "-n", "ann", acct.c_str(), nullptr);
      execl(bin(c.name).c_str(), c.name, nullptr);
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    std::string part = image ? d.bytes() + std::string(6000, '\x40') : text;
    ASSERT_EQ(ssize_t(part.size()), write(in[1], part.data(), part.size()));
    if (!c.filter) usleep(300 * 1000);  // no handler to wait for
    ASSERT_TRUE(!c.filter || waitsForInput(pid, c.sig, in[1])) << c.name;
    kill(pid, c.sig);
    std::string got;
    char buf[4096];
    for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) got.append(buf, size_t(n));
    int status = 0;
    waitpid(pid, &status, 0);
    close(in[1]);
    close(out[0]);
    if (!c.filter) {
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.sig);
      continue;
    }
    ASSERT_TRUE(WIFEXITED(status)) << c.name << c.sig;
    EXPECT_EQ(2, WEXITSTATUS(status)) << c.name << c.sig;
    EXPECT_EQ(readFile(log), std::string(c.name) + ": job of ann@?: interrupted, job ended\n");
    ASSERT_GT(got.size(), 2u);
    EXPECT_EQ(got.substr(got.size() - 2), "\n\x04") << c.name << c.sig;
    if (image) EXPECT_EQ(got.find("showpage"), std::string::npos);
    if (!image) {
      EXPECT_EQ(got.find("%%Trailer"), std::string::npos);
      // The part sent stopped inside a line's string.
      EXPECT_EQ(got.substr(got.size() - 4), "w)\n\x04");
      EXPECT_EQ(openParentheses(got), 0);
    }
  }
  EXPECT_EQ(readFile(acct), "");
}

// The job owner's defaults file is read with privileges the owner may
// lack: a link, another user's file, a file others may change, a FIFO is
// ignored with a line that tells nothing of what it leads to.
TEST(Robustness, OwnerDefaultsFileMustBeTheirs) {
  TestUser user("zavpsown");
  if (!user.ok) GTEST_SKIP() << "needs root and useradd to make a test user";
  TempDir secret;
  std::string hidden = secret.write("secret", "zavpsif -Secret\n");
  std::string big = secret.write("big", std::string(70000, '#'));
  std::string file = user.home.path + "/.zavpsdefault";
  const std::string make = "printf 'zavpsif -D\\n' > $F; ";
  const struct {
    std::string setup;  // shell commands with the file as $F
    const char* problem;  // "" when the file is read
  } cases[] = {
      {make + "chown $U $F", ""},
      {make, ""},  // root's
      {"ln -s " + hidden + " $F", "a symbolic link, not followed"},
      {"ln -s " + big + " $F", "a symbolic link, not followed"},
      {"ln -s " + secret.path + "/none $F", "a symbolic link, not followed"},
      {"ln " + hidden + " $F", "a second name of a file of another user"},
      {make + "chown nobody $F", "owned by another user"},
      {make + "chown $U $F; chmod 666 $F", "writable by others"},
      {"mkfifo $F; chown $U $F", "not a regular file"},
  };
  for (const auto& c : cases) {
    unlink(file.c_str());
    run({"sh", "-c", c.setup, "sh"}, {"", {"F=" + file, "U=" + user.name}, ""});
    RunResult r = run({"timeout", "20", bin("zavpsif"), "-n", user.name},
                      {"x\n", {}, ""});
    EXPECT_EQ(r.status, 0) << c.setup;
    bool read = *c.problem == '\0';
    EXPECT_EQ(r.err, read ? "" : "zavpsif: job of " + user.name + "@?: " + file +
                                     ": defaults file not read: " + c.problem + "\n");
    EXPECT_EQ(read, r.out.find("/Duplex true") != std::string::npos) << c.setup;
  }
  unlink(file.c_str());
}

// The system file beside the program: root's or the running user's, not
// writable by others, not a link.
TEST(Robustness, SystemDefaultsFileMustBeTrusted) {
  TempDir installed;
  std::string program = installed.path + "/texttops";
  ASSERT_EQ(run({"cp", bin("texttops"), program}).status, 0);
  std::string zavpsif = installed.path + "/zavpsif";
  ASSERT_EQ(symlink("texttops", zavpsif.c_str()), 0);
  std::string file = installed.write(".zavpsdefault", "zavpsif -Nc=5\n");
  std::string other = installed.write("other", "zavpsif -Nc=5\n");
  const struct {
    std::string setup;
    const char* problem;
  } cases[] = {
      {"chmod 644 $F", ""},
      {"chmod 666 $F", "writable by others"},
      {"rm $F; ln -s $O $F", "a symbolic link, not followed"},
  };
  for (const auto& c : cases) {
    run({"sh", "-c", c.setup, "sh"}, {"", {"F=" + file, "O=" + other}, ""});
    RunResult r = run({zavpsif, "-n", "no-such-user-zz"}, {"x\n", {}, ""});
    bool read = *c.problem == '\0';
    EXPECT_EQ(r.err, read ? "" : "zavpsif: job of no-such-user-zz@?: " + file +
                                     ": defaults file not read: " + c.problem + "\n");
    EXPECT_EQ(read, r.out.find("<</NumCopies 5>>") != std::string::npos) << c.setup;
  }
}

// Control characters in a login, a host or a defaults file's word reach
// neither the log nor the document's lines.
TEST(Robustness, ControlCharactersAreReplaced) {
  RunResult r = run({bin("zavpscups-text"), "1", "ann\r\n%%EOF", "t", "1",
                     "zavps-stamp=ul:u"},
                    {"x\n", {}, ""});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("(User:ann??%%EOF ) lsu"), std::string::npos);
  r = run({bin("texttops"), "-Hd=ul:u"}, {"x\n", {"LOGNAME=ann\n%%EOF"}, ""});
  EXPECT_NE(r.out.find("(User:ann?%%EOF ) lsu"), std::string::npos);
  EXPECT_EQ(r.out.find("\n%%EOF\n"), std::string::npos);

  TempDir installed;
  std::string zavpsif = installed.path + "/zavpsif";
  ASSERT_EQ(run({"cp", bin("texttops"), zavpsif}).status, 0);
  installed.write(".zavpsdefault", "zavpsif -D -\x1b]2;owned\x07\n");
  r = run({zavpsif, "-n", "no-such-user-zz"}, {"x\n", {}, ""});
  EXPECT_EQ(r.status, 2);
  // The escape character; and a login and host as the log names them.
  EXPECT_EQ(r.err, "zavpsif: job of no-such-user-zz@?: Unknown option '?'\n");
  r = run({bin("zavpsif"), "-n", "ann\x1b[2J", "-h", "pc1\n"}, {std::string("\0\0", 2), {}, ""});
  EXPECT_EQ(r.err, "zavpsif: job of ann?[2J@pc1?: binary file, not printed\n");
  r = run({bin("zavpscups-text"), "1", "ann", "t", "1", "media=A4\x1b[2J"},
          {"x\n", {}, ""});
  EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << r.err;
}

// Every device request is skipped by an interpreter that lacks the
// feature: plain Ghostscript, without the printer's engine device.
TEST(Robustness, SetupRunsWithoutThePrintersFeatures) {
  TempDir dir;
  std::string dump = readFile(IMGTOPS_TESTDATA "/text.xwd");
  const struct {
    const char* name;
    std::vector<std::string> args;
    std::string input;
  } cases[] = {
      {"texttops", {"-t", "-E", "-Jjob", "-Ore", "-I1", "-D", "-Nc=2", "-Cl"}, "x\n"},
      {"texttops", {"-t", "-Jset", "-Oof", "-IA4", "-d", "-l60", "-Hd=ur"}, "x\n"},
      {"texttops", {"-t", "-E", "-Jno", "-Oce", "-Nc=2", "-Cl"}, "%!\nshowpage\n"},
      {"imgtops", {"-t", "-E", "-Jno", "-Oce", "-I2", "-D", "-Nc=2", "-Cl"}, dump},
      {"imgtog4", {"-t", "-Jjob", "-Oof", "-d", "-Hd=dl"}, dump},
  };
  for (const auto& c : cases) {
    std::vector<std::string> argv = {bin(c.name)};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    std::string doc = dir.write("doc.ps", run(argv, {c.input, {"TEXTTOPSOPTION"}, ""}).out);
    RunResult gs = run({"timeout", "60", "gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE",
                        "-sDEVICE=nullpage", doc});
    EXPECT_EQ(gs.status, 0) << c.name << c.args[0] << gs.out << gs.err;
    EXPECT_EQ(gs.out + gs.err, "") << c.name;
  }
  // With the engine device, toner saving is asked of it as before.
  std::string prelude = dir.write("engine.ps",
      "/currentdevparams { dup (%Engine%) eq { pop << /TonerSaver false >> }\n"
      "  { //currentdevparams } ifelse } bind def\n"
      "/setdevparams { 1 index (%Engine%) eq { pop pop (engine toner saving) print }\n"
      "  { //setdevparams } ifelse } bind def\n");
  std::string doc = dir.write("doc.ps", run({bin("texttops"), "-t"}, {"x\n", {"TEXTTOPSOPTION"}, ""}).out);
  RunResult gs = run({"timeout", "60", "gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE",
                      "-sDEVICE=nullpage", prelude, doc});
  EXPECT_EQ(gs.out, "engine toner saving");
}

// Names in a directory, sorted.
std::vector<std::string> entries(const std::string& dir) {
  RunResult r = run({"ls", "-A", dir});
  std::vector<std::string> names;
  for (size_t at = 0, nl; (nl = r.out.find('\n', at)) != std::string::npos; at = nl + 1)
    names.push_back(r.out.substr(at, nl - at));
  return names;
}

// Two runs at once, each changing a line of its own: both changes stay.
TEST(Robustness, OptionToolRunsTakeTurns) {
  TempDir home;
  std::string file = home.path + "/.zavpsdefault";
  for (int trial = 0; trial < 20; ++trial) {
    home.write(".zavpsdefault", "zavpsif\nzavpsvf\n");
    RunResult r = run({"sh", "-c",
                       "\"$0\" -X zavpsif=-2 & \"$0\" -X zavpsvf=-S=7 & wait",
                       bin("zavpsoption")},
                      {"", {"HOME=" + home.path}, ""});
    ASSERT_EQ(readFile(file), "zavpsif -2\nzavpsvf -S=7\n")
        << "trial " << trial;
  }
  EXPECT_EQ(entries(home.path), std::vector<std::string>{".zavpsdefault"});
}

// The filters follow no link for the spooler: the tool warns of one.
TEST(Robustness, OptionToolWarnsOfALink) {
  TempDir home;
  home.write("dots", "zavpsif\n");
  std::string file = home.path + "/.zavpsdefault";
  ASSERT_EQ(symlink("dots", file.c_str()), 0);
  RunResult r = run({bin("zavpsoption"), "-D"}, {"", {"HOME=" + home.path}, ""});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "zavpsoption : warning: the print spooler does not follow the link " +
                       file + " (make it the file itself)\n");
}

// What a run killed outright while writing leaves, the next run removes.
TEST(Robustness, OptionToolCleansUpAfterAKilledRun) {
  TempDir home;
  std::string file = home.write(".zavpsdefault", "zavpsif\n#" + std::string(16 << 20, 'x') + "\n");
  std::string temporary = file + ".zavpsoption-new";
  pid_t pid = fork();
  if (pid == 0) {
    setenv("HOME", home.path.c_str(), 1);
    execl(bin("zavpsoption").c_str(), "zavpsoption", "-t", nullptr);
    _exit(127);
  }
  for (int tries = 0; tries < 10000 && access(temporary.c_str(), F_OK) != 0; ++tries)
    usleep(1000);
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  EXPECT_EQ(entries(home.path),
            std::vector<std::string>({".zavpsdefault", ".zavpsdefault.lock",
                                      ".zavpsdefault.zavpsoption-new"}));
  RunResult r = run({bin("zavpsoption"), "-D"}, {"", {"HOME=" + home.path}, ""});
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(entries(home.path), std::vector<std::string>{".zavpsdefault"});
  EXPECT_EQ(readFile(file).substr(0, 12), "zavpsif -D\n#");
}

}  // namespace
