#include "spooler.h"

#include <cstring>
#include <string>

#include "parse.h"
#include "printeroptions.h"

const char* baseName(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash ? slash + 1 : path;
}

FatalError usageError(const char* program) {
  return FatalError{std::string("Usage: ") + program +
                        " [ -c -w width -l length -i indent -n login -h "
                        "host -I input -O output] [-d|-D] filename\n",
                    1};
}

std::string versionLine(const std::string& name) {
  return name + " version = " + kVersion + "\n";
}

void answerQuestions(int argc, char** argv, const std::string& help,
                     const std::string& name) {
  for (int i = 1; i < argc && argv[i][0] == '-'; ++i) {
    std::string arg = argv[i];
    if (arg == "--") return;
    if (arg == "-h" || arg == "--help") throw Answer{help, false};
    if (arg == "--version") throw Answer{versionLine(name), false};
  }
}

std::string sharedHelp(bool text) {
  return printerOptionsHelp(text) +
         "  -h  --help     this help;  -V  --version  the version\n"
         "  -              the short usage line\n"
         "Options may also stand in ~/.zavpsdefault (see zavpsoption(1));\n"
         "the manual pages list every option.\n";
}

SpoolerLetters spoolerLetters(bool text) {
  // Letters of the spooler's own that filter mode ignores.
  const std::string both = "ACDFJNPQbdefkst";
  return text ? SpoolerLetters{'w', 'l', both + "xy"}
              : SpoolerLetters{'x', 'y', both + "lw"};
}

namespace {

// A "%u" value: a value that is not a number leaves the field unchanged.
void readSpoolNumber(const char* value, unsigned* field) {
  if (value) readUnsigned(value, 0, field);
}

}  // namespace

bool readSpoolerArgument(int argc, char** argv, int* i,
                         const SpoolerLetters& letters, JobContext& job) {
  const char* arg = argv[*i];
  char letter = arg[1];
  // The option's value: attached, or else the next argument.
  auto value = [&]() -> const char* {
    if (arg[2]) return arg + 2;
    if (*i + 1 < argc) return argv[++*i];
    return nullptr;
  };
  const char* v = nullptr;
  switch (letter) {
    case 'a':
      if ((v = value())) job.accounting_file = v;
      return true;
    case 'h':
    case 'H':
      if ((v = value())) job.host = v;
      return true;
    case 'n':
    case 'L':
      if ((v = value())) job.owner = v;
      return true;
    case 'i':
      value();  // the indent: not used
      return true;
    case 'j':
      // The spooler passes the job name as a separate argument.
      if (!arg[2]) value();
      return true;
    default:
      break;
  }
  if (letter == letters.width) {
    readSpoolNumber(value(), &opt.spool_width);
    return true;
  }
  if (letter == letters.length) {
    readSpoolNumber(value(), &opt.spool_length);
    return true;
  }
  return letter && letters.ignored.find(letter) != std::string::npos;
}
