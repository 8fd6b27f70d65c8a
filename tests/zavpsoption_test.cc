// The built option tool, and the text filter reading what it wrote.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

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

TEST(ZavpsOptionRun, WritesAndReports) {
  TempDir home;
  RunResult r = tool(home.path, {"-I", "A4", "-D"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, home.path + "/.zavpsdefault modefied\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(readFile(home.path + "/.zavpsdefault"),
            "zavpsif -IA4 -D\nzavpsof -IA4\nzavpsvf -IA4 -D\n"
            "zavpsg4f -IA4 -D\n");
  r = tool(home.path + "/", {"-Oof"});
  EXPECT_EQ(r.out, home.path + "/.zavpsdefault modefied\n");
  EXPECT_EQ(readFile(home.path + "/.zavpsdefault"),
            "zavpsif  -Oof\nzavpsof  -Oof\nzavpsvf  -Oof\nzavpsg4f  -Oof\n");
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
  r = tool(home.path, {"-IA3"});
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Unknown option 'A3'\n");
  r = tool(home.path, {"-V", "-D", "-D"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "zavpsoption version = " ZAVPS_VERSION "\n");
  EXPECT_FALSE(fs::exists(file));  // no failure touched the file

  // The scanner's own diagnostic names the tool; processing goes on.
  r = tool(home.path, {"-x", "-t"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("zavpsoption: invalid option -- 'x'"), std::string::npos)
      << r.err;
  EXPECT_EQ(readFile(file), "zavpsif -t\nzavpsof\nzavpsvf -t\nzavpsg4f -t\n");

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

// A user whose home holds what zavpsoption wrote: the text filter, run by
// the spooler for a job of that user, reads it as the owner's defaults.
class RoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!user_.ok) GTEST_SKIP() << "needs root and useradd to make a job owner";
  }

  // Records `args` with zavpsoption, then runs a job through zavpsif.
  RunResult job(const std::vector<std::string>& args) {
    RunResult r = tool(home_.path, args);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    return run({bin("zavpsif"), "-w132", "-l66", "-i0", "-n", user_.name, "-h",
                "pc1"},
               input("hello\n"));
  }

  TestUser user_{"zavpsrt"};
  TempDir& home_ = user_.home;
};

TEST_F(RoundTrip, FilterTakesTheOwnersLine) {
  RunResult r = job({"-IA4", "-D", "-Hd=ur", "-Nc=2", "-t"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  // The jog forms the tool writes are not in the filters' language: the
  // filter quoting one shows that it read this very line.
  r = job({"-J2"});
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.err, "Unknown option '-J2'\n");
  // Removing it again gives a line the filter takes.
  home_.write(".zavpsdefault", readFile(home_.path + "/.zavpsdefault") +
                                   "zavpsif -J3 -E\n");
  r = job({"-E"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(readFile(home_.path + "/.zavpsdefault").find("-J"),
            std::string::npos);
}

}  // namespace
