#include "option.h"

#include <cstring>
#include <string>

#include "options.h"
#include "parse.h"
#include "spooler.h"

const char* const kImageVersion = "1.0.1.0";

namespace {

const char* const modeNames[4] = {"imgtops", "imgtog4", "zavpsvf", "zavpsg4f"};

[[noreturn]] void fail(const std::string& message) {
  throw FatalError{message, 255};
}

// Under the spooler: -x and -y give the page size; these letters are
// ignored (only this one argument).
const SpoolerLetters kSpoolerLetters = {'x', 'y', "ACDFJNPQbdefklstw"};

// Lowest image offset that leaves room for a stamp below the image.
const double kStampOffset = 0.3;

}  // namespace

int imageMode(const char* program) {
  const char* name = baseName(program);
  for (int m = 0; m < 4; ++m)
    if (std::strcmp(name, modeNames[m]) == 0) return m;
  return 2;
}

int parseImageCommandLine(int argc, char** argv, int* mode) {
  const char* program = argc > 0 ? argv[0] : "imgtops";
  resetOptions();
  initImageSet();
  opt.filter_name = baseName(program);
  *mode = imageMode(program);
  bool standalone = *mode < 2;
  if (*mode == 1 || *mode == 3) opt.image_g4 = 1;

  int i = 1;
  for (; i < argc && argv[i][0] == '-'; ++i) {
    const char* arg = argv[i];
    if (arg[1] == '\0') throw usageError(program);
    char letter = arg[1];
    if (letter == 'V')
      throw FatalError{std::string(modeNames[*mode]) + " version = " +
                           kImageVersion + "\n",
                       0};
    if (letter == 'c') continue;
    if (standalone) {
      switch (letter) {
        case 'j':
          break;
        case 'a':
        case 'L':
          fail(std::string("Unknown option '") + letter + "'\n");
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
    if (!readSpoolerArgument(argc, argv, &i, kSpoolerLetters))
      parseImageOptions(arg);
  }

  if (!standalone) {
    if (argc - i == 1) opt.accounting_file = argv[i];
    readFilterDefaults(parseImageOptions);
  } else if (checkPaperSize(opt.image_input_tray) < 0) {
    fail("Illegal paper size\n");
  }
  applyStampOffsetRule();
  return i;
}

void applyStampOffsetRule() {
  if (opt.image_stamp_position != kNoStamp && opt.image_offset_y < kStampOffset)
    opt.image_offset_y = kStampOffset;
}
