// Helpers for whole-program tests: run a built program or Ghostscript and
// collect what it wrote.
#ifndef TESTS_RUN_H_
#define TESTS_RUN_H_

#include <string>
#include <vector>

/// What a finished process left behind.
struct RunResult {
  int status = -1;  // exit status, or 128 + signal
  std::string out;
  std::string err;
};

/// How to start a process.
struct RunOptions {
  std::string input;             // standard input
  std::vector<std::string> env;  // NAME=value to set, or NAME to unset
  std::string cwd;               // working directory, if not empty
};

/// Path of a program (or invocation name) in the build's bin directory.
std::string bin(const std::string& name);

/// Runs argv[0] (a path) with the arguments, waits for it.
RunResult run(const std::vector<std::string>& argv,
              const RunOptions& options = {});

/// Runs a document through Ghostscript with the printer's engine
/// parameters defined; `args` add device options (default: nullpage).
RunResult ghostscript(const std::string& document,
                      const std::vector<std::string>& args = {});

/// Whether Ghostscript ran `document` without a PostScript error.
/// On failure, `why` holds what Ghostscript said.
bool printsCleanly(const std::string& document, std::string* why = nullptr);

/// Pages Ghostscript prints for a document (-1 on a PostScript error).
int pagesPrinted(const std::string& document);

/// A run of text Ghostscript's txtwrite device found on a page.
struct TextSpan {
  int page = 0;  // from 1
  std::string text;
  std::string font;
  double size = 0;
  // The baseline from (x0, y0) to (x1, y1) in points, y from the top of
  // the sheet: y0 == y1 for text across the sheet, x0 == x1 for text
  // turned a quarter to the left (landscape).
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

/// The text of a document as Ghostscript places it, page by page.
std::vector<TextSpan> textSpans(const std::string& document);

/// Decodes ASCII85 text (with "z", newlines and the "~>" end) to bytes.
std::string decodeAscii85(const std::string& text);

/// The bytes of a document's image data (from "doit\n" to "~>"), with
/// the ASCII85 encoding undone.
std::string imageData(const std::string& document);

/// A fresh temporary directory, removed by the destructor.
struct TempDir {
  TempDir();
  ~TempDir();
  std::string path;
  /// Writes `content` to `name` inside the directory; returns its path.
  std::string write(const std::string& name, const std::string& content) const;
};

/// A user account for one test, with a fresh home directory; `ok` is false
/// without root or useradd. The name is the prefix and the process id, so
/// that tests running side by side never share an account.
struct TestUser {
  explicit TestUser(const std::string& prefix);
  ~TestUser();
  TestUser(const TestUser&) = delete;
  TestUser& operator=(const TestUser&) = delete;
  std::string name;
  TempDir home;
  bool ok = false;
};

/// Reads a whole file ("" if it cannot be read).
std::string readFile(const std::string& path);

/// Whether a program is on the PATH.
bool haveProgram(const std::string& name);

#endif  // TESTS_RUN_H_
