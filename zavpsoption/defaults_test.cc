#include "defaults.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "run.h"
#include "tooltest.h"

namespace {

namespace fs = std::filesystem;

// Each test runs with HOME pointing at a fresh directory.
class Defaults : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* home = std::getenv("HOME");
    if (home) saved_ = home;
    hadHome_ = home != nullptr;
    setenv("HOME", dir_.path.c_str(), 1);
    file_ = dir_.path + "/.zavpsdefault";
  }
  void TearDown() override {
    if (hadHome_)
      setenv("HOME", saved_.c_str(), 1);
    else
      unsetenv("HOME");
  }

  // The message of the ToolError that rewriting with `args` ends with.
  std::string failure(const std::vector<std::string>& args, int* code) {
    try {
      rewriteDefaults(toolFor(args));
    } catch (const ToolError& e) {
      *code = e.code;
      return e.text;
    }
    return "";
  }

  // Names in the directory: a leftover temporary file would show here.
  std::vector<std::string> entries(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
      names.push_back(e.path().filename().string());
    return names;
  }

  TempDir dir_;
  std::string file_;
  std::string saved_;
  bool hadHome_ = false;
};

TEST_F(Defaults, Path) {
  setenv("HOME", "/home/ann/", 1);
  EXPECT_EQ(defaultsPath(), "/home/ann/.zavpsdefault");
  setenv("HOME", "/home/ann", 1);
  EXPECT_EQ(defaultsPath(), "/home/ann/.zavpsdefault");
  std::string longHome(300, 'h');
  setenv("HOME", longHome.c_str(), 1);
  EXPECT_EQ(defaultsPath(), longHome + "/.zavpsdefault");
  int code = -1;
  unsetenv("HOME");
  EXPECT_EQ(failure({"-t"}, &code), "cannot get your home directory");
  setenv("HOME", "", 1);
  EXPECT_EQ(failure({"-t"}, &code), "cannot get your home directory");
  EXPECT_EQ(code, 0);
}

TEST_F(Defaults, SplitLines) {
  EXPECT_TRUE(splitLines("").empty());
  EXPECT_EQ(splitLines("a\n\nb"),
            (std::vector<std::string>{"a\n", "\n", "b"}));
}

TEST_F(Defaults, NewFile) {
  mode_t old = umask(022);
  EXPECT_EQ(rewriteDefaults(toolFor({"-IA4", "-D"})), file_);
  umask(old);
  EXPECT_EQ(readFile(file_),
            "zavpsif -IA4 -D\nzavpsof -IA4\nzavpsvf -IA4 -D\n"
            "zavpsg4f -IA4 -D\n");
  struct stat st;
  ASSERT_EQ(stat(file_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
  EXPECT_EQ(entries(dir_.path), std::vector<std::string>{".zavpsdefault"});
}

TEST_F(Defaults, ExistingFileKeepsModeAndOtherLines) {
  dir_.write(".zavpsdefault", "# mine\nzavpsif -D\nlpr -x\nzavpsvf -t");
  chmod(file_.c_str(), 0640);
  rewriteDefaults(toolFor({"-t"}));
  EXPECT_EQ(readFile(file_), "# mine\nzavpsif -t\nlpr -x\nzavpsvf -t\n");
  struct stat st;
  ASSERT_EQ(stat(file_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(entries(dir_.path), std::vector<std::string>{".zavpsdefault"});
}

TEST_F(Defaults, OtherOptionsGetTheirLine) {
  dir_.write(".zavpsdefault", "zavpsif -D\n# end");
  rewriteDefaults(toolFor({"-t", "-X", "zavpsvf=-S=4", "-Xzavpsif=-2"}));
  EXPECT_EQ(readFile(file_), "zavpsif -t -2\n# end\nzavpsvf -t -S=4\n");
}

TEST_F(Defaults, NoFilterLineLeavesFileAlone) {
  std::string content = "# zavpsif -D\nlpr -D\n";
  dir_.write(".zavpsdefault", content);
  int code = 0;
  EXPECT_EQ(failure({"-IA4"}, &code),
            "zavpsof/zavpsif/zavpsvf is not found in UserDefault file");
  EXPECT_EQ(code, kErrNoFilterLine);
  EXPECT_EQ(readFile(file_), content);
  EXPECT_EQ(entries(dir_.path), std::vector<std::string>{".zavpsdefault"});
}

TEST_F(Defaults, SymbolicLinkStays) {
  fs::create_directory(dir_.path + "/dots");
  std::string real = dir_.write("dots/defaults", "zavpsif -D\n");
  fs::create_symlink("dots/defaults", file_);
  rewriteDefaults(toolFor({"-d"}));
  EXPECT_TRUE(fs::is_symlink(file_));
  EXPECT_EQ(readFile(real), "zavpsif -d\n");
}

TEST_F(Defaults, CannotCreate) {
  int code = -1;
  // The path is a directory: it is not a file to read, and stays.
  fs::create_directory(file_);
  EXPECT_EQ(failure({"-t"}, &code), file_ + " cannot create");
  EXPECT_TRUE(fs::is_directory(file_));
  // HOME names a directory that does not exist.
  std::string missing = dir_.path + "/nowhere";
  setenv("HOME", missing.c_str(), 1);
  EXPECT_EQ(failure({"-t"}, &code), missing + "/.zavpsdefault cannot create");
  EXPECT_FALSE(fs::exists(missing));
  // A component of HOME is a regular file (stops root as well).
  std::string plain = dir_.write("plain", "x");
  setenv("HOME", plain.c_str(), 1);
  EXPECT_EQ(failure({"-t"}, &code), plain + "/.zavpsdefault cannot create");
  EXPECT_EQ(readFile(plain), "x");
  EXPECT_EQ(code, 0);
}

TEST_F(Defaults, ReadOnlyDirectoryKeepsOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "a read-only directory does not stop root";
  std::string content = "zavpsif -D\n";
  dir_.write(".zavpsdefault", content);
  chmod(dir_.path.c_str(), 0555);
  int code = -1;
  std::string message = failure({"-t"}, &code);
  chmod(dir_.path.c_str(), 0755);
  EXPECT_EQ(message, file_ + " cannot write");
  EXPECT_EQ(readFile(file_), content);
  EXPECT_EQ(entries(dir_.path), std::vector<std::string>{".zavpsdefault"});
}

TEST_F(Defaults, ReplaceFileFailsCleanly) {
  EXPECT_FALSE(replaceFile(dir_.path + "/none/f", "x", 0644));
  EXPECT_TRUE(replaceFile(dir_.path + "/f", "x", 0600));
  EXPECT_EQ(readFile(dir_.path + "/f"), "x");
}

}  // namespace
