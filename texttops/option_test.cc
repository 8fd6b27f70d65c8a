#include "option.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "options.h"

namespace {

// Runs the command line in-process; returns the first file's index, or
// the error message with its status.
struct CommandLine : testing::Test {
  void SetUp() override {
    resetOptions();
    unsetenv("TEXTTOPSOPTION");
    unsetenv("HOME");
  }
  std::string run(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    job = JobContext();
    try {
      first = parseTextCommandLine(static_cast<int>(args.size()), argv.data(),
                                   job);
    } catch (const FatalError& e) {
      return e.message + "/" + std::to_string(e.status);
    } catch (const Answer& a) {
      return a.text + (a.to_error ? "/stderr" : "/stdout");
    }
    return "";
  }
  int first = 0;
  JobContext job;
};

TEST_F(CommandLine, NamesPickTheMode) {
  EXPECT_EQ(run({"/usr/bin/texttops"}), "");
  EXPECT_TRUE(job.standalone());
  EXPECT_EQ(job.name, "texttops");
  EXPECT_EQ(run({"zavposttxt", "a", "b"}), "");
  EXPECT_TRUE(job.standalone());
  EXPECT_EQ(first, 1);
  EXPECT_EQ(run({"/x/zavpsif"}), "");
  EXPECT_FALSE(job.standalone());
  EXPECT_EQ(job.name, "zavpsif");
  EXPECT_EQ(run({"myfilter"}), "");
  EXPECT_FALSE(job.standalone());
}

TEST_F(CommandLine, EnvironmentOnlyForTexttops) {
  setenv("TEXTTOPSOPTION", "-D -Nc=4", 1);
  EXPECT_EQ(run({"texttops", "-Nc=2"}), "");
  EXPECT_EQ(opt.text_printer.duplex, 2);
  EXPECT_EQ(opt.text_printer.copies, 2u);  // the command line overrides
  SetUp();
  setenv("TEXTTOPSOPTION", "-D", 1);
  EXPECT_EQ(run({"zavposttxt"}), "");
  EXPECT_EQ(opt.text_printer.duplex, 0);
  setenv("TEXTTOPSOPTION", "-q", 1);
  EXPECT_EQ(run({"texttops"}), "Unknown option 'q'\n/255");
}

TEST_F(CommandLine, StandaloneErrorsAndMessages) {
  EXPECT_EQ(run({"./texttops", "-"}),
            "Usage: ./texttops [ -c -w width -l length -i indent -n login -h "
            "host -I input -O output] [-d|-D] filename\n/1");
  // -V on standard error; --version on standard output, but under the
  // spooler's names nothing but documents goes there.
  const std::string version = " version = " ZAVPS_VERSION "\n";
  const struct {
    std::vector<std::string> args;
    std::string answer;
  } answers[] = {
      {{"texttops", "-V"}, "texttops" + version + "/stderr"},
      {{"zavposttxt", "-V"}, "texttops" + version + "/stderr"},
      {{"zavpsif", "-V"}, "zavpsif" + version + "/stderr"},
      {{"texttops", "-D", "--version"}, "texttops" + version + "/stdout"},
      {{"zavpsif", "--version"}, "zavpsif" + version + "/stderr"},
      {{"zavpsif", "-n", "--help", "--help"}, "zavpsif" + version + "/stderr"},
      {{"texttops", "--", "--version"}, ""},
  };
  for (const auto& a : answers) EXPECT_EQ(run(a.args), a.answer) << a.args[1];
  for (const char* help : {"-h", "--help"})
    EXPECT_EQ(run({"texttops", help}).rfind("Usage: texttops [options]", 0), 0u);
  EXPECT_EQ(run({"texttops", "-afile"}), "Unknown option 'a'\n/255");
  EXPECT_EQ(run({"texttops", "-i0"}), "Illegal option -i\n/255");
  EXPECT_EQ(run({"texttops", "-n"}), "Illegal option -n\n/255");
  EXPECT_EQ(run({"texttops", "-I50x100mm"}), "Illegal paper size\n/255");
  EXPECT_EQ(run({"texttops", "-mg=1:1:1:1", "-l60"}),
            "Lines/Columns option and Margin option is not applicable\n/255");
}

TEST_F(CommandLine, StandaloneOptionsGoThroughTheGrammar) {
  EXPECT_EQ(run({"texttops", "-w80", "-l60", "-D", "-c", "file"}), "");
  EXPECT_EQ(opt.text_columns, 80u);
  EXPECT_EQ(opt.text_lines, 60u);
  EXPECT_EQ(opt.text_lines_explicit, 1);
  EXPECT_EQ(opt.text_printer.duplex, 2);
  EXPECT_EQ(first, 5);
  SetUp();
  EXPECT_EQ(run({"texttops", "-l60"}), "");
  EXPECT_EQ(opt.text_columns, 99u);  // lines without columns: A4 at 10 points
  EXPECT_EQ(opt.text_columns_set, 1);
}

TEST_F(CommandLine, FilterModeTakesTheSpoolersArguments) {
  EXPECT_EQ(run({"zavpsif", "-w132", "-l66", "-i0", "-n", "ann", "-j",
                 "report.txt", "-h", "pc1", "/var/log/lp-acct"}),
            "");
  EXPECT_EQ(job.owner, "ann");
  EXPECT_EQ(job.host, "pc1");
  EXPECT_EQ(job.accounting_file, "/var/log/lp-acct");
  EXPECT_EQ(opt.text_lines_explicit, 0);  // -l only sets the spool length
  EXPECT_EQ(opt.text_columns, 132u);

  SetUp();
  EXPECT_EQ(run({"zavpsif", "-w80", "-l60", "-d", "-D", "-jname", "-afile",
                 "-Lbob", "-Hhost", "acct"}),
            "");
  EXPECT_EQ(opt.text_columns, 80u);
  EXPECT_EQ(opt.text_lines, 60u);
  EXPECT_EQ(opt.text_columns_set, 0);
  EXPECT_EQ(opt.text_printer.duplex, 0);  // ignored under the spooler
  EXPECT_EQ(job.owner, "bob");
  EXPECT_EQ(job.host, "host");
  EXPECT_EQ(job.accounting_file, "acct");  // the trailing argument wins

  SetUp();
  EXPECT_EQ(run({"zavpsif", "-afile", "x", "y"}), "");
  EXPECT_EQ(job.accounting_file, "file");  // more than one: ignored
  SetUp();
  EXPECT_EQ(run({"zavpsif", "-n"}), "");  // no value: nothing
  EXPECT_EQ(job.owner, "");
  EXPECT_EQ(run({"zavpsif", "-wx"}), "");
  EXPECT_EQ(opt.spool_width, 132u);
  EXPECT_EQ(run({"zavpsif", "-t", "-E"}), "");
  EXPECT_EQ(opt.text_printer.toner_saver, 0);      // ignored letter
  EXPECT_EQ(opt.text_printer.render_enhance, 1);   // any other letter: grammar
}

TEST_F(CommandLine, FilterModeLastLayoutWins) {
  EXPECT_EQ(run({"zavpsif", "-mg=1:1:1:1", "-o2"}), "");
  EXPECT_EQ(opt.text_page_margins[0], 0.0);
  EXPECT_EQ(opt.text_page_margins_given, 0);
  EXPECT_EQ(opt.text_left_margin, 2u);
  SetUp();
  EXPECT_EQ(run({"zavpsif", "-o2", "-mg=1:1:1:1"}), "");
  EXPECT_EQ(opt.text_left_margin_given, 0);
  EXPECT_EQ(opt.text_left_margin, 0u);
  EXPECT_EQ(opt.text_page_margins[0], 1.0);
  EXPECT_EQ(run({"zavpsif", "-I50x100mm"}), "");  // no paper check
}

TEST_F(CommandLine, StampMeansMarginLayoutWithMinimums) {
  EXPECT_EQ(run({"texttops", "-l60", "-w80", "-Hd=ul"}), "");
  EXPECT_EQ(opt.text_lines_explicit, 0);
  EXPECT_EQ(opt.text_columns_set, 0);
  EXPECT_EQ(opt.text_columns, 132u);
  EXPECT_EQ(opt.text_use_page_margins, 1);
  // The stamp's edge keeps room for it.
  EXPECT_EQ(opt.text_page_margins[0], 0.35);
  EXPECT_EQ(opt.text_page_margins[1], 0.06);
  EXPECT_EQ(opt.text_page_margins[2], 0.03);
  EXPECT_EQ(opt.text_page_margins[3], 0.09);
  SetUp();
  EXPECT_EQ(run({"texttops", "-mg=1:0:0.5:0", "-Hd=dr"}), "");
  EXPECT_EQ(opt.text_page_margins[0], 1.0);
  EXPECT_EQ(opt.text_page_margins[1], 0.35);
  EXPECT_EQ(opt.text_page_margins[2], 0.5);
}

}  // namespace
