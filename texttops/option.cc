#include "option.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "options.h"
#include "parse.h"
#include "paper.h"
#include "spooler.h"

const char* const kTextHelp =
    "Usage: texttops [options] [file ...]\n"
    "Plain text (Japanese in EUC-JP, UTF-8, UTF-16, Shift_JIS too) to\n"
    "PostScript on standard output; PostScript input passes through with the\n"
    "printer setup added, PDF too once Ghostscript has made PostScript of it.\n"
    "Without -l or -w the text fills the page: the printer breaks the lines\n"
    "at its right edge and the pages at its foot.\n"
    "Layout by lines and columns:\n"
    "  -lN  -wN       N lines a page, N columns a line (-l alone: as many\n"
    "                 columns as fit across the sheet)\n"
    "  -LN  -oN       top and left offset in lines and columns\n"
    "or by margins:\n"
    "  -mg=T:B:R:L    top, bottom, right, left margins in inches\n"
    "  -2             two columns on a page;  -r  landscape\n"
    "  -sN  -fFONT    font size in points, font (default 10, Courier)\n"
    "  -eN            tab stops every N columns (default 8)\n"
    "  -F             a form feed starts no new page\n"
    "  -Kk=F  -Kh=F   kanji, half-width kana font (default Ryumin-Light-H,\n"
    "                 Ryumin-Light-Hankaku);  -Kg  the Gothic faces\n"
    "  -Ke=ENC        input encoding: auto (default), euc-jp, utf-8, sjis\n"
    "  -Kp=X          line pitch, X font sizes (1 to 4; default 1, 1.5 with\n"
    "                 kana or kanji)\n"
    "  -ps            treat the input as PostScript\n";

namespace {

// Under the spooler: -w and -l give the page size; the ignored letters
// standalone mode hands to the grammar.
const SpoolerLetters kSpoolerLetters = spoolerLetters(true);

bool anyLineColumnOption() {
  return opt.text_columns_set || opt.text_left_margin_given ||
         opt.text_lines_set || opt.text_top_margin_given;
}

void resetLineColumnOptions() {
  opt.text_columns = kDefaultColumns;
  opt.text_lines = kDefaultLines;
  opt.text_top_margin = 0;
  opt.text_left_margin = 0;
  opt.text_lines_explicit = 0;
  opt.text_top_margin_given = 0;
  opt.text_lines_set = 0;
  opt.text_left_margin_given = 0;
  opt.text_columns_set = 0;
}

[[noreturn]] void fail(const std::string& message) {
  throw FatalError{message, 255};
}

}  // namespace

int parseTextCommandLine(int argc, char** argv, JobContext& job) {
  const char* program = argc > 0 ? argv[0] : "texttops";
  resetOptions();
  job.name = baseName(program);
  bool texttops = job.name == "texttops";
  bool standalone = texttops || job.name == "zavposttxt";
  job.mode = standalone ? RunMode::Standalone : RunMode::LpdFilter;
  // Also the name -V prints.
  job.creator = standalone ? "texttops" : "zavpsif";
  if (standalone)
    answerQuestions(argc, argv, kTextHelp + sharedHelp(true), job.creator);

  initTextSet();
  opt.spool_width = kDefaultColumns;
  opt.spool_length = kDefaultLines;
  if (texttops) parseTextOptions(std::getenv("TEXTTOPSOPTION"), true);

  int i = 1;
  for (; i < argc && argv[i][0] == '-'; ++i) {
    const char* arg = argv[i];
    if (arg[1] == '\0') throw usageError(program);
    if (standalone && std::string(arg) == "--") {  // file names follow
      ++i;
      break;
    }
    char letter = arg[1];
    // Under the spooler's names nothing but the documents goes to
    // standard output: --help and --version answer as -V does.
    if (letter == 'V' || std::string(arg) == "--help" ||
        std::string(arg) == "--version")
      throw Answer{versionLine(job.creator), true};
    if (letter == 'c') continue;
    if (standalone) {
      if (letter == 'a') unknownOption(std::string(1, letter));
      if (letter == 'h' || letter == 'i' || letter == 'n')
        fail(std::string("Illegal option -") + letter + "\n");
      parseTextOptions(arg, true);
    } else if (!readSpoolerArgument(argc, argv, &i, kSpoolerLetters, job)) {
      parseTextOptions(arg);
    }
  }

  if (!standalone && argc - i == 1) job.accounting_file = argv[i];
  opt.text_lines = opt.spool_length;
  opt.text_columns = opt.spool_width;
  if (!standalone)
    readFilterDefaults(job, [](const char* s) { parseTextOptions(s); });
  applyLayoutRules(job.mode);
  return i;
}

namespace {

// Lines without columns: as many columns as cells of a fixed-pitch font
// (0.6 em) fit across the sheet, so that no line runs off it; the prolog
// then fits them to the printable area.
unsigned sheetColumns() {
  int width, height;
  sheetSize(&width, &height);
  double across = opt.text_landscape ? height : width;
  if (opt.text_two_line) across /= 2;
  double cell = 0.6 * opt.text_font_size;
  unsigned columns = cell > 0 ? static_cast<unsigned>(across / cell) : 1;
  if (opt.text_two_line) columns = columns > 2 ? columns - 2 : 1;  // the gap
  return columns ? columns : 1;
}

}  // namespace

void applyLayoutRules(RunMode mode) {
  if (opt.text_lines_set && !opt.text_columns_set) {
    opt.text_columns_set = 1;
    opt.text_columns = sheetColumns();
  }
  if (mode == RunMode::Standalone) {
    if (checkPaperSize(opt.text_printer.input_tray) < 0) fail("Illegal paper size\n");
    if (opt.text_page_margins_given && anyLineColumnOption())
      fail("Lines/Columns option and Margin option is not applicable\n");
  } else if (opt.text_page_margins_given && anyLineColumnOption()) {
    if (opt.text_use_page_margins == 0) {
      for (double& m : opt.text_page_margins) m = 0.0;
      opt.text_page_margins_given = 0;
    } else {
      resetLineColumnOptions();
    }
  }
  if (opt.text_printer.stamp.position != kNoStamp) {
    if (anyLineColumnOption() && opt.text_use_page_margins == 0)
      resetLineColumnOptions();
    // Top, bottom, right, left; the margin on the stamp's edge keeps the
    // text clear of it (8-point stamp, baseline 22 points from the top or
    // 15 from the bottom of the sheet).
    double minimum[4] = {0.23, 0.06, 0.03, 0.09};
    const double stampEdge = 0.35;
    minimum[opt.text_printer.stamp.position < 2 ? 0 : 1] = stampEdge;
    for (int k = 0; k < 4; ++k)
      if (opt.text_page_margins[k] < minimum[k])
        opt.text_page_margins[k] = minimum[k];
    opt.text_use_page_margins = 1;
    opt.text_page_margins_given = 1;
  }
  // The usable width is the column count less the left offset. An offset
  // wider than the line leaves one column rather than an unlimited width.
  if (opt.text_columns_set)
    opt.text_columns = opt.text_left_margin < opt.text_columns
                           ? opt.text_columns - opt.text_left_margin
                           : 1;
}
