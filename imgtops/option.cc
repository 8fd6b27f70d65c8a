#include "option.h"

#include <cstring>
#include <string>

#include "options.h"
#include "parse.h"

const char* const kImageVersion = "1.0.1.0";

namespace {

const char* const modeNames[4] = {"imgtops", "imgtog4", "zavpsvf", "zavpsg4f"};

const char* baseName(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash ? slash + 1 : path;
}

[[noreturn]] void fail(const std::string& message) {
  throw FatalError{message, 255};
}

// A "%u" value: a value that is not a number leaves the field unchanged.
void readSpoolNumber(const char* value, unsigned* field) {
  if (value) readUnsigned(value, 0, field);
}

// Letters the spooler may pass that filter mode ignores (only this one
// argument).
bool ignoredInFilterMode(char letter) {
  return letter && std::strchr("ACDFJNPQbdefklstw", letter) != nullptr;
}

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
    if (arg[1] == '\0')
      throw FatalError{std::string("Usage: ") + program +
                           " [ -c -w width -l length -i indent -n login -h "
                           "host -I input -O output] [-d|-D] filename\n",
                       1};
    char letter = arg[1];
    // The option's value: attached, or else the next argument.
    auto value = [&]() -> const char* {
      if (arg[2]) return arg + 2;
      if (i + 1 < argc) return argv[++i];
      return nullptr;
    };
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
    const char* v = nullptr;
    switch (letter) {
      case 'a':
        if ((v = value())) opt.accounting_file = v;
        break;
      case 'h':
      case 'H':
        if ((v = value())) opt.host_name = v;
        break;
      case 'n':
      case 'L':
        if ((v = value())) opt.login_name = v;
        break;
      case 'i':
        readSpoolNumber(value(), &opt.indent);
        break;
      case 'x':
        readSpoolNumber(value(), &opt.spool_width);
        break;
      case 'y':
        readSpoolNumber(value(), &opt.spool_length);
        break;
      case 'j':
        // The spooler passes the job name as a separate argument.
        if (!arg[2]) value();
        break;
      default:
        if (!ignoredInFilterMode(letter)) parseImageOptions(arg);
        break;
    }
  }

  if (!standalone) {
    if (argc - i == 1) opt.accounting_file = argv[i];
    readFilterDefaults(parseImageOptions);
  } else if (checkPaperSize(opt.image_input_tray) < 0) {
    fail("Illegal paper size\n");
  }
  if (opt.image_stamp_position != kNoStamp && opt.image_offset_y < kStampOffset)
    opt.image_offset_y = kStampOffset;
  return i;
}
