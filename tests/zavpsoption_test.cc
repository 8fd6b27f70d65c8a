// The built option tool, and the text filter reading what it wrote.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "run.h"

namespace {

namespace fs = std::filesystem;

// Options that set (NAME=value) or unset (NAME) environment variables.
RunOptions withEnv(std::vector<std::string> env) {
  RunOptions o;
  o.env = std::move(env);
  return o;
}

// Options that give the process `text` on its standard input.
RunOptions input(const std::string& text) {
  RunOptions o;
  o.input = text;
  return o;
}

// Runs zavpsoption with `args` and HOME set to `home`.
RunResult tool(const std::string& home, std::vector<std::string> args) {
  args.insert(args.begin(), bin("zavpsoption"));
  return run(args, withEnv({"HOME=" + home}));
}

// A home the spooler could read: no warning.
struct OpenHome : TempDir {
  OpenHome() { chmod(path.c_str(), 0755); }
  std::string file() const { return path + "/.zavpsdefault"; }
};

TEST(ZavpsOptionRun, WritesAndReports) {
  OpenHome home;
  RunResult r = tool(home.path, {"-I", "A4", "-D"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, home.file() + " modefied\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(readFile(home.file()),
            "zavpsif -IA4 -D\nzavpsof -IA4\nzavpsvf -IA4 -D\n"
            "zavpsg4f -IA4 -D\n");
  r = tool(home.path + "/", {"-Oof"});
  EXPECT_EQ(r.out, home.file() + " modefied\n");
  EXPECT_EQ(readFile(home.file()),
            "zavpsif -Oof\nzavpsof -Oof\nzavpsvf -Oof\nzavpsg4f -Oof\n");
}

TEST(ZavpsOptionRun, Errors) {
  TempDir home;
  std::string file = home.path + "/.zavpsdefault";
  RunResult r = tool(home.path, {"-D", "-d"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "zavpsoption : Illegal Duplex Option\n");
  EXPECT_EQ(r.err, "");
  r = tool(home.path, {"-I70x297mm"});
  EXPECT_EQ(r.out, "zavpsoption : Illegal paper size\n");
  r = tool(home.path, {"-t", "file"});
  EXPECT_EQ(r.out, "zavpsoption : Illegal Option\n");
  for (const char* copies : {"-Nc=-3", "-Nc=1000", "-Nc=3000000000"}) {
    r = tool(home.path, {copies});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "zavpsoption : Illegal Number of Copies\n") << copies;
  }
  r = tool(home.path, {"-X", "zavpsif=-s1001 -t -"});
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.err, "Unknown option '-s1001'\n");
  r = tool(home.path, {"file", "-V"});  // no option after an operand
  EXPECT_EQ(r.out, "zavpsoption : Illegal Option\n");
  r = tool(home.path, {"-IA3"});
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Unknown option 'A3'\n");
  r = tool(home.path, {"-X", "zavpsvf=-2"});
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.err, "Unknown option '2'\n");
  r = tool(home.path, {"-V", "-D", "-D"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "zavpsoption version = " ZAVPS_VERSION "\n");
  r = tool(home.path, {"-x", "-t"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err.rfind("zavpsoption: invalid option -- 'x'\nusage: ", 0), 0u)
      << r.err;
  EXPECT_FALSE(fs::exists(file));  // no failure touched the file

  r = run({bin("zavpsoption"), "-t"}, withEnv({"HOME"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "zavpsoption : cannot get your home directory\n");

  std::string content = "# mine\n";
  home.write(".zavpsdefault", content);
  r = tool(home.path, {"-t"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "zavpsoption : zavpsof/zavpsif/zavpsvf is not found in "
            "UserDefault file\n");
  EXPECT_EQ(readFile(file), content);
}

// Exploring the tool leaves the file as it was, to the byte and the second.
TEST(ZavpsOptionRun, HelpAndUsageLeaveTheFileAlone) {
  OpenHome home;
  std::string content = "zavpsif   -D -s12\nzavpsvf -IA4\n";
  home.write(".zavpsdefault", content);
  struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, home.file().c_str(), old, 0), 0);
  const struct {
    std::vector<std::string> args;
    int status;
    bool help;  // the help text on standard output
  } runs[] = {{{"--help"}, 0, true}, {{"-h"}, 0, true},  {{"-t", "--help"}, 0, true},
              {{"-?"}, 1, false},    {{"-I"}, 1, false}, {{"-t", "-J"}, 1, false},
              {{"--hello"}, 1, false}};
  for (const auto& c : runs) {
    RunResult r = tool(home.path, c.args);
    EXPECT_EQ(r.status, c.status) << c.args[0];
    if (c.help) {
      EXPECT_EQ(r.out.rfind("usage: zavpsoption", 0), 0u);
      // Every option of the tool on a line of its own.
      for (const char* o : {"-P", "-I", "-O", "-D, -d", "-t", "-E", "-C", "-Nc=",
                            "-ps", "-G4", "-J", "-Hd=", "-Hf", "-X", "-V"})
        EXPECT_NE(r.out.find("\n  " + std::string(o)), std::string::npos)
            << o;
      EXPECT_EQ(r.err, "");
    } else {
      EXPECT_NE(r.err.find("\nusage: zavpsoption"), std::string::npos);
      EXPECT_EQ(r.out, "");
    }
    struct stat st;
    ASSERT_EQ(stat(home.file().c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1000000000) << c.args[0];
    EXPECT_EQ(readFile(home.file()), content);
  }
}

// However often the tool runs, and whatever ran before, the file it
// leaves is the one a single run leaves.
TEST(ZavpsOptionRun, TenRunsAreOneRun) {
  const std::vector<std::string> commands[] = {
      {"-IA4", "-D", "-Nc=2", "-Hd=ur:uht"},
      {"-ICOM10", "-J2", "-JN", "-X", "zavpsif=-2  -r -s9"},
      {"-t"},
      {}};
  const std::string start =
      "# mine\nzavpsif   -s12 -ICOM10  -t -JU=al\nzavpsvf -G4 -ps\n";
  OpenHome home;
  for (const auto& args : commands) {
    home.write(".zavpsdefault", start);
    tool(home.path, args);
    std::string once = readFile(home.file());
    for (int i = 0; i < 9; ++i) tool(home.path, args);
    EXPECT_EQ(readFile(home.file()), once);
  }
  // Nor does the file grow when the commands take turns.
  std::string round;
  for (int i = 0; i < 3; ++i) {
    for (const auto& args : commands) tool(home.path, args);
    if (i > 0) {
      EXPECT_EQ(readFile(home.file()), round);
    }
    round = readFile(home.file());
  }
}

// A linked file stays linked; its target is rewritten, or created when the
// link dangles.
TEST(ZavpsOptionRun, SymbolicLinksStay) {
  const struct {
    const char* link;    // what .zavpsdefault points to
    const char* second;  // a link at that place to the real file, if any
    const char* real;    // the file that is written
    bool exists;
  } links[] = {{"dots/zavps", nullptr, "dots/zavps", true},
               {"dots/zavps", nullptr, "dots/zavps", false},
               {"dots/hop", "zavps", "dots/zavps", true},
               {nullptr, nullptr, nullptr, false}};
  for (int i = 0; links[i].link; ++i) {
    OpenHome home;
    fs::create_directory(home.path + "/dots");
    if (links[i].exists) home.write(links[i].real, "zavpsif -D\n");
    if (links[i].second)
      fs::create_symlink(links[i].second, home.path + "/" + links[i].link);
    fs::create_symlink(links[i].link, home.file());
    RunResult r = tool(home.path, {"-t"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(fs::is_symlink(home.file()));
    std::string want = links[i].exists ? "zavpsif -t\n"
                                       : "zavpsif -t\nzavpsof\nzavpsvf -t\n"
                                         "zavpsg4f -t\n";
    EXPECT_EQ(readFile(home.path + "/" + links[i].real), want) << i;
    size_t count = 0;
    for (const auto& e : fs::recursive_directory_iterator(home.path))
      (void)e, ++count;
    EXPECT_EQ(count, links[i].second ? 4u : 3u) << i;  // no temporary file
  }
}

// One line tells what keeps the spooler (another user) from the file.
TEST(ZavpsOptionRun, WarnsWhenTheSpoolerCannotRead) {
  const struct {
    unsigned dir, file;
    const char* fix;  // "" when no warning is due
  } modes[] = {{0700, 0644, "chmod o+x %d"},
               {0751, 0600, "chmod o+r %d/.zavpsdefault"},
               {0711, 0604, ""},
               {0, 0, nullptr}};
  for (int i = 0; modes[i].fix; ++i) {
    TempDir home;
    std::string file = home.write(".zavpsdefault", "zavpsif\n");
    chmod(home.path.c_str(), modes[i].dir);
    chmod(file.c_str(), modes[i].file);
    RunResult r = tool(home.path, {"-t"});
    EXPECT_EQ(r.status, 0);
    std::string fix = modes[i].fix;
    if (fix.empty()) {
      EXPECT_EQ(r.err, "");
      continue;
    }
    fix.replace(fix.find("%d"), 2, home.path);
    EXPECT_EQ(r.err, "zavpsoption : warning: the print spooler cannot read " +
                         file + " (" + fix + ")\n");
    EXPECT_EQ(readFile(file), "zavpsif -t\n");  // written all the same
  }
}

// An interrupt while a large file is written: no temporary file is left
// and the old file is whole.
TEST(ZavpsOptionRun, KilledDuringWriteKeepsOldFile) {
  for (int sig : {SIGINT, SIGTERM}) {
    OpenHome home;
    std::string content = "zavpsif -D\n#" + std::string(64 << 20, 'x') + "\n";
    home.write(".zavpsdefault", content);
    int watch = inotify_init1(IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    inotify_add_watch(watch, home.path.c_str(), IN_CREATE);
    std::string program = bin("zavpsoption");
    pid_t pid = fork();
    if (pid == 0) {
      setenv("HOME", home.path.c_str(), 1);
      execl(program.c_str(), program.c_str(), "-t", static_cast<char*>(nullptr));
      _exit(127);
    }
    // Until the temporary file is made (the lock file comes first).
    bool temporary = false;
    alignas(inotify_event) char events[4096];
    while (!temporary) {
      ssize_t n = read(watch, events, sizeof events);
      ASSERT_GT(n, 0);
      for (char* p = events; p < events + n;) {
        auto* e = reinterpret_cast<inotify_event*>(p);
        temporary |= e->len && std::string(e->name).ends_with("-new");
        p += sizeof(inotify_event) + e->len;
      }
    }
    kill(pid, sig);
    int status = 0;
    waitpid(pid, &status, 0);
    close(watch);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << status;
    size_t count = 0;
    for (const auto& e : fs::directory_iterator(home.path)) (void)e, ++count;
    EXPECT_EQ(count, 1u);
    EXPECT_TRUE(readFile(home.file()) == content);
  }
}

TEST(ZavpsOptionRun, UnknownUser) {
  if (geteuid() != 0 || !haveProgram("setpriv"))
    GTEST_SKIP() << "needs root and setpriv to run under an unknown user id";
  TempDir home;
  RunResult r = run({"setpriv", "--reuid=54321", "--regid=54321",
                     "--clear-groups", bin("zavpsoption"), "-t"},
                    withEnv({"HOME=" + home.path}));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "zavpsoption : Illegal User Name\n");
}

// A write that fails (here: past the file size limit) leaves the old file
// as it was and no temporary file behind.
TEST(ZavpsOptionRun, FailedWriteKeepsOldFile) {
  TempDir home;
  std::string content = "# mine\nzavpsif -D\n";
  std::string file = home.write(".zavpsdefault", content);
  RunResult r = run({"sh", "-c", "ulimit -f 0; exec \"$0\" \"$@\"",
                     bin("zavpsoption"), "-t"},
                    withEnv({"HOME=" + home.path}));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "zavpsoption : " + file + " cannot write\n");
  EXPECT_EQ(readFile(file), content);
  size_t count = 0;
  for (const auto& e : fs::directory_iterator(home.path)) (void)e, ++count;
  EXPECT_EQ(count, 1u);
}

// A user whose home holds what zavpsoption wrote: the filters, run by the
// spooler for a job of that user, read it as the owner's defaults.
class RoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!user_.ok) GTEST_SKIP() << "needs root and useradd to make a job owner";
  }

  TestUser user_{"zavpsrt"};
  TempDir& home_ = user_.home;
};

// The words after the filter's name on its line of `file`.
std::vector<std::string> lineWords(const std::string& file,
                                   const std::string& name) {
  std::istringstream lines(file);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string word;
    if (!(words >> word) || word != name) continue;
    std::vector<std::string> out;
    while (words >> word) out.push_back(word);
    return out;
  }
  return {};
}

// A document without what tells the runs apart: the header comments, the
// stamps' text (user, host, time), the end-of-job byte, the text pages
// (laid out as a stream in filter mode) and the fitting of the page to
// the lines and columns the command line asks for (FitText).
std::string comparable(const std::string& doc) {
  size_t from = doc.find("%%EndComments\n");
  size_t to = doc.find("%%EndDocumentSetup\n");
  if (from == std::string::npos) return doc;
  std::istringstream lines(doc.substr(from, to - from));
  std::string line, out;
  bool fitting = false;
  while (std::getline(lines, line)) {
    bool stamp = line.size() > 4 && line[0] == '(' &&
                 line.find(") ", line.size() - 5) != std::string::npos;
    if (line.rfind("/FitText", 0) == 0) fitting = true;
    bool fit = fitting || line.find(" FitText") != std::string::npos;
    if (fitting && line == "} def") fitting = false;
    if (!stamp && !fit && line != "\004") out += line + "\n";
  }
  return out;
}

// For every option the tool takes, a job through each filter name in
// filter mode is the job of the same options on the command line, and
// it prints.
TEST_F(RoundTrip, FiltersTakeEveryOptionTheToolWrites) {
  const struct {
    std::vector<std::string> args;
    const char* present;  // in every job's device setup
    const char* absent;
  } rows[] = {
      {{"-IA4", "-Oof", "-D", "-t", "-E", "-C3", "-Cl", "-Nc=2"},
       "/NumCopies 2", "/Jog"},
      {{"-I210x297mm", "-d", "-G4", "-Pmy"}, "/Tumble true", "/Jog"},
      {{"-ps", "-D"}, "", ""},  // a text job passed through as it is
      {{"-I2", "-Oce", "-Nc=0"}, "", "/NumCopies"},
      {{"-J0"}, "/Jog 0 put", ""},
      {{"-J2"}, "", "/Jog"},
      {{"-J3"}, "/Jog 3 put", ""},
      {{"-JN"}, "/Jog 0 put", ""},
      {{"-JU=bob"}, "", "/Jog"},
      {{"-J3", "-JU=bob", "-Hd=dl:tuh:f", "-HfTimes-Roman"}, "/Jog 3 put", ""},
      {{"-Hd=ur", "-X", "zavpsif=-2 -r -s9 -l60 -e4 -F",
        "-X", "zavpsvf=-r -S=4 -l=1,1", "-X", "zavpsg4f=-p300"},
       "", "/Jog"},
      {{"-X", "zavpsif=-mg=1:1:0.5:0.5 -fCourier-Bold", "-X", "zavpsvf=-s=2,3"},
       "", ""},
      {{"-X", "zavpsif=-Kg -Ke=utf-8 -Kh=GothicBBB-Medium-Hankaku"}, "", ""},
  };
  const struct {
    const char* filter;
    const char* standalone;
    std::vector<std::string> spooler;  // the spooler's own arguments
    std::string input;
  } filters[] = {
      {"zavpsif", "texttops", {"-w132", "-l66"}, "1 pop\n"},
      {"zavpsvf", "imgtops", {"-x2048", "-y1024"},
       readFile(IMGTOPS_TESTDATA "/text.xwd")},
      {"zavpsg4f", "imgtog4", {"-x2048", "-y1024"},
       readFile(IMGTOPS_TESTDATA "/text.xwd")},
  };
  std::string file = home_.path + "/.zavpsdefault";
  for (const auto& row : rows) {
    fs::remove(file);
    RunResult r = tool(home_.path, row.args);
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    std::string written = readFile(file);
    for (const auto& f : filters) {
      std::string where = std::string(f.filter) + " after " + row.args[0] +
                          ":\n" + written;
      std::vector<std::string> job = {bin(f.filter)};
      job.insert(job.end(), f.spooler.begin(), f.spooler.end());
      job.insert(job.end(), {"-n", user_.name, "-h", "pc1"});
      RunResult spooled = run(job, input(f.input));
      EXPECT_EQ(spooled.status, 0) << where << spooled.err;
      // Margins take the place of the spooler's page size; given together
      // on the command line, they are refused.
      std::vector<std::string> same = {bin(f.standalone)};
      std::vector<std::string> words = lineWords(written, f.filter);
      if (f.filter == std::string("zavpsif") &&
          written.find("-mg=") == std::string::npos)
        same.insert(same.end(), f.spooler.begin(), f.spooler.end());
      same.insert(same.end(), words.begin(), words.end());
      RunResult given = run(same, input(f.input));
      EXPECT_EQ(given.status, 0) << where << given.err;
      EXPECT_EQ(comparable(spooled.out), comparable(given.out)) << where;
      std::string setup = spooled.out.substr(0, spooled.out.find("save /xpsav"));
      if (*row.present) {
        EXPECT_NE(setup.find(row.present), std::string::npos) << where;
      }
      if (*row.absent) {
        EXPECT_EQ(setup.find(row.absent), std::string::npos) << where;
      }
      std::string why;
      EXPECT_TRUE(printsCleanly(spooled.out, &why)) << where << why;
    }
  }
}

}  // namespace
