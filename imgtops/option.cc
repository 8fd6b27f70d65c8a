#include "option.h"

#include <cstring>
#include <string>

#include "options.h"
#include "parse.h"
#include "spooler.h"

const char* const kImageHelp =
    "Usage: imgtops [options] [file ...]\n"
    "PNG, JPEG, TIFF, netpbm (PBM, PGM, PPM) and X window dump images to\n"
    "PostScript gray images on standard output; imgtog4 codes one-bit images\n"
    "with CCITT Group 4 (as -G4 does).\n"
    "Without a size option an image prints at the resolution its file gives,\n"
    "else at one pixel a printer dot; any size is made smaller where the\n"
    "image would run off the sheet.\n"
    "  -s=W,H         image size in inches\n"
    "  -S=W           W inches wide, height to scale\n"
    "  -pN            N points wide, height to scale\n"
    "  -l=X,Y         offset from the lower left in inches (default 0.25,0.25)\n"
    "  -r             rotate to landscape;  -n  no showpage\n"
    "  -G4            Group 4 coding for one-bit images\n";

namespace {

[[noreturn]] void fail(const std::string& message) {
  throw FatalError{message, 255};
}

// Under the spooler: -x and -y give the page size; the ignored letters
// take only their own argument.
const SpoolerLetters kSpoolerLetters = spoolerLetters(false);

// Lowest image offset that leaves room for a stamp below the image.
const double kStampOffset = 0.3;

}  // namespace

const char* imageCreator(RunMode mode, int g4) {
  if (mode == RunMode::Standalone) return g4 ? "imgtog4" : "imgtops";
  return g4 ? "qmpg4f" : "qmpvf";
}

int parseImageCommandLine(int argc, char** argv, JobContext& job) {
  const char* program = argc > 0 ? argv[0] : "imgtops";
  resetOptions();
  initImageSet();
  job.name = baseName(program);
  bool standalone = job.name == "imgtops" || job.name == "imgtog4";
  job.mode = standalone ? RunMode::Standalone : RunMode::LpdFilter;
  bool g4 = job.name == "imgtog4" || job.name == "zavpsg4f";
  if (g4) opt.image_g4 = 1;
  // The name -V prints.
  const char* version = standalone ? (g4 ? "imgtog4" : "imgtops")
                                   : (g4 ? "zavpsg4f" : "zavpsvf");
  if (standalone)
    answerQuestions(argc, argv, kImageHelp + sharedHelp(false), version);

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
      throw Answer{versionLine(version), true};
    if (letter == 'c') continue;
    if (standalone) {
      switch (letter) {
        case 'j':
          break;
        case 'a':
        case 'L':
          unknownOption(std::string(1, letter));
        case 'h':
        case 'i':
        case 'x':
        case 'y':
          fail(std::string("Illegal option -") + letter + "\n");
        case 'n':
          opt.image_no_showpage = 1;
          break;
        default:
          parseImageOptions(arg);
          break;
      }
      continue;
    }
    if (!readSpoolerArgument(argc, argv, &i, kSpoolerLetters, job))
      parseImageOptions(arg);
  }

  if (!standalone) {
    if (argc - i == 1) job.accounting_file = argv[i];
    readFilterDefaults(job, parseImageOptions);
  } else if (checkPaperSize(opt.image_printer.input_tray) < 0) {
    fail("Illegal paper size\n");
  }
  applyStampOffsetRule();
  job.creator = imageCreator(job.mode, opt.image_g4);
  return i;
}

void applyStampOffsetRule() {
  // The offset that rises from the sheet's lower edge: x once the image
  // is turned a quarter.
  double& rise = opt.image_rotate ? opt.image_offset_x : opt.image_offset_y;
  if (opt.image_printer.stamp.position != kNoStamp && rise < kStampOffset)
    rise = kStampOffset;
}
